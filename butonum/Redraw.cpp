// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::Refresh() {}
void Butonum::HandleResize() {}
void Butonum::LayoutContent() {}
void Butonum::ShapeWindow() {}

} // namespace butonum
