// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::HandleInitialize() {}
void Butonum::HandleTerminate() {}
void Butonum::ReleaseRegion() {}

} // namespace butonum
