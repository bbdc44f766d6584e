// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

ColorParts Butonum::SplitColor(COLORREF) const {
    return {};
}
COLORREF Butonum::TranslateColor(OLE_COLOR color) const {
    return static_cast<COLORREF>(color);
}
COLORREF Butonum::ShiftColor(COLORREF color, std::int32_t) const {
    return color;
}
void Butonum::DrawLine(std::int32_t, std::int32_t, std::int32_t, std::int32_t, COLORREF) {}
void Butonum::DrawRect(HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t, OLE_COLOR, std::uint8_t) {
}

} // namespace butonum
