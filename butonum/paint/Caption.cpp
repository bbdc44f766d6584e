// The caption: measured and centred in the inner rectangle, drawn in the state's colours, and the
// access key taken from its "&" marker.
#include "butonum/Butonum.h"

namespace butonum {
namespace {

constexpr UINT kMeasureFlags = 0x0415; // DT_CALCRECT | DT_WORDBREAK | DT_VCENTER | DT_CENTER
constexpr UINT kDrawFlags = 0x0015;    // DT_WORDBREAK | DT_VCENTER | DT_CENTER
constexpr OLE_COLOR kButtonHighlight = static_cast<OLE_COLOR>(0x80000014);
constexpr OLE_COLOR kButtonShadow = static_cast<OLE_COLOR>(0x80000010);

// Text goes through the UTF-16 call, whole: Turkish letters draw in any code page, and an embedded
// character the ANSI call could not carry is not lost.
void Text(HDC dc, const std::wstring& caption, RECT& r, UINT flags, DRAWTEXTPARAMS& params) {
    std::wstring buffer = caption; // the call takes a writable buffer
    DrawTextExW(dc, buffer.data(), static_cast<int>(buffer.size()), &r, flags, &params);
}

RECT Moved(const RECT& r, LONG d) {
    return RECT{r.left + d, r.top + d, r.right + d, r.bottom + d};
}

} // namespace

void Butonum::MeasureCaption() {
    rec.g_TextParams = DRAWTEXTPARAMS{};
    rec.g_TextParams.cbSize = 20;
    rec.g_TextParams.iTabLength = 1;
    rec.g_TextParams.iLeftMargin = 1;
    rec.g_TextParams.iRightMargin = 1;
    Text(hDC(), rec.Caption, rec.g_CaptionRect, kMeasureFlags, rec.g_TextParams);

    const RECT& inner = rec.g_InnerRect;
    const LONG w = rec.g_CaptionRect.right - rec.g_CaptionRect.left;
    const LONG h = rec.g_CaptionRect.bottom - rec.g_CaptionRect.top;
    // Integer halves truncate toward zero: an oversized text starts before the inner rectangle by
    // half its excess, rounded toward the inner edge.
    const LONG left = inner.left + ((inner.right - inner.left) - w) / 2;
    const LONG top = inner.top + ((inner.bottom - inner.top) - h) / 2;
    rec.g_CaptionRect = RECT{left, top, left + w, top + h};
}

void Butonum::DrawCaption() {
    if (rec.Caption.empty())
        return;
    HDC dc = hDC();
    SetTextColor(dc, TranslateColor(rec.ForeColor));
    rec.g_SavedRect = rec.g_CaptionRect;
    if (rec.g_IsDown == 1 && rec.ButtonStyle != 2)
        rec.g_CaptionRect = Moved(rec.g_CaptionRect, 1);

    if (Enabled() != 0) {
        Text(dc, rec.Caption, rec.g_CaptionRect, kDrawFlags, rec.g_TextParams);
    } else {
        // Embossed: the shadow-coloured text over a highlight copy one pixel lower right. The surface
        // draws text without its background, so the second pass does not cover the first.
        const OLE_COLOR fore = UcForeColor();
        SetTextColor(dc, TranslateColor(kButtonHighlight));
        RECT shifted = Moved(rec.g_CaptionRect, 1);
        Text(dc, rec.Caption, shifted, kDrawFlags, rec.g_TextParams);
        SetTextColor(dc, TranslateColor(kButtonShadow));
        Text(dc, rec.Caption, rec.g_CaptionRect, kDrawFlags, rec.g_TextParams);
        SetTextColor(dc, TranslateColor(fore));
    }
    rec.g_CaptionRect = rec.g_SavedRect;
}

void Butonum::UpdateAccessKey() {
    const std::wstring& caption = rec.Caption;
    const std::size_t n = caption.size();
    // Positions count from 1; past the end there is no character.
    auto isAmp = [&](std::size_t p) { return p >= 1 && p <= n && caption[p - 1] == L'&'; };
    auto firstAmp = [&](std::size_t from) -> std::size_t {
        const std::size_t i = caption.find(L'&', from - 1);
        return i == std::wstring::npos ? 0 : i + 1;
    };
    // The character at p in lower case, or "" past the end.
    auto keyAt = [&](std::size_t p) {
        std::wstring key;
        if (p >= 1 && p <= n) {
            key.assign(1, caption[p - 1]);
            CharLowerBuffW(key.data(), 1);
        }
        return key;
    };

    if (n < 2) {
        AccessKeys(L"");
        return;
    }
    const std::size_t i = firstAmp(1);
    if (i == 0 || i == n) {
        AccessKeys(L"");
        return;
    }
    if (!isAmp(i + 1)) {
        AccessKeys(keyAt(i + 1));
        return;
    }
    // "&&" shows one "&"; only the next "&" after the pair is looked at.
    const std::size_t j = firstAmp(i + 2);
    if (j == 0) {
        AccessKeys(L"");
        return;
    }
    AccessKeys(isAmp(j + 1) ? std::wstring() : keyAt(j + 1));
}

} // namespace butonum
