#pragma once
// A value that nothing may have written yet. Reading it is no error: in
// arithmetic an unset value counts as 0.

#include <optional>

namespace vastrel::shell {

template <class T>
class Unset {
public:
    Unset() = default;
    Unset(T value) : value_(value) {}  // NOLINT(google-explicit-constructor): assignment reads naturally

    Unset& operator=(T value)
    {
        value_ = value;
        return *this;
    }
    operator T() const { return value_.value_or(T{}); }  // NOLINT(google-explicit-constructor)
    bool isSet() const { return value_.has_value(); }

private:
    std::optional<T> value_;
};

}  // namespace vastrel::shell
