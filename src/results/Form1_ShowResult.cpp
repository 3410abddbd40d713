// The main window's "Digitized Graph": the result window again, while a
// result is available.

#include "results/Form2.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::shell {

void Form1::Command6_Click()
{
    if (module_.DigitizedFlag == 1) {
        module_.form2().Show();
        return;
    }
    module_.platform().MsgBox(QStringLiteral(" --- Digitized Graph はありません --- "), tk::kExclamationMessage);
}

}  // namespace vastrel::shell
