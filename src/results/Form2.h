#pragma once
// The result window "Digitalized Graph": the traced curve and its point list.

#include "toolkit/Form.h"

namespace vastrel::shell {
class Module1;
}

namespace vastrel::results {

class Form2 : public tk::Form {
    Q_OBJECT
public:
    explicit Form2(shell::Module1& module);

private:
    shell::Module1& module_;
};

}  // namespace vastrel::results
