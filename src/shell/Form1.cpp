#include "shell/Form1.h"

#include "shell/Module1.h"

#include <QDir>

namespace vastrel::shell {

Form1::Form1(Module1& module)
    : tk::Form(QStringLiteral("  Vastrel Digitizer"), QSize(1295, 847), Placement::CentreOnScreen, false),
      module_(module)
{
    createControls();
    setTabOrder();
    setUpImageArea();
    connectHandlers();
    module_.setMainWindow(this);
    Form_Load();
    Drive1->setFocus();
}

void Form1::connectHandlers()
{
    connect(this, &tk::Form::Unload, this, &Form1::Form_Unload);
    connect(Command7, &tk::CommandButton::Click, this, &Form1::Command7_Click);

    connect(Drive1, &tk::DriveListBox::Change, this, &Form1::Drive1_Change);
    connect(Dir1, &tk::DirListBox::Change, this, &Form1::Dir1_Change);
    connect(Dir1, &tk::DirListBox::PathRefused, this, &Form1::Dir1_PathRefused);
    connect(File1, &tk::FileListBox::Click, this, &Form1::File1_Click);
    connect(Command1, &tk::CommandButton::Click, this, &Form1::Command1_Click);

    connect(Command3, &tk::CommandButton::Click, this, &Form1::Command3_Click);
    connect(Command4, &tk::CommandButton::Click, this, &Form1::Command4_Click);
    connect(Picture1, &tk::PictureBox::MouseMove, this, &Form1::Picture1_MouseMove);
    // The loupe goes before a press is handled, so that it is gone before a
    // pick's message opens; it follows the pointer after the eraser has moved.
    connect(Picture1, &tk::PictureBox::MouseDown, this, &Form1::hideLoupe);
    connect(Picture1, &tk::PictureBox::MouseDown, this, &Form1::Picture1_MouseDown);
    connect(Picture1, &tk::PictureBox::MouseMove, this, &Form1::Picture1_EraserMove);
    connect(Picture1, &tk::PictureBox::MouseMove, this, &Form1::Picture1_LoupeMove);
    connect(Picture1, &tk::PictureBox::MouseMove, this, &Form1::Picture1_PointEditMove);
    connect(Picture1, &tk::PictureBox::MouseUp, this, &Form1::Picture1_MouseUp);
    connect(Picture1, &tk::PictureBox::MouseLeave, this, &Form1::hideLoupe);

    connect(Text1, &tk::TextBox::KeyDown, this, &Form1::Text1_KeyDown);
    connect(Text2, &tk::TextBox::KeyDown, this, &Form1::Text2_KeyDown);
    connect(Text3, &tk::TextBox::KeyDown, this, &Form1::Text3_KeyDown);
    connect(Text4, &tk::TextBox::KeyDown, this, &Form1::Text4_KeyDown);
    connect(Option1, &tk::OptionButton::Click, this, &Form1::Option1_Click);
    connect(Option2, &tk::OptionButton::Click, this, &Form1::Option2_Click);
    connect(Option3, &tk::OptionButton::Click, this, &Form1::Option3_Click);
    connect(Option4, &tk::OptionButton::Click, this, &Form1::Option4_Click);
    connect(Command2, &tk::CommandButton::Click, this, &Form1::Command2_Click);
    connect(Command5, &tk::CommandButton::Click, this, &Form1::Command5_Click);
    connect(Command6, &tk::CommandButton::Click, this, &Form1::Command6_Click);

    // The list of reference points and the grid show what the boxes hold.
    for (tk::TextBox* box : {Text1, Text2, Text3, Text4})
        connect(box, &QLineEdit::textChanged, this, &Form1::referencesChanged);
    for (tk::OptionButton* option : {Option1, Option2, Option3, Option4})
        connect(option, &QRadioButton::toggled, this, &Form1::referencesChanged);
}

void Form1::Form_Load()
{
    // A start folder that has gone (or cannot be read) falls back to the home
    // folder, so that the boxes never come up empty.
    if (!Dir1->setPath(Drive1->Drive()) && !Dir1->setPath(QDir::homePath())) Dir1->setPath(QStringLiteral("/"));
    File1->setPath(Dir1->Path());
    File1->Refresh();
    for (tk::LineControl* line : {Line1, Line2, Line3, Line4, Line5, Line6}) line->setVisible(false);
    for (tk::TextBox* box : {Text1, Text2, Text3, Text4}) box->setText(QString());
    for (tk::Label* label : {Label11, Label12, Label13, Label14}) label->setCaption(QString());
    module_.PickMode = 0;
    Option1->setValue(true);
    module_.AxisScaleMode = 1;
    module_.DigitizedFlag = 0;
    Picture1->setMousePointer(tk::kArrowPointer);
    printTitle();
}

void Form1::printTitle()
{
    Picture1->Cls();
    Picture1->setCurrentX(300);
    Picture1->setCurrentY(360);
    Picture1->Print(QStringLiteral("Vastrel Digitizer"));
}

void Form1::Command7_Click()
{
    module_.platform().End();
}

void Form1::Form_Unload()
{
    module_.platform().End();
}

}  // namespace vastrel::shell
