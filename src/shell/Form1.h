#pragma once
// The main window: choosing the graph image, calibrating the axes, digitizing
// and opening the result window again. Its handlers live in the folders of
// the subsystems they belong to.

#include "engine/axes/LabelReader.h"
#include "engine/digitize/ReferenceFit.h"
#include "engine/digitize/ScanReach.h"
#include "engine/image/EraseHistory.h"
#include "engine/image/ImageSource.h"
#include "engine/project/Project.h"
#include "engine/digitize/PixelCalibration.h"
#include "engine/results/SeriesSet.h"
#include "toolkit/Controls.h"
#include "toolkit/DirListBox.h"
#include "toolkit/DriveListBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/Form.h"
#include "toolkit/Loupe.h"
#include "toolkit/PictureBox.h"

#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <functional>
#include <memory>
#include <QShortcut>
#include <optional>
#include <utility>
#include <vector>

namespace vastrel::shell {

class Module1;
class ReferenceList;

class Form1 : public tk::Form {
    Q_OBJECT
public:
    explicit Form1(Module1& module);

    // The controls, by their layout names.
    tk::CommandButton *Command1, *Command2, *Command3, *Command4, *Command5, *Command6, *Command7;
    tk::TextBox *Text1, *Text2, *Text3, *Text4;
    tk::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10;
    tk::Label *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18;
    tk::Frame* Frame1;
    tk::OptionButton *Option1, *Option2, *Option3, *Option4;
    tk::PictureBox* Picture1;
    QLabel* Picture2;
    tk::LineControl *Line1, *Line2, *Line3, *Line4, *Line5, *Line6;
    tk::DriveListBox* Drive1;
    tk::DirListBox* Dir1;
    tk::FileListBox* File1;
    // The image area's context menu (right click on the image, no pick armed)
    // and the magnifier shown while aiming.
    QMenu* imageAreaMenu;
    tk::Loupe* loupe;

    // Above the image area: the curve's colour, or that the darkest pixel is
    // taken (digitize/Form1_CurveColour.cpp).
    tk::Label* curveColourCaption;
    QLabel* curveColourSwatch;
    tk::Label* curveColourValues;
    // The image area's menu entry that goes back to the darkest pixel.
    QAction* clearCurveColourAction = nullptr;
    // Its entries for the reference points and the calibration grid.
    QAction *addReferenceAction = nullptr, *referenceListAction = nullptr, *frameCornersAction = nullptr,
            *gridAction = nullptr;
    // At the foot of the image area: that the last run read beyond the
    // picture, or had nothing to read (digitize/Form1_ScanNotice.cpp).
    tk::Label* scanNotice = nullptr;

    // Start-up and end (shell/Form1.cpp).
    void Form_Load();
    void Command7_Click();
    void Form_Unload();

    // Choosing and loading the graph image (shell/Form1_ImageBrowsing.cpp).
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_PathRefused(const QString& path, const QString& reason);
    void File1_Click();
    void Command1_Click();

    // Reference-point picking (calibration/Form1_Picking.cpp).
    void Command3_Click();
    void Command4_Click();
    void Picture1_MouseMove(int Button, int Shift, float X, float Y);
    void Picture1_MouseDown(int Button, int Shift, float X, float Y);
    // Sets the start point (1) or the end point (2) with its values and mark.
    void placePick(int which, float X, float Y);

    // Coordinate boxes and scale mode (calibration/Form1_Coordinates.cpp).
    void Text1_KeyDown(int KeyCode, int Shift);
    void Text2_KeyDown(int KeyCode, int Shift);
    void Text3_KeyDown(int KeyCode, int Shift);
    void Text4_KeyDown(int KeyCode, int Shift);
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();

    // Reset (calibration/Form1_Reset.cpp).
    void Command2_Click();

    // Digitize (digitize/Form1_Digitize.cpp).
    void Command5_Click();
    void showScanNotice(const digitize::ScanReach& reach);
    void clearScanNotice();

    // "Digitized Graph": the result window again (results/Form1_ShowResult.cpp).
    void Command6_Click();

    // The curve's colour (digitize/Form1_CurveColour.cpp): taken from a pixel
    // of the image with Ctrl + left click, or cleared back to the darkest pixel.
    void chooseCurveColourAt(float x, float y);
    void clearCurveColour();

    // The image area's menu and keys (shell/Form1_ImageAreaMenu.cpp), opened
    // for drawing-area pixel `pixel`.
    void openImageAreaMenu(QPoint screenPosition, QPoint pixel);

    // The series of a figure (digitize/Form1_Series.cpp): a run's result
    // takes its place beside the kept series, refused when they cannot take
    // its references; "マーカーを検出" finds the scatter markers like the one
    // at a pixel as the latest series; "系列に追加" keeps the latest.
    bool takeLatestSeries(results::Series found, const digitize::References& refs,
                          const std::vector<digitize::ReferencePoint>& more);
    void findMarkersAt(QPoint pixel);
    void keepLatestSeries();
    QAction *findMarkersAction = nullptr, *keepSeriesAction = nullptr;

    // Images dropped on the window or pasted (shell/Form1_ImageDrop.cpp,
    // shell/Form1_ImagePaste.cpp).
    void pasteImage();
    bool clipboardOffersImage() const;

    // The eraser (shell/Form1_Eraser.cpp).
    void Picture1_EraserMove(int Button, int Shift, float X, float Y);
    void Picture1_MouseUp(int Button, int Shift, float X, float Y);
    void cancelErasing();
    bool canUndoErase() const { return eraseHistory_.canUndo(); }

