// The stored property set: defaults for a new instance, loading and saving in a fixed order.
#include "butonum/Butonum.h"

#include "toolkit/Font.h"
#include "toolkit/Picture.h"

namespace butonum {

namespace {
using tk::Variant;

constexpr OLE_COLOR kBackColor = static_cast<OLE_COLOR>(0x8000000F);
constexpr OLE_COLOR kForeColor = static_cast<OLE_COLOR>(0x80000012);
constexpr OLE_COLOR kXPPressed = static_cast<OLE_COLOR>(0x80000014);
constexpr OLE_COLOR kXPHover = static_cast<OLE_COLOR>(0x80000016);
constexpr wchar_t kSoundOver[] = L".\\resources\\over.wav";
constexpr wchar_t kSoundClick[] = L".\\resources\\click.wav";

Variant Long(std::int32_t v) {
    return Variant(v);
}
Variant Integer(std::int16_t v) {
    return Variant(v);
}
// ShowFocusRect, XPDefaultColors and DefCurHand are stored against the integer 1, not true (-1).
const Variant kIntegerOne = Integer(1);
const Variant kFalse = Variant::Boolean(false);
const Variant kNone = Variant(tk::PicturePtr());
} // namespace

void Butonum::HandleInitProperties() {
    rec.BackColor = kBackColor;
    rec.ForeColor = kForeColor;
    rec.ShowFocusRect = tk::vbTrue;
    UcFont(Site().AmbientFont());
    BindFont(Site().AmbientFont());
    rec.Caption = Site().AmbientDisplayName();
    SetWindowTextW(hWnd(), rec.Caption.c_str());
    rec.PicturePosition = 1;
    rec.ButtonStyle = 2;
    rec.PictureWidth = 32;
    rec.PictureHeight = 32;
    rec.PictureSize = 1;
    rec.PictureHover = tk::Picture::Empty();
    rec.g_NormalPicture = tk::Picture::Empty();
    rec.URL.clear();
    rec.XPColor_Pressed = kXPPressed;
    rec.XPColor_Hover = kXPHover;
    rec.XPDefaultColors = tk::vbTrue;
    rec.SoundOver = kSoundOver;
    rec.SoundClick = kSoundClick;
    rec.DefCurHand = tk::vbTrue;
    rec.XPShowBorderAlways = tk::vbFalse;
    rec.MaskColor = 0;
    rec.TransparentBG = tk::vbFalse;
    rec.BEVEL = 1;
    rec.BEVELDEPTH = 8;
}

void Butonum::HandleReadProperties(tk::PropertyBag& PropBag) {
    rec.BackColor = PropBag.ReadProperty(L"BackColor", Long(kBackColor)).ToLong();
    UcBackColor(rec.BackColor);
    rec.ForeColor = PropBag.ReadProperty(L"ForeColor", Long(kForeColor)).ToLong();
    UcForeColor(rec.ForeColor);

    rec.ShowFocusRect = PropBag.ReadProperty(L"ShowFocusRect", kIntegerOne).ToBool();
    rec.Caption = PropBag.ReadProperty(L"Caption", Site().AmbientDisplayName()).ToString();
    SetWindowTextW(hWnd(), rec.Caption.c_str());
    rec.PicturePosition = PropBag.ReadProperty(L"PicturePosition", Long(1)).ToLong();
    rec.ButtonStyle = PropBag.ReadProperty(L"ButtonStyle", Long(2)).ToLong();

    rec.Picture = PropBag.ReadProperty(L"Picture", kNone).ToPicture();

    // Stored as they are: nothing is recomputed from the picture.
    rec.PictureWidth = PropBag.ReadProperty(L"PictureWidth", Long(32)).ToLong();
    rec.PictureHeight = PropBag.ReadProperty(L"PictureHeight", Long(32)).ToLong();
    rec.PictureSize = PropBag.ReadProperty(L"PictureSize", Long(1)).ToLong();
    rec.OriginalPicSizeW = PropBag.ReadProperty(L"OriginalPicSizeW", Long(32)).ToLong();
    rec.OriginalPicSizeH = PropBag.ReadProperty(L"OriginalPicSizeH", Long(32)).ToLong();

    UcFont(PropBag.ReadProperty(L"Font", Site().AmbientFont()).ToFont());
    BindFont(PropBag.ReadProperty(L"Font", Site().AmbientFont()).ToFont());

    rec.PictureHover = PropBag.ReadProperty(L"PictureHover", kNone).ToPicture();
    rec.g_NormalPicture = PropBag.ReadProperty(L"Picture", kNone).ToPicture();

    MouseIcon(PropBag.ReadProperty(L"MouseIcon", kNone).ToPicture());

    UcEnabled(PropBag.ReadProperty(L"Enabled", Variant::Boolean(true)).ToBool() != 0);
    UcMousePointer(PropBag.ReadProperty(L"MousePointer", Integer(0)).ToInteger());

    rec.URL = PropBag.ReadProperty(L"URL", L"").ToString();
    rec.XPColor_Pressed = PropBag.ReadProperty(L"XPColor_Pressed", Long(kXPPressed)).ToLong();
    rec.XPColor_Hover = PropBag.ReadProperty(L"XPColor_Hover", Long(kXPHover)).ToLong();
    rec.XPDefaultColors = PropBag.ReadProperty(L"XPDefaultColors", kIntegerOne).ToBool();
    rec.SoundOver = PropBag.ReadProperty(L"SoundOver", kSoundOver).ToString();
    rec.SoundClick = PropBag.ReadProperty(L"SoundClick", kSoundClick).ToString();
    // The field only: the stored pointer and icon alone decide the pointer.
    rec.DefCurHand = PropBag.ReadProperty(L"DefCurHand", kIntegerOne).ToBool();
    rec.XPShowBorderAlways = PropBag.ReadProperty(L"XPShowBorderAlways", kFalse).ToBool();
    rec.MaskColor = PropBag.ReadProperty(L"MaskColor", Long(0)).ToLong();
    rec.TransparentBG = PropBag.ReadProperty(L"TransparentBG", kFalse).ToBool();
    rec.BEVEL = PropBag.ReadProperty(L"BEVEL", Integer(1)).ToInteger();
    rec.BEVELDEPTH = PropBag.ReadProperty(L"BEVELDEPTH", Integer(8)).ToInteger();

    UpdateAccessKey();
    HandleResize();
}

void Butonum::HandleWriteProperties(tk::PropertyBag& PropBag) {
    PropBag.WriteProperty(L"Caption", rec.Caption, Site().AmbientDisplayName());
    PropBag.WriteProperty(L"PicturePosition", Long(rec.PicturePosition), Long(1));
    PropBag.WriteProperty(L"ButtonStyle", Long(rec.ButtonStyle), Long(2));
    // While the hover look is on this is the hover picture.
    PropBag.WriteProperty(L"Picture", Variant(rec.Picture), kNone);
    PropBag.WriteProperty(L"PictureWidth", Long(rec.PictureWidth), Long(32));
    PropBag.WriteProperty(L"PictureHeight", Long(rec.PictureHeight), Long(32));
    PropBag.WriteProperty(L"PictureSize", Long(rec.PictureSize), Long(1));
    PropBag.WriteProperty(L"OriginalPicSizeW", Long(rec.OriginalPicSizeW), Long(32));
    PropBag.WriteProperty(L"OriginalPicSizeH", Long(rec.OriginalPicSizeH), Long(32));
    PropBag.WriteProperty(L"PictureHover", Variant(rec.PictureHover), kNone);

    PropBag.WriteProperty(L"Enabled", Variant::Boolean(UcEnabled()), Variant::Boolean(true));
    PropBag.WriteProperty(L"Font", Variant(UcFont()), Variant(Site().AmbientFont()));
    PropBag.WriteProperty(L"MouseIcon", Variant(MouseIcon()), kNone);
    PropBag.WriteProperty(L"MousePointer", Integer(UcMousePointer()), Integer(0));

    PropBag.WriteProperty(L"ShowFocusRect", Variant(tk::Bool{rec.ShowFocusRect}), kIntegerOne);
    PropBag.WriteProperty(L"URL", rec.URL, L"");
    PropBag.WriteProperty(L"XPColor_Pressed", Long(rec.XPColor_Pressed), Long(kXPPressed));
    PropBag.WriteProperty(L"XPColor_Hover", Long(rec.XPColor_Hover), Long(kXPHover));
    PropBag.WriteProperty(L"XPDefaultColors", Variant(tk::Bool{rec.XPDefaultColors}), kIntegerOne);
    PropBag.WriteProperty(L"BackColor", Long(rec.BackColor), Long(kBackColor));
    PropBag.WriteProperty(L"ForeColor", Long(rec.ForeColor), Long(kForeColor));
    PropBag.WriteProperty(L"SoundOver", rec.SoundOver, kSoundOver);
    PropBag.WriteProperty(L"SoundClick", rec.SoundClick, kSoundClick);
    PropBag.WriteProperty(L"DefCurHand", Variant(tk::Bool{rec.DefCurHand}), kIntegerOne);
    PropBag.WriteProperty(L"XPShowBorderAlways", Variant(tk::Bool{rec.XPShowBorderAlways}), Integer(0));
    PropBag.WriteProperty(L"MaskColor", Long(rec.MaskColor), Long(0));
    PropBag.WriteProperty(L"TransparentBG", Variant(tk::Bool{rec.TransparentBG}), Integer(0));
    PropBag.WriteProperty(L"BEVEL", Integer(rec.BEVEL), Integer(1));
    PropBag.WriteProperty(L"BEVELDEPTH", Integer(rec.BEVELDEPTH), Integer(8));
}

} // namespace butonum
