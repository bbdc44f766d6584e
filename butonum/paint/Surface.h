// Helpers the painting files share: the surface size in whole pixels and the rounding and colour
// building rules of the shading arithmetic.
#pragma once

#include "toolkit/UserControl.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace butonum::paint {

// Nearest integer, halves to even (the default floating-point rounding mode).
inline std::int32_t RoundEven(double v) {
    return static_cast<std::int32_t>(std::nearbyint(v));
}

// The surface's client size in pixels, read afresh at each use.
inline std::int32_t SurfaceWidth(const tk::UserControl& uc) {
    return RoundEven(uc.ScaleWidth());
}
inline std::int32_t SurfaceHeight(const tk::UserControl& uc) {
    return RoundEven(uc.ScaleHeight());
}

// A literal colour from three whole-number components; a component above 255 becomes 255. Below 0
// cannot arise for the documented ranges of the shading arguments, and is held at 0 rather than
// borrowing from the next component.
inline COLORREF ClampedRgb(std::int32_t red, std::int32_t green, std::int32_t blue) {
    auto c = [](std::int32_t v) { return static_cast<BYTE>(std::clamp(v, 0, 255)); };
    return RGB(c(red), c(green), c(blue));
}

} // namespace butonum::paint
