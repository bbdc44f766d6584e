// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::HandleInitProperties() {}
void Butonum::HandleReadProperties(tk::PropertyBag&) {}
void Butonum::HandleWriteProperties(tk::PropertyBag&) {}

} // namespace butonum
