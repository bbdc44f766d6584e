// Creation and destruction of an instance.
#include "butonum/Butonum.h"

#include "toolkit/Font.h"

namespace butonum {

void Butonum::HandleInitialize() {
    BindFont(tk::StdFont::Create());
    // Everything the control measures and draws is in pixels.
    ScaleMode(tk::vbPixels);
    OverTimer.SetOwner(hWnd());
}

void Butonum::HandleTerminate() {
    OverTimer.Enabled(false);
    ReleaseRegion();
    BindFont(nullptr);
}

// Drops the control's handle of the window region. A region the window received belongs to the
// window, which frees it when the next one replaces it or the window goes; freeing it here would
// leave the window clipping by a dead handle.
void Butonum::ReleaseRegion() {
    if (rec.g_Region && regionOwned_)
        DeleteObject(rec.g_Region);
    rec.g_Region = nullptr;
    regionOwned_ = false;
}

} // namespace butonum
