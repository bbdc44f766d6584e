// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::ApplyStateColors() {}
void Butonum::DrawBorder() {}
void Butonum::DrawRaisedBevel(COLORREF, std::int16_t, std::int16_t) {}
void Butonum::DrawSunkenBevel(COLORREF, std::int16_t, std::int16_t) {}
void Butonum::DrawDefaultFrame() {}

} // namespace butonum
