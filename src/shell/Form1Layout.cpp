// The main window's controls, at the positions, sizes, fonts and colours of
// its layout.

#include "shell/Form1.h"
#include "toolkit/Fonts.h"
#include "toolkit/LayoutStyle.h"

namespace vastrel::shell {

using tk::layoutFont;
using namespace tk::style;

void Form1::createControls()
{
    Command6 =
        new tk::CommandButton(this, "Digitized Graph", {48, 696, 193, 33}, layoutFont(kTimes, 14.25), kLightYellow);

    Picture2 = new QLabel(this);
    tk::place(*Picture2, {216, 784, 32, 32});
    Picture2->setAutoFillBackground(true);
    Picture2->setPalette(QPalette(tk::toQColor(kWhite)));
    Picture2->setPixmap(tk::applicationPicture());

    Frame1 =
        new tk::Frame(this, QStringLiteral("Scale Mode 設定"), {40, 304, 193, 149}, layoutFont(kMeiryo, 12), kBlue);
    Option4 = new tk::OptionButton(Frame1, "Log - Linear", {24, 120, 137, 17}, layoutFont(kMeiryo, 11.25));
    Option3 = new tk::OptionButton(Frame1, "Log - Log", {24, 96, 121, 17}, layoutFont(kMeiryo, 11.25));
    Option2 = new tk::OptionButton(Frame1, "Linear - Log", {24, 72, 137, 17}, layoutFont(kMeiryo, 11.25));
    Option1 = new tk::OptionButton(Frame1, "Linear - Linear", {24, 48, 137, 17}, layoutFont(kMeiryo, 11.25));
    Option1->setChecked(true);
    Label5 = new tk::Label(Frame1, QStringLiteral("X軸   -   Ｙ軸"), {40, 24, 92, 23}, layoutFont(kMeiryo, 11.25));

    Picture1 = new tk::PictureBox(this, QSize(1009, 809), kLightGrey);
    tk::place(*Picture1, {272, 24, 1009, 809});
    Picture1->setForeColor(kGrey);
    Picture1->setFont(layoutFont(kTimes, 36, true));
    Line6 = &Picture1->addLine(240, 0, 240, 800, kRed);
    Line5 = &Picture1->addLine(0, 360, 1000, 360, kRed);
    Line1 = &Picture1->addLine(8, 304, 24, 304, kRed);
    Line2 = &Picture1->addLine(16, 296, 16, 312, kRed);
    Line3 = &Picture1->addLine(48, 304, 64, 304, kRed);
    Line4 = &Picture1->addLine(56, 296, 56, 312, kRed);

    Command7 = new tk::CommandButton(this, "END", {48, 744, 73, 33}, layoutFont(kTimes, 14.25), kLightYellow);
    Command7->setToolTipText(QStringLiteral("  bye bye  "));
    Command5 = new tk::CommandButton(this, "Digitize", {48, 632, 193, 49}, layoutFont(kTimes, 15.75), kLightYellow);
    Command4 =
        new tk::CommandButton(this, QStringLiteral("終点"), {16, 552, 33, 49}, layoutFont(kMeiryo, 12), kLightYellow);
    Command4->setToolTipText(QStringLiteral("  終点(右上)を指定  "));
    Command3 =
        new tk::CommandButton(this, QStringLiteral("始点"), {16, 488, 33, 49}, layoutFont(kMeiryo, 12), kLightYellow);
    Command3->setToolTipText(QStringLiteral("  始点(左下)を指定  "));

    Text4 = new tk::TextBox(this, {104, 576, 73, 25}, layoutFont(kTimes, 12));
    Text3 = new tk::TextBox(this, {104, 552, 73, 25}, layoutFont(kTimes, 12));
    Text2 = new tk::TextBox(this, {104, 512, 73, 25}, layoutFont(kTimes, 12));
    Text1 = new tk::TextBox(this, {104, 488, 73, 25}, layoutFont(kTimes, 12));

    Command2 = new tk::CommandButton(this, "Reset", {144, 256, 89, 33}, layoutFont(kTimes, 14.25), kLightYellow);
    Command1 = new tk::CommandButton(this, "OK", {32, 256, 89, 33}, layoutFont(kTimes, 14.25), kLightYellow);

    File1 = new tk::FileListBox(this);
    tk::place(*File1, {24, 160, 217, 86});
    File1->setFont(layoutFont(kPGothic, 12));
    File1->setPattern(QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png"));
    Dir1 = new tk::DirListBox(this);
    tk::place(*Dir1, {24, 88, 217, 74});
    Dir1->setFont(layoutFont(kPGothic, 11.25));
    Drive1 = new tk::DriveListBox(this);
    tk::place(*Drive1, {24, 64, 217, 23});
    Drive1->setFont(layoutFont(kPGothic, 11.25));

    const auto stepNumber = [this](const char* digit, tk::Placement at) {
        auto* label = new tk::Label(this, QString::fromUtf8(digit), at, layoutFont(kMeiryo, 15.75));
        label->setForeColor(kBlue);
        return label;
    };
    Label18 = stepNumber("④", {16, 640, 21, 31});
    Label17 = stepNumber("②", {16, 308, 21, 31});
    Label16 = stepNumber("①", {24, 28, 21, 31});
    Label15 = stepNumber("③", {16, 456, 21, 31});

    const auto pixelValue = [this](tk::Placement at) {
        auto* label = new tk::Label(this, QString(), at, layoutFont(kTimes, 12));
        label->setBoxed(kWhite);
        return label;
    };
    Label14 = pixelValue({176, 576, 73, 25});
    Label13 = pixelValue({176, 552, 73, 25});
    Label12 = pixelValue({176, 512, 73, 25});
    Label11 = pixelValue({176, 488, 73, 25});

    Label7 = new tk::Label(this, QStringLiteral("座標設定"), {48, 460, 64, 24}, layoutFont(kMeiryo, 12));
    Label7->setForeColor(kBlue);
    Label10 =
        new tk::Label(this, QStringLiteral("Vastrel Digitizer 1.0"), {48, 800, 153, 17}, layoutFont(kTimes, 11.25));
    Label10->setForeColor(kGrey);
    Label9 = new tk::Label(this, QStringLiteral("適用最大画像 1000×800 ピクセル"), {280, 5, 270, 16},
                           layoutFont(kRoundGothic, 12));
    Label9->setForeColor(kBlue);
    Label8 = new tk::Label(this, QStringLiteral("Graph      Pixel"), {120, 468, 108, 23}, layoutFont(kMeiryo, 11.25));
    Label6 = new tk::Label(this, QStringLiteral("グラフ画像ファイル選択"), {56, 32, 176, 24}, layoutFont(kMeiryo, 12));
    Label6->setForeColor(kBlue);

    const auto rowCaption = [this](const char* caption, tk::Placement at) {
        auto* label = new tk::Label(this, QString::fromUtf8(caption), at, layoutFont(kMeiryo, 11.25));
        label->setBoxed(kLightCyan);
        return label;
    };
    Label4 = rowCaption("Y座標", {48, 576, 57, 25});
    Label3 = rowCaption("X座標", {48, 552, 57, 25});
    Label2 = rowCaption("Y座標", {48, 512, 57, 25});
    Label1 = rowCaption("X座標", {48, 488, 57, 25});

    createCurveColourDisplay();
    createScanNotice();
}

void Form1::setTabOrder()
{
    // In the tab order, but a press on the image must not take the focus from
    // the step the user is on.
    Picture1->setFocusPolicy(Qt::TabFocus);
    const QList<QWidget*> order = {Drive1,  Dir1,    File1,    Command1, Command2, Text1,    Text2,
                                   Text3,   Text4,   Command3, Command4, Command5, Command7, Picture1,
                                   Option1, Option2, Option3,  Option4,  Command6};
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace vastrel::shell
