// Arming and taking the two reference-point picks on the image. An armed
// pick takes any press on the image; only with none armed does Ctrl + left
// click choose the curve's colour and a right click open the image's menu.

#include "shell/Form1.h"
#include "shell/Module1.h"
#include "engine/text/NumberText.h"

namespace vastrel::shell {

namespace {

constexpr float kMarkerArm = 8.0f;

QString pixelText(float value)
{
    return QString::fromStdString(text::singleText(value));
}

void placeMarker(tk::LineControl& horizontal, tk::LineControl& vertical, float x, float y)
{
    horizontal.setX1(x - kMarkerArm);
    horizontal.setX2(x + kMarkerArm);
    horizontal.setY1(y);
    horizontal.setY2(y);
    vertical.setX1(x);
    vertical.setX2(x);
    vertical.setY1(y - kMarkerArm);
    vertical.setY2(y + kMarkerArm);
    horizontal.setVisible(true);
    vertical.setVisible(true);
}

}  // namespace

void Form1::Command3_Click()
{
    module_.PickMode = 1;
    Picture1->setMousePointer(tk::kCrossPointer);
    module_.platform().MsgBox(QStringLiteral(" --- グラフ上で 始点（左下） をマウスクリックして下さい --- "));
}

void Form1::Command4_Click()
{
    module_.PickMode = 2;
    Picture1->setMousePointer(tk::kCrossPointer);
    module_.platform().MsgBox(QStringLiteral(" --- グラフ上で 終点（右上） をマウスクリックして下さい --- "));
}

void Form1::placePick(int which, float X, float Y)
{
    if (which == 1) {
        module_.StartPixelX = X;
        Label11->setCaption(pixelText(X));
        module_.StartPixelY = Y;
        Label12->setCaption(pixelText(Y));
        placeMarker(*Line1, *Line2, X, Y);
    } else {
        module_.EndPixelX = X;
        Label13->setCaption(pixelText(X));
        module_.EndPixelY = Y;
        Label14->setCaption(pixelText(Y));
        placeMarker(*Line3, *Line4, X, Y);
    }
}

void Form1::Picture1_MouseMove(int, int, float X, float Y)
{
    if (module_.PickMode == 1 || module_.PickMode == 2 || module_.PickMode == 3) {
        Line5->setY1(Y);
        Line5->setY2(Y);
        Line6->setX1(X);
        Line6->setX2(X);
        Line5->setVisible(true);
        Line6->setVisible(true);
    } else {
        Line5->setVisible(false);
        Line6->setVisible(false);
    }
}

void Form1::Picture1_MouseDown(int Button, int Shift, float X, float Y)
{
    constexpr int kLeftButton = 1, kCtrlMask = 2;
    if (module_.PickMode == 1) {
        placePick(1, X, Y);
        module_.PickMode = 0;
        referencesChanged();
        module_.platform().MsgBox(QStringLiteral(" ---  始点の座標を入力して下さい  ---  "));
        Text1->focusWithTextSelected();
    } else if (module_.PickMode == 2) {
        placePick(2, X, Y);
        module_.PickMode = 0;
        referencesChanged();
        module_.platform().MsgBox(QStringLiteral(" ---  終点の座標を入力して下さい  ---  "));
        Text3->focusWithTextSelected();
    } else if (module_.PickMode == 3) {
        takeReferencePick(X, Y);
    } else if (Button == kLeftButton && seriesShownOnImage() && beginPointEdit(Shift, X, Y)) {
        // A point of the series shown over the image.
    } else if (Button == kLeftButton && (Shift & kCtrlMask)) {
        chooseCurveColourAt(X, Y);
    } else if (Button == tk::kRightButton) {
        // With no pick armed the right button erases (a drag) or opens the
        // image area's menu (a click).
        beginErasing(X, Y);
    }
}

}  // namespace vastrel::shell
