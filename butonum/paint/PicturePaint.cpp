// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::DrawPicture() {}
void Butonum::DrawBitmapPicture(std::uint8_t, const RECT&, std::uint8_t) {}
void Butonum::DrawIconPicture(std::uint8_t, const RECT&, std::uint8_t) {}
void Butonum::MaskedBlt(HDC, HDC, HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                        std::int32_t, OLE_COLOR) {}

} // namespace butonum
