// Colour arithmetic of the shaded faces, and the two shape primitives every face is built from.
#include "butonum/Butonum.h"

#include <algorithm>
#include <cmath>

namespace butonum {

COLORREF Butonum::TranslateColor(OLE_COLOR color) const {
    if (color >= 0 && color <= 0x00FFFFFF)
        return static_cast<COLORREF>(color);
    // Anything else names a system colour by its low 24 bits, top bit set or not; it is looked up
    // now so that the desktop's current scheme shows at the next redraw.
    return GetSysColor(static_cast<int>(color & 0x00FFFFFF));
}

ColorParts Butonum::SplitColor(COLORREF color) const {
    const double c = static_cast<double>(color);
    ColorParts parts;
    parts.Blue = std::trunc(c / 65536.0);
    parts.Green = std::trunc((c - parts.Blue * 65536.0) / 256.0);
    parts.Red = c - parts.Blue * 65536.0 - parts.Green * 256.0;
    return parts;
}

COLORREF Butonum::ShiftColor(COLORREF color, std::int32_t amount) const {
    std::int64_t blue = (color >> 16) & 0xFF;
    std::int64_t green = (color >> 8) & 0xFF;
    std::int64_t red = color & 0xFF;
    // Blue moves by a share of its own value (division truncating toward zero), red and green by the
    // whole amount: the faces get their slightly warm or cool cast from this.
    blue += (blue * amount) / 192;
    green += amount;
    red += amount;
    auto clamp = [](std::int64_t v) { return static_cast<COLORREF>(std::clamp<std::int64_t>(v, 0, 255)); };
    return clamp(red) | (clamp(green) << 8) | (clamp(blue) << 16);
}

void Butonum::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, COLORREF color) {
    HDC dc = hDC();
    // The new pen stays selected after the call; the one an earlier line left behind goes now.
    linePen_.Select(dc, CreatePen(PS_SOLID, 1, color));
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void Butonum::DrawRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                       OLE_COLOR color, std::uint8_t Mode) {
    paint::Brush brush(CreateSolidBrush(TranslateColor(color)));
    const RECT r{left, top, right, bottom};
    if (Mode == 1)
        FillRect(dc, &r, brush.Get());
    else
        FrameRect(dc, &r, brush.Get());
}

} // namespace butonum
