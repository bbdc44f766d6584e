// The shaded face of ButtonStyle 3: a vertical gradient, a dark frame with rounded-looking corners,
// an inner bevel, and focus and hover rings in two accent colours.
#include "butonum/Butonum.h"
#include "butonum/paint/Surface.h"

namespace butonum {
namespace {

constexpr OLE_COLOR kDarkShadow = static_cast<OLE_COLOR>(0x80000015);
constexpr OLE_COLOR kDefaultFocusRing = 0x00E6AA8C; // (140, 170, 230)
constexpr OLE_COLOR kDefaultHoverRing = 0x004799E1; // (225, 153, 71)

OLE_COLOR Literal(COLORREF c) {
    return static_cast<OLE_COLOR>(c & 0x00FFFFFF);
}

// The gradient's shade for row step i: the step is held in single precision, the product is formed
// from it in double precision and rounded halves to even.
std::int32_t GradientShade(float step, std::int32_t i) {
    return paint::RoundEven(-static_cast<double>(step) * i);
}

} // namespace

void Butonum::DrawXPFace(std::uint8_t FaceState, std::uint8_t HoverRing) {
    HDC dc = hDC();
    const std::int32_t W = rec.g_WidthPx;
    const std::int32_t H = rec.g_HeightPx;
    DrawRect(dc, 0, 0, W, H, rec.BackColor, 1);

    const COLORREF T = ShiftColor(TranslateColor(rec.BackColor), 48);
    auto S = [this](COLORREF c, std::int32_t k) { return ShiftColor(c, k); };
    auto corners = [&](COLORREF c) {
        SetPixelV(dc, 1, 1, c);
        SetPixelV(dc, 1, H - 2, c);
        SetPixelV(dc, W - 2, 1, c);
        SetPixelV(dc, W - 2, H - 2, c);
    };

    if (Enabled() == 0) {
        // Flat: state, focus and hover do not show on a disabled button.
        DrawRect(dc, 0, 0, W, H, Literal(S(T, -24)), 1);
        DrawRect(dc, 0, 0, W, H, Literal(S(T, -84)), 0);
        corners(S(T, -72));
        return;
    }

    const bool defaults = rec.XPDefaultColors != 0;
    const OLE_COLOR A = defaults ? kDefaultFocusRing : rec.XPColor_Pressed;
    const OLE_COLOR B = defaults ? kDefaultHoverRing : rec.XPColor_Hover;

    // The six shapes of a ring: its frame in the accent colour, then five shaded lines.
    auto ring = [&](OLE_COLOR accent, const std::int32_t(&shades)[5]) {
        const COLORREF t = TranslateColor(accent);
        DrawRect(dc, 1, 2, W - 1, H - 2, accent, 0);
        DrawLine(2, H - 2, W - 2, H - 2, S(t, shades[0]));
        DrawLine(2, 1, W - 2, 1, S(t, shades[1]));
        DrawLine(1, 2, W - 1, 2, S(t, shades[2]));
        DrawLine(2, 3, 2, H - 3, S(t, shades[3]));
        DrawLine(W - 3, 3, W - 3, H - 3, S(t, shades[4]));
    };

    if (FaceState == 0) {
        const float step = static_cast<float>(25.0 / H);
        for (std::int32_t i = 1; i <= H; ++i)
            DrawLine(0, i, W, i, S(T, GradientShade(step, i)));
        DrawRect(dc, 0, 0, W, H, kDarkShadow, 0);
        corners(TranslateColor(kDarkShadow));
        if (rec.g_HasFocus != 0) {
            ring(A, {-33, 65, 50, 31, 31});
        } else {
            DrawLine(2, H - 2, W - 2, H - 2, S(T, -48));
            DrawLine(1, H - 3, W - 2, H - 3, S(T, -32));
            DrawLine(W - 2, 2, W - 2, H - 2, S(T, -36));
            DrawLine(W - 3, 3, W - 3, H - 3, S(T, -24));
            DrawLine(2, 1, W - 2, 1, S(T, 16));
            DrawLine(1, 2, W - 2, 2, S(T, 10));
            DrawLine(1, 2, 1, H - 2, S(T, -5));
            DrawLine(2, 3, 2, H - 3, S(T, -10));
        }
        if (HoverRing == 1)
            ring(B, {-40, 90, 35, 20, 20});
    } else if (FaceState == 2) {
        // Reversed and darker: the bottom row is the lightest.
        const COLORREF P = S(T, -32);
        const float step = static_cast<float>(15.0 / H);
        for (std::int32_t i = 1; i <= H; ++i)
            DrawLine(0, H - i, W, H - i, S(P, GradientShade(step, i)));
        DrawRect(dc, 0, 0, W, H, kDarkShadow, 0);
        corners(TranslateColor(kDarkShadow));
        DrawLine(2, H - 2, W - 2, H - 2, S(P, 16));
        DrawLine(1, H - 3, W - 2, H - 3, S(P, 10));
        DrawLine(W - 2, 2, W - 2, H - 2, S(P, 5));
        DrawLine(W - 3, 3, W - 3, H - 3, P);
        DrawLine(2, 1, W - 2, 1, S(P, -32));
        DrawLine(1, 2, W - 2, 2, S(P, -24));
        DrawLine(1, 2, 1, H - 2, S(P, -32));
        DrawLine(2, 2, 2, H - 2, S(P, -22));
    }
}

} // namespace butonum
