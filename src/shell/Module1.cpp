#include "shell/Module1.h"

#include "results/Form2.h"
#include "results/Form3.h"

#include <stdexcept>

namespace vastrel::shell {

Module1::Module1(tk::Platform& platform) : platform_(platform)
{}

Module1::~Module1() = default;

Form1& Module1::form1() const
{
    if (!form1_) throw std::logic_error("the main window is not open");
    return *form1_;
}

results::Form2& Module1::form2()
{
    if (!form2_) form2_ = std::make_unique<results::Form2>(*this);
    return *form2_;
}

results::Form3& Module1::form3()
{
    if (!form3_) form3_ = std::make_unique<results::Form3>(*this);
    return *form3_;
}

}  // namespace vastrel::shell
