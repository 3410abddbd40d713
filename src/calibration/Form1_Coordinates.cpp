// The keyboard path through the coordinate boxes, and the scale mode.

#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::shell {

namespace {
constexpr int kEnter = 13;
}

void Form1::Text1_KeyDown(int KeyCode, int)
{
    if (KeyCode == kEnter) Text2->focusWithTextSelected();
}

void Form1::Text2_KeyDown(int KeyCode, int)
{
    if (KeyCode == kEnter) Command4->setFocus();
}

void Form1::Text3_KeyDown(int KeyCode, int)
{
    if (KeyCode == kEnter) Text4->focusWithTextSelected();
}

void Form1::Text4_KeyDown(int KeyCode, int)
{
    if (KeyCode == kEnter) Command5->setFocus();
}

void Form1::Option1_Click()
{
    module_.AxisScaleMode = 1;
    Command3->setFocus();
}

void Form1::Option2_Click()
{
    module_.AxisScaleMode = 2;
    Command3->setFocus();
}

void Form1::Option3_Click()
{
    module_.AxisScaleMode = 3;
    Command3->setFocus();
}

void Form1::Option4_Click()
{
    module_.AxisScaleMode = 4;
    Command3->setFocus();
}

}  // namespace vastrel::shell
