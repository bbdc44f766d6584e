// The face colour for the current state and the border each ButtonStyle puts on and around it.
#include "butonum/Butonum.h"
#include "butonum/paint/Surface.h"

namespace butonum {
namespace {

constexpr OLE_COLOR kButtonShadow = static_cast<OLE_COLOR>(0x80000010);
constexpr OLE_COLOR kButtonHighlight = static_cast<OLE_COLOR>(0x80000014);
constexpr OLE_COLOR kSelectionHighlight = static_cast<OLE_COLOR>(0x8000000D);

OLE_COLOR Literal(COLORREF c) {
    return static_cast<OLE_COLOR>(c & 0x00FFFFFF);
}

// A component of ColorParts plus a whole-number offset, back to an integer (exact for whole numbers).
std::int32_t Plus(double part, std::int32_t offset) {
    return paint::RoundEven(part + offset);
}

// The host's Default flag; a host without one, or a null value, means "not the default button".
bool IsDefaultButton(tk::ControlSite& site) {
    try {
        const tk::Variant v = site.ExtenderMember(L"Default");
        return !v.IsNull() && v.ToBool() != 0;
    } catch (const tk::VbError&) {
        return false;
    }
}

} // namespace

void Butonum::ApplyStateColors() {
    if (rec.ButtonStyle == 3)
        return; // the XP face fills itself
    if (rec.ButtonStyle == 2) {
        if (rec.TransparentBG != 0 && rec.g_IsDown == 0)
            CopyParentBackground();
        else
            UcBackColor(rec.BackColor);
    } else if (rec.TransparentBG != 0) {
        CopyParentBackground();
    }
    if (rec.ButtonStyle != 2)
        return;
    // Setting the surface colour repaints the whole surface, so hover and pressed colours cover a
    // copied parent background: transparency shows at rest only.
    const ColorParts hl = SplitColor(TranslateColor(kSelectionHighlight));
    if (rec.g_IsOver != 0 && rec.g_IsDown == 0) {
        if (rec.XPDefaultColors != 0)
            UcBackColor(
                Literal(paint::ClampedRgb(Plus(hl.Red, 171), Plus(hl.Green, 154), Plus(hl.Blue, 108))));
        else
            UcBackColor(rec.XPColor_Hover);
    }
    if (rec.g_IsDown != 0) {
        if (rec.XPDefaultColors != 0)
            UcBackColor(
                Literal(paint::ClampedRgb(Plus(hl.Red, 156), Plus(hl.Green, 139), Plus(hl.Blue, 108))));
        else
            UcBackColor(rec.XPColor_Pressed);
    }
}

void Butonum::DrawBorder() {
    const std::int32_t W = paint::SurfaceWidth(*this);
    const std::int32_t H = paint::SurfaceHeight(*this);
    // The second frame of each pair runs off the surface on the right and bottom, so only its top
    // row and left column land.
    auto raisedEdge = [&] {
        DrawRect(hDC(), 0, 0, W, H, kButtonShadow, 0);
        DrawRect(hDC(), 0, 0, W + 1, H + 1, kButtonHighlight, 0);
    };
    auto sunkenEdge = [&] {
        DrawRect(hDC(), 0, 0, W, H, kButtonHighlight, 0);
        DrawRect(hDC(), 0, 0, W + 1, H + 1, kButtonShadow, 0);
    };
    auto raisedLook = [&] {
        if (rec.BEVEL >= 2)
            DrawRaisedBevel(TranslateColor(UcBackColor()), rec.BEVEL, rec.BEVELDEPTH);
        else
            raisedEdge();
    };
    auto sunkenLook = [&] {
        if (rec.BEVEL >= 2)
            DrawSunkenBevel(TranslateColor(UcBackColor()), rec.BEVEL, rec.BEVELDEPTH);
        else
            sunkenEdge();
    };

    if (!Site().AmbientUserMode()) {
        // A form designer shows the resting look, never the default-button frame.
        if (rec.ButtonStyle == 3)
            DrawXPFace(0, 0);
        else if (rec.ButtonStyle == 2)
            ApplyStateColors();
        else
            raisedLook();
        return;
    }
    if (rec.ButtonStyle == 2) {
        if (rec.g_IsOver != 0 || rec.XPShowBorderAlways != 0)
            DrawRect(hDC(), 0, 0, W, H, rec.ForeColor, 0);
        return;
    }
    if (rec.ButtonStyle == 3) {
        if (rec.g_IsDown != 0)
            DrawXPFace(2, 0);
        if (rec.g_IsOver != 0 && rec.g_IsDown == 0)
            DrawXPFace(0, 1);
        if (rec.g_IsOver == 0 && rec.g_IsDown == 0)
            DrawXPFace(0, 0);
        return;
    }
    if (rec.g_IsDown != 0)
        sunkenLook();
    if (rec.g_IsOver != 0 && rec.g_IsDown == 0)
        raisedLook();
    if (rec.g_IsOver == 0 && rec.g_IsDown == 0 && rec.ButtonStyle == 0)
        raisedLook();
    const bool focusFrame = rec.g_HasFocus != 0 && rec.ButtonStyle == 0 && rec.g_IsDown == 0;
    if (IsDefaultButton(Site()) || focusFrame)
        DrawDefaultFrame();
}

void Butonum::DrawRaisedBevel(COLORREF color, std::int16_t depth, std::int16_t shade) {
    // Rings from the innermost out, each one step darker; then the top and left lines over them,
    // each one step lighter, stopping short of the ring's far corners.
    COLORREF c = color;
    for (std::int32_t i = depth; i >= 0; --i) {
        c = ShiftColor(c, -shade);
        DrawRect(hDC(), i, i, paint::SurfaceWidth(*this) - i, paint::SurfaceHeight(*this) - i, Literal(c), 0);
    }
    COLORREF d = color;
    for (std::int32_t j = depth; j >= 0; --j) {
        const ColorParts p = SplitColor(d);
        d = paint::ClampedRgb(Plus(p.Red, shade), Plus(p.Green, shade), Plus(p.Blue, shade));
        DrawLine(j, j, paint::SurfaceWidth(*this) - j - 1, j, d);
        DrawLine(j, j, j, paint::SurfaceHeight(*this) - j - 1, d);
    }
}

void Butonum::DrawSunkenBevel(COLORREF color, std::int16_t depth, std::int16_t shade) {
    COLORREF c = color;
    for (std::int32_t i = depth; i >= 0; --i) {
        const ColorParts p = SplitColor(c);
        c = paint::ClampedRgb(Plus(p.Red, shade), Plus(p.Green, shade), Plus(p.Blue, shade));
        DrawRect(hDC(), i, i, paint::SurfaceWidth(*this) - i, paint::SurfaceHeight(*this) - i, Literal(c), 0);
    }
    COLORREF d = color;
    for (std::int32_t j = depth; j >= 0; --j) {
        d = ShiftColor(d, -shade);
        DrawLine(j, j, paint::SurfaceWidth(*this) - j - 1, j, d);
        DrawLine(j, j, j, paint::SurfaceHeight(*this) - j - 1, d);
    }
}

void Butonum::DrawDefaultFrame() {
    if (rec.BEVEL >= 2) {
        // Repaints the bevel just drawn with a stronger shade; over a sunken bevel (a pressed default
        // button) the raised look ends on top. The shade saturates instead of wrapping.
        const std::int32_t shade = std::min<std::int32_t>(rec.BEVELDEPTH + 3, INT16_MAX);
        DrawRaisedBevel(TranslateColor(UcBackColor()), rec.BEVEL, static_cast<std::int16_t>(shade));
        return;
    }
    const std::int32_t W = paint::SurfaceWidth(*this);
    const std::int32_t H = paint::SurfaceHeight(*this);
    DrawRect(hDC(), 0, 0, W - 1, H - 1, kButtonShadow, 0);
    DrawRect(hDC(), 0, 0, W + 1, H + 1, kButtonHighlight, 0);
}

} // namespace butonum
