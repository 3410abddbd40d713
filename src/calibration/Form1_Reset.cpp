// Reset: back to the empty starting look for the next graph, the curve found
// by the darkest pixel again. The pick mode, the stored reference pixels and
// the last result are kept on purpose.

#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::shell {

void Form1::Command2_Click()
{
    cancelErasing();
    Picture1->setPicture(QImage());
    eraseHistory_.clear();
    erasures_.clear();
    module_.history.clear();
    for (tk::LineControl* line : {Line1, Line2, Line3, Line4, Line5, Line6}) line->setVisible(false);
    for (tk::TextBox* box : {Text1, Text2, Text3, Text4}) box->setText(QString());
    for (tk::Label* label : {Label11, Label12, Label13, Label14}) label->setCaption(QString());
    module_.DigitizedFlag = 0;
    File1->Refresh();
    Option1->setValue(true);
    module_.AxisScaleMode = 1;
    Picture1->setMousePointer(tk::kArrowPointer);
    printTitle();
    clearCurveColour();
    clearScanNotice();
    clearReferencePoints();
    // The series belong to the picture cleared.
    module_.series = {};
}

}  // namespace vastrel::shell
