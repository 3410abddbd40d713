#pragma once
// The save dialog " Data Save": writes the digitized points as a CSV file.

#include "toolkit/Form.h"

namespace vastrel::shell {
class Module1;
}

namespace vastrel::results {

class Form3 : public tk::Form {
    Q_OBJECT
public:
    explicit Form3(shell::Module1& module);

private:
    shell::Module1& module_;
};

}  // namespace vastrel::results
