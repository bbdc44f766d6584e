#include "toolkit/ProgressBar.h"

#include "toolkit/Variant.h"

#include <commctrl.h>

#include <cmath>

namespace tk {
namespace {

int Whole(float v) {
    return static_cast<int>(std::nearbyint(v));
}

[[noreturn]] void InvalidValue() {
    throw VbError(err::InvalidPropertyValue, "Invalid property value");
}

} // namespace

ProgressBar::ProgressBar(HWND parent, int id, RECT pixels, float min, float max, float value)
    : min_(min), max_(max), value_(value) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    hwnd_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_CLIPSIBLINGS, pixels.left, pixels.top,
                            pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr);
    Apply();
}

ProgressBar::~ProgressBar() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

void ProgressBar::Max(float v) {
    if (!(v > min_))
        InvalidValue();
    max_ = v;
    if (value_ > max_)
        value_ = max_;
    Apply();
}

void ProgressBar::Value(float v) {
    if (v < min_ || v > max_)
        InvalidValue();
    value_ = v;
    Apply();
}

void ProgressBar::Apply() {
    if (!hwnd_)
        return;
    SendMessageW(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(Whole(min_)), static_cast<LPARAM>(Whole(max_)));
    SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(Whole(value_)), 0);
}

} // namespace tk
