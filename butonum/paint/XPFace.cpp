// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::DrawXPFace(std::uint8_t, std::uint8_t) {}

} // namespace butonum
