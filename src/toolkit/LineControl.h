#pragma once
// A line drawn above a picture box's contents. It is an overlay: it is never
// part of what the box reads back with Point, and moving it leaves the
// picture underneath untouched.

#include "toolkit/Color.h"

#include <functional>

namespace vastrel::tk {

class LineControl {
public:
    explicit LineControl(std::function<void()> changed) : changed_(std::move(changed)) {}

    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }
    bool Visible() const { return visible_; }
    ColorValue BorderColor() const { return borderColor_; }

    void setX1(float v) { set(x1_, v); }
    void setY1(float v) { set(y1_, v); }
    void setX2(float v) { set(x2_, v); }
    void setY2(float v) { set(y2_, v); }
    void setVisible(bool v) { set(visible_, v); }
    void setBorderColor(ColorValue v) { set(borderColor_, v); }

private:
    template <class T>
    void set(T& field, T value)
    {
        if (field == value) return;
        field = value;
        changed_();
    }

    std::function<void()> changed_;
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    bool visible_ = true;
    ColorValue borderColor_ = 0;
};

}  // namespace vastrel::tk