    // The one history of erasures and changes of the series
    // (shell/Form1_History.cpp): Ctrl+Z and "元に戻す", Ctrl+Shift+Z and "やり直す".
    void undo();
    void redo();

    // Correcting the listed series over the image (shell/Form1_PointEditing.cpp).
    void showSeriesOnImage(bool shown);
    bool seriesShownOnImage() const { return seriesShown_; }
    const std::vector<std::size_t>& selectedPoints() const { return selected_; }
    // A left press on the image while the series is shown: true when it
    // selects, drags, bands or adds rather than choosing a colour.
    bool beginPointEdit(int Shift, float X, float Y);
    void Picture1_PointEditMove(int Button, int Shift, float X, float Y);
    void endPointEdit(float X, float Y);
    bool pointKey(const QKeyEvent& key);
    void deleteSelectedPoints();
    QAction* showSeriesAction = nullptr;

    // Reference points besides the start and end points
    // (calibration/Form1_References.cpp): picked, typed in the list
    // "基準点", picked again or deleted; Reset clears them.
    void addReferencePoint();
    void pickReferenceAgain(std::size_t index);
    void deleteReferencePoint(std::size_t index);
    void showReferenceList();
    ReferenceList& referenceList();
    // Something of the references changed: the list and the grid follow.
    void referencesChanged();
    // The picks, the four boxes as Digitize reads them and the scale mode.
    digitize::References typedReferences() const;
    // The added points as Digitize reads them; nothing while a value of one
    // is not typed.
    std::optional<std::vector<digitize::ReferencePoint>> addedReferencePoints() const;
    // The mapping of all the points as typed now, or why there is none.
    digitize::FitOutcome fittedReferences() const;

    // "プロジェクトを保存" (Ctrl+S) and "プロジェクトを開く" (Ctrl+O)
    // (shell/Form1_Project.cpp): the file is chosen in a dialog; the ...To
    // and ...File forms take it as given and say whether it worked.
    void saveProject();
    bool saveProjectTo(QString path);
    void openProject();
    bool openProjectFile(const QString& path);
    // Everything set up on the graph, image paths relative to `folder`.
    project::Project currentProject(const QDir& folder) const;
    QAction *saveProjectAction = nullptr, *openProjectAction = nullptr;

    // "四隅を検出" (calibration/Form1_FrameCorners.cpp).
    void findFrameCornersOfPicture();

    // "軸を自動検出" (calibration/Form1_AxesDetection.cpp).
    void detectAxes();
    QAction* detectAxesAction = nullptr;

    // "目盛を表示" (calibration/Form1_Grid.cpp).
    void showGrid(bool shown);
    bool gridShown() const { return gridShown_; }

    // The loupe while aiming (calibration/Form1_Loupe.cpp).
    void Picture1_LoupeMove(int Button, int Shift, float X, float Y);
    void hideLoupe();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Loaded with the first "軸を自動検出": the OCR model takes a moment.
    std::unique_ptr<axes::LabelReader> labelReader_;
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void printTitle();
    void createCurveColourDisplay();
    void createScanNotice();
    void showCurveColour();

    void reportUnreadableImageFile(const QString& path, const QString& reason);
    void setUpImageArea();
    void loadImageFrom(const image::ImageSource& source, const QString& origin);
    void loadImageFile(const QString& path);
    void loadImageBytes(const image::ImageBytes& bytes, const QString& origin);
    void showLoadedImage(const QImage& picture);
    void rememberImage(const QString& path, const QString& sha256);
    void applyProject(const project::Project& p);
    int imageLoads_ = 0;
    QString projectPath_;  // the project last saved or opened
    void beginErasing(float X, float Y);
    void endErasing();
    bool eraserDragging() const { return eraserDragging_; }

    Module1& module_;

    QAction* pasteImageAction_ = nullptr;
    QPoint menuPixel_;
    QAction* undoEraseAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    void recordErasure(QRect painted);
    void refreshOverlay();
    void drawSeriesMarks(QPainter& painter);
    bool editSeries(const std::function<bool(results::Series&, const digitize::PixelCalibration&)>& change);
    void seriesChanged();
    void pointsCorrected(const results::SeriesSet& before);
    void forgetStaleSelection();
    bool seriesShown_ = false;
    std::size_t selectedListed_ = 0;
    std::vector<std::size_t> selected_;
    std::optional<QPointF> dragFrom_, bandFrom_;
    bool dragMoved_ = false;
    results::SeriesSet dragBefore_;
    QShortcut* cancelEraseKey_ = nullptr;
    image::EraseHistory eraseHistory_;
    // Every erasure since the picture was loaded, oldest first, as painted:
    // the undo steps may forget the oldest, a project keeps them all.
    std::vector<QRect> erasures_;
    // The pixel where the right button went down, while it is held.
    std::optional<QPoint> eraserPress_;
    bool eraserDragging_ = false;
    bool toldOfForgottenErasures_ = false;

    void armReferencePick();
    void takeReferencePick(float X, float Y);
    void clearReferencePoints();
    void showReferenceMarkers();
    void drawGrid(QPainter& painter);
    ReferenceList* referenceList_ = nullptr;
    // A cross of two lines for each added point, kept for the next ones.
    std::vector<std::pair<tk::LineControl*, tk::LineControl*>> referenceMarkers_;
    bool gridShown_ = false;
};

}  // namespace vastrel::shell
