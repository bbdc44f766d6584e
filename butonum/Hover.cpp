// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::HoverEntry(std::int16_t&) {}
void Butonum::OverTimer_Timer() {}
bool Butonum::HandleTimerMessage(UINT_PTR) {
    return false;
}
std::uint8_t Butonum::PlaySoundFile(std::wstring&) {
    return 0;
}
void Butonum::GoToURL() {}
void Butonum::OpenLink(HWND, const std::wstring&) {}

} // namespace butonum
