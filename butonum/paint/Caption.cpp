// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::MeasureCaption() {}
void Butonum::DrawCaption() {}
void Butonum::UpdateAccessKey() {}

} // namespace butonum
