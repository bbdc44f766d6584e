// The one redraw, the size handling with the clipped-corner shape, and the layout of picture and
// caption.
#include "butonum/Butonum.h"

#include "toolkit/Picture.h"

#include <cmath>

namespace butonum {

namespace {
std::int32_t Round(double v) {
    return static_cast<std::int32_t>(std::nearbyint(v));
}
// Integer halving toward zero: half(-9) is -4.
constexpr std::int32_t Half(std::int32_t v) {
    return v / 2;
}
} // namespace

void Butonum::Refresh() {
    ++refreshCount_;
    AutoRedraw(true);
    Cls();
    ApplyStateColors();
    if (rec.ButtonStyle != 4)
        DrawBorder();
    LayoutContent();
    DrawPicture();
    // The XP-style face shows the focus itself.
    if (rec.g_HasFocus && rec.ShowFocusRect && rec.ButtonStyle != 3)
        DrawFocusRect(hDC(), &rec.g_FocusRect);
    DrawCaption();
    AutoRedraw(false);
}

void Butonum::HandleResize() {
    // 150 twips are 10 pixels at 96 dots per inch; exactly 10 pixels is accepted.
    if (ScaleWidth() < 10)
        Width(150);
    if (ScaleHeight() < 10)
        Height(150);
    const double w = ScaleWidth(), h = ScaleHeight();
    rec.g_WidthPx = Round(w);
    rec.g_HeightPx = Round(h);
    rec.g_FocusRect = RECT{4, 4, Round(w - 4), Round(h - 4)};
    ReleaseRegion();
    if (rec.ButtonStyle == 3)
        ShapeWindow();
    Refresh();
}

void Butonum::ShapeWindow() {
    ReleaseRegion();
    const std::int32_t W = rec.g_WidthPx, H = rec.g_HeightPx;
    rec.g_Region = CreateRectRgn(0, 0, W, H);
    regionOwned_ = rec.g_Region != nullptr;
    tk::GdiObject<HRGN> scratch(CreateRectRgn(0, 0, 0, 0));
    const RECT cuts[8] = {{0, 0, 2, 1}, {0, H - 1, 2, H},     {W - 2, 0, W, 1}, {W - 2, H - 1, W, H},
                          {0, 1, 1, 2}, {0, H - 2, 1, H - 1}, {W - 1, 1, W, 2}, {W - 1, H - 2, W, H - 1}};
    // The result moves between the two regions and ends in g_Region after the eighth cut.
    for (int i = 0; i < 8; ++i) {
        const tk::GdiObject<HRGN> cut(CreateRectRgnIndirect(&cuts[i]));
        if (i % 2 == 0)
            CombineRgn(scratch.get(), rec.g_Region, cut.get(), RGN_DIFF);
        else
            CombineRgn(rec.g_Region, scratch.get(), cut.get(), RGN_DIFF);
    }
    scratch.reset();
    if (rec.g_Region && hWnd() && SetWindowRgn(hWnd(), rec.g_Region, TRUE))
        regionOwned_ = false;
}

void Butonum::LayoutContent() {
    const std::int32_t W = Round(ScaleWidth()), H = Round(ScaleHeight());
    rec.g_ClientRect = RECT{0, 0, W - 1, H - 1};
    rec.g_InnerRect = RECT{rec.g_ClientRect.left + 4, rec.g_ClientRect.top + 4, rec.g_ClientRect.right - 3,
                           rec.g_ClientRect.bottom - 3};
    // A picture object without an image has nothing to place.
    if (!rec.Picture || rec.Picture->Handle() == 0) {
        rec.g_CaptionRect = rec.g_InnerRect;
        MeasureCaption();
        return;
    }
    const std::int32_t IL = rec.g_InnerRect.left, IT = rec.g_InnerRect.top;
    const std::int32_t IW = rec.g_InnerRect.right - IL, IH = rec.g_InnerRect.bottom - IT;
    const std::int32_t PW = rec.PictureWidth, PH = rec.PictureHeight;
    RECT& P = rec.g_PictureRect;
    RECT& C = rec.g_CaptionRect;
    if (rec.Caption.empty()) {
        P.left = IL + Half(IW - PW);
        P.top = IT + Half(IH - PH);
        P.right = P.left + PW;
        P.bottom = P.top + PH;
        return;
    }
    C = rec.g_InnerRect;
    MeasureCaption();
    const std::int32_t CW = C.right - C.left, CH = C.bottom - C.top;
    switch (rec.PicturePosition) {
    case 0: // picture above the caption
        P.left = IL + Half(IW - PW);
        P.top = IT + Half(IH - (PH + 4 + CH));
        P.bottom = P.top + PH;
        P.right = P.left + PW;
        C.top = P.bottom + 4;
        C.left = IL + Half(IW - CW);
        C.bottom = C.top + CH;
        C.right = C.left + CW;
        break;
    case 1: // picture left of the caption
        P.top = IT + Half(IH - PH);
        P.left = IL + Half(IW - (PW + 4 + CW));
        P.bottom = P.top + PH;
        P.right = P.left + PW;
        C.top = IT + Half(IH - CH);
        C.left = P.right + 4;
        C.bottom = C.top + CH;
        C.right = C.left + CW;
        break;
    case 2: // picture right of the caption
        C.top = IT + Half(IH - CH);
        C.left = IL + Half(IW - (PW + 4 + CW));
        C.bottom = C.top + CH;
        C.right = C.left + CW;
        P.top = IT + Half(IH - PH);
        P.left = C.right + 4;
        P.bottom = P.top + PH;
        P.right = P.left + PW;
        break;
    case 3: // picture below the caption
        C.top = IT + Half(IH - (PH + 4 + CH));
        C.left = IL + Half(IW - CW);
        C.bottom = C.top + CH;
        C.right = C.left + CW;
        P.top = C.bottom + 4;
        P.left = IL + Half(IW - PW);
        P.bottom = P.top + PH;
        P.right = P.left + PW;
        break;
    default: // the caption stays centred as measured; the picture keeps its last place
        break;
    }
}

} // namespace butonum
