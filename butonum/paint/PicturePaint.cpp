// The picture: placed for the state (lifted on hover in ButtonStyle 2, shifted while pressed),
// drawn in its own colours with the mask colour transparent, as a grey shadow, or embossed.
#include "butonum/Butonum.h"
#include "butonum/paint/Surface.h"

namespace butonum {
namespace {

constexpr UINT kBitmapNormal = 0x0004;   // DST_BITMAP | DSS_NORMAL
constexpr UINT kBitmapDisabled = 0x0024; // DST_BITMAP | DSS_DISABLED
constexpr UINT kBitmapMono = 0x0084;     // DST_BITMAP | DSS_MONO
constexpr UINT kIconDisabled = 0x0023;   // DST_ICON | DSS_DISABLED
constexpr UINT kIconMono = 0x0083;       // DST_ICON | DSS_MONO
constexpr COLORREF kShadowColour = 0x00929292;
constexpr OLE_COLOR kWorkWhite = 0x00FFFFFF;
constexpr std::int32_t kHoverLift = -3;
constexpr std::int32_t kPressShift = 1;

// An image at its own size (0 x 0), no output callback.
void DrawImage(HDC dc, HBRUSH brush, UINT_PTR image, int x, int y, UINT flags) {
    DrawStateW(dc, brush, nullptr, static_cast<LPARAM>(image), 0, x, y, 0, 0, flags);
}

} // namespace

void Butonum::DrawPicture() {
    if (!rec.Picture)
        return;
    rec.g_SavedRect = rec.g_PictureRect;
    const bool lifted = rec.g_IsOver == 1 && rec.g_IsDown == 0 && rec.ButtonStyle == 2;
    std::int32_t offset = 0;
    if (lifted)
        offset = kHoverLift;
    else if (rec.g_IsDown == 1 && rec.ButtonStyle != 2)
        offset = kPressShift;
    rec.g_PictureRect = RECT{rec.g_SavedRect.left + offset, rec.g_SavedRect.top + offset,
                             rec.g_SavedRect.right + offset, rec.g_SavedRect.bottom + offset};

    const std::int16_t kind = rec.Picture->Type();
    if (kind == tk::PicTypeBitmap || kind == tk::PicTypeIcon) {
        auto draw = [&](std::uint8_t enabledLook, const RECT& target, std::uint8_t shadowLook) {
            if (kind == tk::PicTypeBitmap)
                DrawBitmapPicture(enabledLook, target, shadowLook);
            else
                DrawIconPicture(enabledLook, target, shadowLook);
        };
        if (Enabled() != 0) {
            // The grey silhouette stays at the resting place, under the lifted picture.
            if (lifted)
                draw(0, rec.g_SavedRect, 1);
            draw(1, rec.g_PictureRect, 0);
        } else {
            draw(0, rec.g_PictureRect, 0);
        }
    }
    rec.g_PictureRect = rec.g_SavedRect;
}

void Butonum::DrawBitmapPicture(std::uint8_t EnabledLook, const RECT& Target, std::uint8_t ShadowLook) {
    HDC surface = hDC();
    const auto image = rec.Picture->Handle();
    paint::WorkSurface natural(surface, rec.OriginalPicSizeW, rec.OriginalPicSizeH); // A
    paint::WorkSurface drawn(surface, rec.PictureWidth, rec.PictureHeight);          // B

    if (EnabledLook != 0) {
        DrawImage(natural.Dc(), nullptr, image, 0, 0, kBitmapNormal);
        StretchBlt(drawn.Dc(), 0, 0, rec.PictureWidth, rec.PictureHeight, natural.Dc(), 0, 0,
                   rec.OriginalPicSizeW, rec.OriginalPicSizeH, SRCCOPY);
        // The mask applies to the scaled copy.
        MaskedBlt(surface, surface, drawn.Dc(), 0, 0, rec.PictureWidth, rec.PictureHeight, Target.left,
                  Target.top, rec.MaskColor);
    } else {
        paint::MemoryDc own(surface); // C: the picture's own bitmap, which stays the picture's
        paint::Selection ownSelected(own.Get(), reinterpret_cast<HGDIOBJ>(image));
        DrawRect(natural.Dc(), 0, 0, rec.OriginalPicSizeW, rec.OriginalPicSizeH, kWorkWhite, 1);
        // Here the mask applies before scaling: mask-coloured pixels become white, which the one-colour
        // looks leave out.
        MaskedBlt(natural.Dc(), natural.Dc(), own.Get(), 0, 0, rec.OriginalPicSizeW, rec.OriginalPicSizeH, 0,
                  0, rec.MaskColor);
        StretchBlt(drawn.Dc(), 0, 0, rec.PictureWidth, rec.PictureHeight, natural.Dc(), 0, 0,
                   rec.OriginalPicSizeW, rec.OriginalPicSizeH, SRCCOPY);
        drawn.Deselect(); // a bitmap is drawn as an image only when no DC holds it
        const auto scaled = reinterpret_cast<UINT_PTR>(drawn.BitmapHandle());
        if (ShadowLook == 1) {
            paint::Brush grey(CreateSolidBrush(kShadowColour));
            DrawImage(surface, grey.Get(), scaled, Target.left, Target.top, kBitmapMono);
        } else {
            DrawImage(surface, nullptr, scaled, Target.left, Target.top, kBitmapDisabled);
        }
        ownSelected.Undo();
        own.Reset();
    }
    natural.Release();
    drawn.Release();
}

void Butonum::DrawIconPicture(std::uint8_t EnabledLook, const RECT& Target, std::uint8_t ShadowLook) {
    if (EnabledLook != 0) {
        // The host's picture drawing keeps the icon's own transparency; MaskColor is not used.
        PaintPicture(rec.Picture, Target.left, Target.top, Target.right - Target.left,
                     Target.bottom - Target.top, 0, 0, rec.OriginalPicSizeW, rec.OriginalPicSizeH);
        return;
    }
    HDC surface = hDC();
    const auto icon = rec.Picture->Handle();
    paint::WorkSurface natural(surface, rec.OriginalPicSizeW, rec.OriginalPicSizeH); // A, black
    paint::WorkSurface drawn(surface, rec.PictureWidth, rec.PictureHeight);          // B
    if (ShadowLook == 1) {
        paint::Brush grey(CreateSolidBrush(kShadowColour));
        DrawImage(natural.Dc(), grey.Get(), icon, 0, 0, kIconMono);
    } else {
        DrawImage(natural.Dc(), nullptr, icon, 0, 0, kIconDisabled);
    }
    StretchBlt(drawn.Dc(), 0, 0, Target.right - Target.left, Target.bottom - Target.top, natural.Dc(), 0, 0,
               rec.OriginalPicSizeW, rec.OriginalPicSizeH, SRCCOPY);
    // The black left around the icon's shape is what stays transparent.
    MaskedBlt(surface, surface, drawn.Dc(), 0, 0, rec.PictureWidth, rec.PictureHeight, Target.left,
              Target.top, 0);
    natural.Release();
    drawn.Release();
}

void Butonum::MaskedBlt(HDC destination, HDC background, HDC source, std::int32_t srcLeft,
                        std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom,
                        std::int32_t destX, std::int32_t destY, OLE_COLOR maskColor) {
    // Width and height are 16-bit quantities: a copy is at most 32767 pixels on a side.
    auto extent = [](std::int32_t v) { return static_cast<int>(std::clamp(v, -32768, 32767)); };
    const int w = extent(srcRight - srcLeft);
    const int h = extent(srcBottom - srcTop);
    using Kind = paint::WorkSurface::Kind;
    paint::WorkSurface mask(background, w, h, Kind::Monochrome);    // M: 1 where transparent
    paint::WorkSurface inverse(background, w, h, Kind::Monochrome); // N: 1 where opaque
    paint::WorkSurface behind(background, w, h);                    // G
    paint::WorkSurface image(background, w, h);                     // I

    // The mask colour is used as stored, never looked up as a system colour.
    const COLORREF kept = SetBkColor(source, static_cast<COLORREF>(maskColor));
    BitBlt(mask.Dc(), 0, 0, w, h, source, srcLeft, srcTop, SRCCOPY);
    SetBkColor(source, kept);
    BitBlt(inverse.Dc(), 0, 0, w, h, mask.Dc(), 0, 0, NOTSRCCOPY);
    BitBlt(behind.Dc(), 0, 0, w, h, background, destX, destY, SRCCOPY);
    BitBlt(behind.Dc(), 0, 0, w, h, mask.Dc(), 0, 0, SRCAND);
    BitBlt(image.Dc(), 0, 0, w, h, source, srcLeft, srcTop, SRCCOPY);
    BitBlt(image.Dc(), 0, 0, w, h, inverse.Dc(), 0, 0, SRCAND);
    BitBlt(behind.Dc(), 0, 0, w, h, image.Dc(), 0, 0, SRCINVERT);
    BitBlt(destination, destX, destY, w, h, behind.Dc(), 0, 0, SRCCOPY);

    mask.Release();
    inverse.Release();
    behind.Release();
    image.Release();
}

} // namespace butonum
