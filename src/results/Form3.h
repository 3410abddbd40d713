#pragma once
// The save dialog " Data Save": writes the digitized points as a CSV file
// into the chosen folder, and previews what will be written.

#include "toolkit/Controls.h"
#include "toolkit/DirListBox.h"
#include "toolkit/DriveListBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/Form.h"

namespace vastrel::shell {
class Module1;
}

namespace vastrel::results {

struct CsvFileOutcome;

class Form3 : public tk::Form {
    Q_OBJECT
public:
    explicit Form3(shell::Module1& module);

    // The controls, by their layout names.
    tk::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    tk::DriveListBox* Drive2;
    tk::DirListBox* Dir2;
    tk::FileListBox* File2;
    tk::TextBox* Text9;
    tk::CommandButton* Command6;
    tk::CommandButton* Command1;
    tk::ListBox* List1;

    void Drive2_Change();
    void Dir2_Change();
    void Dir2_PathRefused(const QString& path, const QString& reason);
    // "File Save".
    void Command6_Click();
    // "Cancel".
    void Command1_Click();

    // What "File Save" writes (results/Form3_AllSeries.cpp): the listed
    // series, as "データ保存" opens the dialog; or, from "すべての系列を
    // 保存", the table of all series as name.csv and the JSON of them as
    // name.json. Each shows what it writes in the preview.
    void saveListedSeries();
    void saveAllSeries(const QString& name);
    bool savesAllSeries() const { return allSeries_; }

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void writeAllSeries();
    // The failure, or the confirmation and the dialog hidden.
    void reportSave(const CsvFileOutcome& outcome);

    shell::Module1& module_;
    bool allSeries_ = false;
};

}  // namespace vastrel::results
