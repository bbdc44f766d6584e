// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

void Butonum::HandleAccessKey(std::int16_t&) {}
void Butonum::HandleAmbientChange(const std::wstring&) {}
void Butonum::HandleFocusEnter() {}
void Butonum::HandleFocusExit() {}
void Butonum::HandleDoubleClick() {}
void Butonum::HandleKeyDown(std::int16_t&, std::int16_t&) {}
void Butonum::HandleKeyPress(std::int16_t&) {}
void Butonum::HandleKeyUp(std::int16_t&, std::int16_t&) {}
void Butonum::HandleMouseDown(std::int16_t&, std::int16_t&, float&, float&) {}
void Butonum::HandleMouseMove(std::int16_t&, std::int16_t&, float&, float&) {}
void Butonum::HandleMouseUp(std::int16_t&, std::int16_t&, float&, float&) {}

} // namespace butonum
