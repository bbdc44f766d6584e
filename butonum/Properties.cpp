// The public interface: each setter stores, announces, applies and redraws in its own order.
#include "butonum/Butonum.h"

#include "toolkit/Font.h"
#include "toolkit/Picture.h"

#include <cmath>

namespace butonum {

namespace {
constexpr wchar_t kVersion[] = L"030102-15";

// A picture's natural size in pixels (HIMETRIC through the scale unit, halves to even).
std::int32_t PixelsX(const tk::UserControl& uc, const tk::PicturePtr& pic) {
    return static_cast<std::int32_t>(std::nearbyint(uc.ScaleX(pic->Width(), tk::vbHimetric, uc.ScaleMode())));
}
std::int32_t PixelsY(const tk::UserControl& uc, const tk::PicturePtr& pic) {
    return static_cast<std::int32_t>(
        std::nearbyint(uc.ScaleY(pic->Height(), tk::vbHimetric, uc.ScaleMode())));
}
} // namespace

// The child components come from the control's design: a disabled 10 ms timer, an image without a
// picture, and the version text in Tag.
Butonum::Butonum() : OverTimer(nullptr, 10) {
    OverTimer.Tick = [this] { OverTimer_Timer(); };
    imgHAND.Picture = tk::Picture::Empty();
    imgHAND.Visible = false;
    Tag(kVersion);
}

Butonum::~Butonum() {
    Destroy();
    BindFont(nullptr);
}

void Butonum::BindFont(const FontPtr& font) {
    if (rec.g_Font && fontSubscription_)
        rec.g_Font->Unsubscribe(fontSubscription_);
    fontSubscription_ = 0;
    rec.g_Font = font;
    if (font)
        fontSubscription_ = font->Subscribe([this](const std::wstring& name) { g_Font_FontChanged(name); });
}

void Butonum::g_Font_FontChanged(const std::wstring&) {
    UcFont(rec.g_Font);
    Refresh();
}

VbBool Butonum::Enabled() const {
    return UcEnabled() ? tk::vbTrue : tk::vbFalse;
}

void Butonum::Enabled(VbBool New_Enabled) {
    UcEnabled(New_Enabled != 0);
    PropertyChanged(L"Enabled");
    Refresh();
}

FontPtr Butonum::Font() const {
    return rec.g_Font;
}

void Butonum::Font(const FontPtr& New_Font) {
    if (!New_Font)
        throw tk::VbError(tk::err::ObjectNotSet, "Object variable or With block variable not set");
    if (rec.g_Font) {
        // Weight and character set stay as they are; each attribute that changes redraws once.
        const FontPtr target = rec.g_Font;
        target->Name(New_Font->Name());
        target->Size(New_Font->Size());
        target->Bold(New_Font->Bold());
        target->Italic(New_Font->Italic());
        target->Underline(New_Font->Underline());
        target->Strikethrough(New_Font->Strikethrough());
    }
    PropertyChanged(L"Font");
}

HWND Butonum::hwnd() const {
    return hWnd();
}

std::int32_t Butonum::MousePointer() const {
    return UcMousePointer();
}

void Butonum::MousePointer(std::int32_t New_MousePointer) {
    if (New_MousePointer < INT16_MIN || New_MousePointer > INT16_MAX)
        throw tk::VbError(tk::err::Overflow, "Overflow");
    UcMousePointer(static_cast<std::int16_t>(New_MousePointer));
    PropertyChanged(L"MousePointer");
}

PicturePtr Butonum::MouseIcon() const {
    return UcMouseIcon();
}

void Butonum::MouseIcon(const PicturePtr& New_MouseIcon) {
    UcMouseIcon(New_MouseIcon);
    PropertyChanged(L"MouseIcon");
}

VbBool Butonum::ShowFocusRect() const {
    return rec.ShowFocusRect;
}

void Butonum::ShowFocusRect(VbBool New_ShowFocusRect) {
    rec.ShowFocusRect = New_ShowFocusRect;
    PropertyChanged(L"ShowFocusRect");
    Refresh();
}

std::wstring Butonum::URL() const {
    return rec.URL;
}

void Butonum::URL(const std::wstring& New_URL) {
    rec.URL = New_URL;
    PropertyChanged(L"URL");
}

std::wstring Butonum::Caption() const {
    return rec.Caption;
}

void Butonum::Caption(const std::wstring& New_Caption) {
    rec.Caption = New_Caption;
    // Screen readers and automation read the caption as the window's text.
    if (hWnd())
        SetWindowTextW(hWnd(), rec.Caption.c_str());
    PropertyChanged(L"Caption");
    UpdateAccessKey();
    Refresh();
}

std::int32_t Butonum::ButtonStyle() const {
    return rec.ButtonStyle;
}

void Butonum::ButtonStyle(std::int32_t New_ButtonStyle) {
    rec.ButtonStyle = New_ButtonStyle;
    PropertyChanged(L"ButtonStyle");
    if (New_ButtonStyle == 3)
        TransparentBG(tk::vbFalse);
    HandleResize();
}

std::int32_t Butonum::PicturePosition() const {
    return rec.PicturePosition;
}

void Butonum::PicturePosition(std::int32_t New_PicturePosition) {
    rec.PicturePosition = New_PicturePosition;
    PropertyChanged(L"PicturePosition");
    Refresh();
}

PicturePtr Butonum::Picture() const {
    return rec.Picture;
}

void Butonum::Picture(const PicturePtr& New_Picture) {
    rec.Picture = New_Picture;
    rec.g_NormalPicture = New_Picture;
    if (!New_Picture) {
        rec.OriginalPicSizeW = 32;
        rec.OriginalPicSizeH = 32;
    } else {
        rec.OriginalPicSizeW = PixelsX(*this, New_Picture);
        rec.OriginalPicSizeH = PixelsY(*this, New_Picture);
    }
    PropertyChanged(L"Picture");
    if (rec.PictureSize == 2) {
        rec.PictureWidth = New_Picture ? PixelsX(*this, New_Picture) : 32;
        rec.PictureHeight = New_Picture ? PixelsY(*this, New_Picture) : 32;
    }
    Refresh();
}

std::int32_t Butonum::PictureWidth() const {
    return rec.PictureWidth;
}

void Butonum::PictureWidth(std::int32_t New_PictureWidth) {
    rec.PictureWidth = New_PictureWidth;
    PropertyChanged(L"PictureWidth");
    Refresh();
}

std::int32_t Butonum::PictureHeight() const {
    return rec.PictureHeight;
}

void Butonum::PictureHeight(std::int32_t New_PictureHeight) {
    rec.PictureHeight = New_PictureHeight;
    PropertyChanged(L"PictureHeight");
    Refresh();
}

std::int32_t Butonum::PictureSize() const {
    return rec.PictureSize;
}

void Butonum::PictureSize(std::int32_t New_PictureSize) {
    rec.PictureSize = New_PictureSize;
    PropertyChanged(L"PictureSize");
    switch (New_PictureSize) {
    case 0:
        rec.PictureWidth = rec.PictureHeight = 16;
        break;
    case 1:
        rec.PictureWidth = rec.PictureHeight = 32;
        break;
    case 2:
        if (!rec.Picture) {
            rec.PictureWidth = rec.PictureHeight = 32;
        } else {
            rec.PictureWidth = rec.OriginalPicSizeW;
            rec.PictureHeight = rec.OriginalPicSizeH;
        }
        break;
    default:
        break;
    }
    Refresh();
}

PicturePtr Butonum::PictureHover() const {
    return rec.PictureHover;
}

void Butonum::PictureHover(const PicturePtr& New_PictureHover) {
    rec.PictureHover = New_PictureHover;
    PropertyChanged(L"PictureHover");
}

OLE_COLOR Butonum::XPColor_Pressed() const {
    return rec.XPColor_Pressed;
}

void Butonum::XPColor_Pressed(OLE_COLOR New_XPColor_Pressed) {
    rec.XPColor_Pressed = New_XPColor_Pressed;
    PropertyChanged(L"XPColor_Pressed");
}

OLE_COLOR Butonum::XPColor_Hover() const {
    return rec.XPColor_Hover;
}

void Butonum::XPColor_Hover(OLE_COLOR New_XPColor_Hover) {
    rec.XPColor_Hover = New_XPColor_Hover;
    PropertyChanged(L"XPColor_Hover");
}

VbBool Butonum::XPDefaultColors() const {
    return rec.XPDefaultColors;
}

void Butonum::XPDefaultColors(VbBool New_XPDefaultColors) {
    rec.XPDefaultColors = New_XPDefaultColors;
    PropertyChanged(L"XPDefaultColors");
}

OLE_COLOR Butonum::BackColor() const {
    return rec.BackColor;
}

void Butonum::BackColor(OLE_COLOR New_BackColor) {
    rec.BackColor = New_BackColor;
    PropertyChanged(L"BackColor");
    UcBackColor(New_BackColor);
    Refresh();
}

OLE_COLOR Butonum::ForeColor() const {
    return rec.ForeColor;
}

void Butonum::ForeColor(OLE_COLOR New_ForeColor) {
    rec.ForeColor = New_ForeColor;
    PropertyChanged(L"ForeColor");
    UcForeColor(New_ForeColor);
    Refresh();
}

tk::Variant Butonum::SoundOver() const {
    return tk::Variant(rec.SoundOver);
}

void Butonum::SoundOver(const tk::Variant& New_SoundOver) {
    rec.SoundOver = New_SoundOver.ToString();
    PropertyChanged(L"SoundOver");
}

std::wstring Butonum::SoundClick() const {
    return rec.SoundClick;
}

void Butonum::SoundClick(const std::wstring& New_SoundClick) {
    rec.SoundClick = New_SoundClick;
    PropertyChanged(L"SoundClick");
}

std::wstring Butonum::version() const {
    return Tag();
}

void Butonum::version(const std::wstring&) {}

VbBool Butonum::DefCurHand() const {
    return rec.DefCurHand;
}

void Butonum::DefCurHand(VbBool New_DefCurHand) {
    rec.DefCurHand = New_DefCurHand;
    PropertyChanged(L"DefCurHand");
    if (New_DefCurHand == tk::vbTrue) {
        UcMouseIcon(imgHAND.Picture);
        UcMousePointer(tk::vbCustom);
    } else {
        UcMouseIcon(nullptr);
    }
}

VbBool Butonum::XPShowBorderAlways() const {
    return rec.XPShowBorderAlways;
}

void Butonum::XPShowBorderAlways(VbBool New_XPShowBorderAlways) {
    rec.XPShowBorderAlways = New_XPShowBorderAlways;
    PropertyChanged(L"XPShowBorderAlways");
}

OLE_COLOR Butonum::MaskColor() const {
    return rec.MaskColor;
}

void Butonum::MaskColor(OLE_COLOR New_MaskColor) {
    rec.MaskColor = New_MaskColor;
    PropertyChanged(L"MaskColor");
    Refresh();
}

VbBool Butonum::TransparentBG() const {
    return rec.TransparentBG;
}

void Butonum::TransparentBG(VbBool New_TransparentBG) {
    rec.TransparentBG = New_TransparentBG;
    PropertyChanged(L"TransparentBG");
    Refresh();
}

std::int16_t Butonum::BEVEL() const {
    return rec.BEVEL;
}

void Butonum::BEVEL(std::int16_t New_BEVEL) {
    rec.BEVEL = New_BEVEL;
    PropertyChanged(L"BEVEL");
    Refresh();
}

std::int16_t Butonum::BEVELDEPTH() const {
    return rec.BEVELDEPTH;
}

void Butonum::BEVELDEPTH(std::int16_t New_BEVELDEPTH) {
    rec.BEVELDEPTH = New_BEVELDEPTH;
    PropertyChanged(L"BEVELDEPTH");
    Refresh();
}

} // namespace butonum
