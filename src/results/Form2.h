#pragma once
// The result window "Digitalized Graph": the traced curve with a crosshair
// tied to the point list, and the way to the save dialog.

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/PictureBox.h"

#include <QAction>
#include <QComboBox>
#include <vector>

#include "engine/results/Series.h"

namespace vastrel::shell {
class Module1;
}

namespace vastrel::results {

class Form2 : public tk::Form {
    Q_OBJECT
public:
    explicit Form2(shell::Module1& module);

    // The controls, by their layout names.
    tk::PictureBox* Picture1;
    tk::LineControl* Line1;  // horizontal marker: Y1 = Y2
    tk::LineControl* Line2;  // vertical marker: X1 = X2
    tk::Label* Label3;
    tk::ListBox* List1;
    tk::CommandButton* Command6;
    tk::CommandButton* Command1;
    // "コピー" in the list's menu, and Ctrl+C wherever the focus is in the window.
    QAction* copyAction;

    // "Close": hides the save dialog and this window; nothing is discarded.
    void Command1_Click();
    // "データ保存": presets today's date as the file name, then opens the dialog.
    void Command6_Click();
    // Puts the crosshair on the point of the selected row.
    void List1_Click();
    // Moves the crosshair with the pointer and selects the row under it.
    void Picture1_MouseMove(int Button, int Shift, float X, float Y);
    // Copies every point of the shown result to the clipboard as text a
    // spreadsheet pastes into two columns; nothing in the window changes.
    void copyPoints();

    // The series of the figure (results/Form2_Series.cpp). Once one is kept
    // with "系列に追加", or markers are found, the plot shows every series in
    // its own colour with a legend, the choice above the list names them and
    // the list, the crosshair, the file and the clipboard take the one
    // chosen; before that the window is the one of a single run.
    QComboBox* seriesChoice;
    QAction* keepSeriesAction;     // "系列に追加"
    QAction* saveAllSeriesAction;  // "すべての系列を保存"
    QAction* copyAllSeriesAction;  // "すべての系列をコピー"
    QAction* renameSeriesAction;   // "系列の名前を変更"
    bool listsSeries() const;
    // Whether the plot draws the run's curve from the point tables: only for a
    // single run; series are painted over it each in its own colour.
    bool tablesHoldCurve() const;
    // Shows the set as it stands; `redrawPlot` for a change after the run.
    void showSeries(bool redrawPlot);
    // The listed series' points were corrected: only what changed is listed again.
    void pointsEdited();
    void keepSeries();
    // Asks for the listed series' new name.
    void renameSeries();
    void chooseSeries(int index);
    // Into the save dialog for the table of all series and its JSON.
    void saveAllSeries();
    void copyAllSeries();

private:
    void listSeriesPoints();
    void listRunPoints();
    void listSeriesClick();
    void moveOverSeries(float X, float Y);
    void showSeriesActions();
    std::vector<SeriesPoint> listedPoints_;  // as the list shows them

    void createControls();
    void setTabOrder();
    void connectHandlers();

    shell::Module1& module_;
};

}  // namespace vastrel::results
