#include "results/Form3.h"

#include "shell/Module1.h"

namespace vastrel::results {

Form3::Form3(shell::Module1& module)
    : tk::Form(QStringLiteral(" Data Save"), QSize(572, 643), Placement::SystemDefault, true), module_(module)
{
    connect(this, &tk::Form::Unload, this, &Form3::Hide);
}

}  // namespace vastrel::results
