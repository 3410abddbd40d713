#pragma once
// The main window: choosing the graph image, calibrating the axes, digitizing
// and opening the result window again. Its handlers live in the folders of
// the subsystems they belong to.

#include "toolkit/Controls.h"
#include "toolkit/DirListBox.h"
#include "toolkit/DriveListBox.h"
#include "toolkit/FileListBox.h"
#include "toolkit/Form.h"
#include "toolkit/PictureBox.h"

#include <QMenu>
#include <optional>

namespace vastrel::shell {

class Module1;

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

    // Above the image area: the curve's colour, or that the darkest pixel is
    // taken (digitize/Form1_CurveColour.cpp).
    tk::Label* curveColourCaption;
    QLabel* curveColourSwatch;
    tk::Label* curveColourValues;
    // Opened by a right click on the image while no pick is armed
    // (shell/Form1_ImageAreaMenu.cpp).
    QMenu* imageAreaMenu = nullptr;
    QAction* clearCurveColourAction = nullptr;

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
    void Picture1_MouseUp(int Button, int Shift, float X, float Y);

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

    // "Digitized Graph": the result window again (results/Form1_ShowResult.cpp).
    void Command6_Click();

    // The curve's colour (digitize/Form1_CurveColour.cpp): taken from a pixel
    // of the image with Ctrl + left click, or cleared back to the darkest pixel.
    void chooseCurveColourAt(float x, float y);
    void clearCurveColour();

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void printTitle();
    void createCurveColourDisplay();
    void showCurveColour();
    void createImageAreaMenu();

    Module1& module_;
    // Where the right button went down on the image with no pick armed; the
    // menu opens when it comes up again at the same pixel.
    std::optional<QPointF> rightPress_;
};

}  // namespace vastrel::shell
