// Placeholder bodies until this file's procedures are written.
#include "butonum/Butonum.h"

namespace butonum {

Butonum::Butonum() = default;
Butonum::~Butonum() = default;
void Butonum::g_Font_FontChanged(const std::wstring&) {}
VbBool Butonum::Enabled() const {
    return UcEnabled() ? tk::vbTrue : tk::vbFalse;
}
void Butonum::Enabled(VbBool) {}
FontPtr Butonum::Font() const {
    return rec.g_Font;
}
void Butonum::Font(const FontPtr&) {}
HWND Butonum::hwnd() const {
    return hWnd();
}
std::int32_t Butonum::MousePointer() const {
    return UcMousePointer();
}
void Butonum::MousePointer(std::int32_t) {}
PicturePtr Butonum::MouseIcon() const {
    return UcMouseIcon();
}
void Butonum::MouseIcon(const PicturePtr&) {}
VbBool Butonum::ShowFocusRect() const {
    return rec.ShowFocusRect;
}
void Butonum::ShowFocusRect(VbBool) {}
std::wstring Butonum::URL() const {
    return rec.URL;
}
void Butonum::URL(const std::wstring&) {}
std::wstring Butonum::Caption() const {
    return rec.Caption;
}
void Butonum::Caption(const std::wstring&) {}
std::int32_t Butonum::ButtonStyle() const {
    return rec.ButtonStyle;
}
void Butonum::ButtonStyle(std::int32_t) {}
std::int32_t Butonum::PicturePosition() const {
    return rec.PicturePosition;
}
void Butonum::PicturePosition(std::int32_t) {}
PicturePtr Butonum::Picture() const {
    return rec.Picture;
}
void Butonum::Picture(const PicturePtr&) {}
std::int32_t Butonum::PictureWidth() const {
    return rec.PictureWidth;
}
void Butonum::PictureWidth(std::int32_t) {}
std::int32_t Butonum::PictureHeight() const {
    return rec.PictureHeight;
}
void Butonum::PictureHeight(std::int32_t) {}
std::int32_t Butonum::PictureSize() const {
    return rec.PictureSize;
}
void Butonum::PictureSize(std::int32_t) {}
PicturePtr Butonum::PictureHover() const {
    return rec.PictureHover;
}
void Butonum::PictureHover(const PicturePtr&) {}
OLE_COLOR Butonum::XPColor_Pressed() const {
    return rec.XPColor_Pressed;
}
void Butonum::XPColor_Pressed(OLE_COLOR) {}
OLE_COLOR Butonum::XPColor_Hover() const {
    return rec.XPColor_Hover;
}
void Butonum::XPColor_Hover(OLE_COLOR) {}
VbBool Butonum::XPDefaultColors() const {
    return rec.XPDefaultColors;
}
void Butonum::XPDefaultColors(VbBool) {}
OLE_COLOR Butonum::BackColor() const {
    return rec.BackColor;
}
void Butonum::BackColor(OLE_COLOR) {}
OLE_COLOR Butonum::ForeColor() const {
    return rec.ForeColor;
}
void Butonum::ForeColor(OLE_COLOR) {}
tk::Variant Butonum::SoundOver() const {
    return tk::Variant(rec.SoundOver);
}
void Butonum::SoundOver(const tk::Variant&) {}
std::wstring Butonum::SoundClick() const {
    return rec.SoundClick;
}
void Butonum::SoundClick(const std::wstring&) {}
std::wstring Butonum::version() const {
    return Tag();
}
void Butonum::version(const std::wstring&) {}
VbBool Butonum::DefCurHand() const {
    return rec.DefCurHand;
}
void Butonum::DefCurHand(VbBool) {}
VbBool Butonum::XPShowBorderAlways() const {
    return rec.XPShowBorderAlways;
}
void Butonum::XPShowBorderAlways(VbBool) {}
OLE_COLOR Butonum::MaskColor() const {
    return rec.MaskColor;
}
void Butonum::MaskColor(OLE_COLOR) {}
VbBool Butonum::TransparentBG() const {
    return rec.TransparentBG;
}
void Butonum::TransparentBG(VbBool) {}
std::int16_t Butonum::BEVEL() const {
    return rec.BEVEL;
}
void Butonum::BEVEL(std::int16_t) {}
std::int16_t Butonum::BEVELDEPTH() const {
    return rec.BEVELDEPTH;
}
void Butonum::BEVELDEPTH(std::int16_t) {}

} // namespace butonum
