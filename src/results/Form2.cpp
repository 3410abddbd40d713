#include "results/Form2.h"

#include "shell/Module1.h"

namespace vastrel::results {

Form2::Form2(shell::Module1& module)
    : tk::Form(QStringLiteral("Digitalized Graph"), QSize(1299, 831), Placement::CentreOnScreen, false),
      module_(module)
{
    connect(this, &tk::Form::Unload, this, &Form2::Hide);
}

}  // namespace vastrel::results
