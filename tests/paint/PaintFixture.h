// A visible Butonum on a test window, its back image read pixel by pixel, and pictures made in
// memory for the picture tests.
#pragma once

#include "butonum/Butonum.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace painttest {

// A colour that prints as (r, g, b) in failure messages.
struct Rgb {
    COLORREF value = 0;
    bool operator==(const Rgb&) const = default;
};
void PrintTo(const Rgb& c, std::ostream* os);
inline Rgb C(int r, int g, int b) {
    return Rgb{RGB(r, g, b)};
}
inline Rgb Sys(int index) {
    return Rgb{GetSysColor(index)};
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0; // inclusive right and bottom; empty when right < left
    bool Empty() const { return right < left; }
    bool operator==(const Box&) const = default;
};
void PrintTo(const Box& b, std::ostream* os);

class PaintTest : public ::testing::Test {
protected:
    // A shown button of width x height pixels in `style`, without a caption.
    butonum::Butonum& Make(int width, int height, std::int32_t style);
    // Sets the state flags and redraws.
    void Show(bool over, bool down, bool focus);
    Rgb Px(int x, int y) const { return Rgb{GetPixel(button->hDC(), x, y)}; }
    std::vector<COLORREF> Snapshot() const;
    // The smallest box holding every pixel of `colour`.
    Box Find(COLORREF colour) const;
    butonum::ButonumState& rec() { return button->MutableState(); }
    // ShiftColor as the control computes it; its own worked values are checked separately.
    Rgb S(COLORREF c, int k) const { return Rgb{button->ShiftColor(c, k)}; }

    int W = 0, H = 0;
    testhost::TestWindow window{400, 300};
    testhost::TestSite site{window.hwnd()};
    std::unique_ptr<butonum::Butonum> button;
};

// A bitmap picture whose pixel (x, y) is pixel(x, y).
tk::PicturePtr BitmapPicture(int width, int height, const std::function<COLORREF(int, int)>& pixel);
// An icon picture in one colour, opaque where opaque(x, y).
tk::PicturePtr IconPicture(int width, int height, COLORREF colour,
                           const std::function<bool(int, int)>& opaque);

// GDI objects alive in this process.
DWORD GdiObjectCount();

} // namespace painttest
