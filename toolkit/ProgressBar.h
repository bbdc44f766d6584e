// The common-controls progress bar with the bounds and value in the units the caller uses.
#pragma once

#include <windows.h>

namespace tk {

class ProgressBar {
public:
    ProgressBar(HWND parent, int id, RECT pixels, float min = 0, float max = 100, float value = 0);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    float Min() const { return min_; }
    float Max() const { return max_; }
    // Throws VbError (invalid property value) for a bound not above Min; a value above the new
    // bound is lowered to it, as the bar itself does.
    void Max(float v);
    float Value() const { return value_; }
    // Throws VbError (invalid property value) outside Min..Max.
    void Value(float v);
    HWND hWnd() const { return hwnd_; }

private:
    void Apply();
    HWND hwnd_ = nullptr; // owned
    float min_, max_, value_;
};

} // namespace tk
