// The transparent background: the part of the parent's picture that lies behind the control.
#include "butonum/Butonum.h"
#include "butonum/paint/Surface.h"

#include <limits>

namespace butonum {
namespace {

// A position in the parent's unit converted to the control's, through single precision like the
// host's scale conversion, and rounded halves to even. Out of the 32-bit range is a failure.
std::int32_t ToControlUnits(float converted) {
    const double v = std::nearbyint(static_cast<double>(converted));
    if (!(v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()))
        throw tk::VbError(tk::err::Overflow, "Overflow");
    return static_cast<std::int32_t>(v);
}

} // namespace

void Butonum::CopyParentBackground() {
    // Each step stands alone: a member the host lacks, or a failing host call, abandons that step
    // only, and what it would have set keeps its value.
    std::int32_t x = 0, y = 0;
    try {
        const float left = Site().ExtenderMember(L"Left").ToSingle();
        const std::int16_t from = Site().ParentMember(L"ScaleMode").ToInteger();
        x = ToControlUnits(static_cast<float>(ScaleX(left, from, ScaleMode())));
    } catch (const tk::VbError&) {
    }
    try {
        const float top = Site().ExtenderMember(L"Top").ToSingle();
        const std::int16_t from = Site().ParentMember(L"ScaleMode").ToInteger();
        y = ToControlUnits(static_cast<float>(ScaleY(top, from, ScaleMode())));
    } catch (const tk::VbError&) {
    }
    tk::PicturePtr picture;
    try {
        picture = Site().ParentMember(L"Picture").ToPicture();
    } catch (const tk::VbError&) {
    }

    HDC surface = hDC();
    paint::MemoryDc work(surface);
    HBITMAP bitmap = nullptr;
    try {
        if (!picture)
            throw tk::VbError(tk::err::ObjectNotSet, "Object variable not set");
        if (picture->Type() == tk::PicTypeBitmap)
            bitmap = reinterpret_cast<HBITMAP>(picture->Handle());
    } catch (const tk::VbError&) {
    }
    paint::Selection selected(work.Get(), bitmap);

    // Only the part that the parent's picture covers is copied: with no picture, or beyond its edges,
    // the surface keeps the clearing of the redraw rather than whatever an empty work surface holds.
    BITMAP info{};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info) == sizeof info) {
        const std::int32_t w = paint::SurfaceWidth(*this);
        const std::int32_t h = paint::SurfaceHeight(*this);
        const std::int64_t srcLeft = std::max<std::int64_t>(x, 0);
        const std::int64_t srcTop = std::max<std::int64_t>(y, 0);
        const std::int64_t srcRight = std::min<std::int64_t>(std::int64_t{x} + w, info.bmWidth);
        const std::int64_t srcBottom = std::min<std::int64_t>(std::int64_t{y} + h, info.bmHeight);
        if (srcRight > srcLeft && srcBottom > srcTop)
            BitBlt(surface, static_cast<int>(srcLeft - x), static_cast<int>(srcTop - y),
                   static_cast<int>(srcRight - srcLeft), static_cast<int>(srcBottom - srcTop), work.Get(),
                   static_cast<int>(srcLeft), static_cast<int>(srcTop), SRCCOPY);
    }
    selected.Undo();
    work.Reset();
    picture.reset(); // the parent's picture stays the parent's; only our reference goes
}

} // namespace butonum
