// The picture: mask colour, scaling, hover lift with its shadow, press shift, embossed look, icons.
#include "tests/paint/PaintFixture.h"

namespace painttest {
namespace {

constexpr COLORREF kGround = RGB(0, 128, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kShadow = RGB(146, 146, 146);

class PictureTest : public PaintTest {
protected:
    // An 8 x 8 picture drawn at its natural size (or `drawn` pixels square) in the middle of a button
    // without caption, on a green face in every state.
    void Setup(std::int32_t style, const tk::PicturePtr& picture, OLE_COLOR mask, int drawn = 0) {
        Make(60, 60, style);
        button->BackColor(static_cast<OLE_COLOR>(kGround));
        button->XPDefaultColors(tk::vbFalse);
        button->XPColor_Hover(static_cast<OLE_COLOR>(kGround));
        button->XPColor_Pressed(static_cast<OLE_COLOR>(kGround));
        button->MaskColor(mask);
        button->PictureSize(2);
        button->Picture(picture);
        if (drawn) {
            button->PictureWidth(drawn);
            button->PictureHeight(drawn);
        }
        Show(false, false, false);
        place = rec().g_PictureRect;
    }
    // What covers the rectangle's pixels: a picture of '#' for `colour`, '.' for the face, '?' else.
    std::string Cover(const RECT& r, COLORREF colour) const {
        std::string s;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = GetPixel(button->hDC(), x, y);
                s += c == colour ? '#' : c == kGround ? '.' : '?';
            }
            s += '\n';
        }
        return s;
    }
    static std::string Rows(int width, int height, const std::function<char(int, int)>& at) {
        std::string s;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                s += at(x, y);
            s += '\n';
        }
        return s;
    }
    RECT place{};
};

tk::PicturePtr Solid(COLORREF c) {
    return BitmapPicture(8, 8, [c](int, int) { return c; });
}
tk::PicturePtr HalfMasked() { // red left half, magenta right half
    return BitmapPicture(8, 8, [](int x, int) { return x < 4 ? kRed : kMagenta; });
}

TEST_F(PictureTest, MaskColourPixelsAreTransparent) {
    struct Case {
        const char* name;
        tk::PicturePtr picture;
        OLE_COLOR mask;
        std::function<char(int, int)> expected;
    } cases[] = {
        {"half masked", HalfMasked(), static_cast<OLE_COLOR>(kMagenta),
         [](int x, int) { return x < 4 ? '#' : '.'; }},
        {"no pixel of the mask colour", Solid(kRed), 0x0000FF00, [](int, int) { return '#'; }},
        {"every pixel of the mask colour", Solid(kMagenta), static_cast<OLE_COLOR>(kMagenta),
         [](int, int) { return '.'; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Setup(4, c.picture, c.mask);
        ASSERT_EQ(place.right - place.left, 8);
        EXPECT_EQ(Cover(place, kRed), Rows(8, 8, c.expected));
    }
}

TEST_F(PictureTest, ScaledToTheDrawnSizeWithTheMaskAppliedAfterScaling) {
    Setup(4, HalfMasked(), static_cast<OLE_COLOR>(kMagenta), 16);
    ASSERT_EQ(place.right - place.left, 16);
    EXPECT_EQ(Cover(place, kRed), Rows(16, 16, [](int x, int) { return x < 8 ? '#' : '.'; }));
}

TEST_F(PictureTest, HoverInStyleTwoLiftsThePictureOverAGreyShadow) {
    Setup(2, Solid(kRed), static_cast<OLE_COLOR>(kMagenta));
    Show(true, false, false);
    const RECT around{place.left - 4, place.top - 4, place.right + 1, place.bottom + 1};
    EXPECT_EQ(Cover(around, kRed), Rows(13, 13, [](int x, int y) {
                  if (x >= 1 && x < 9 && y >= 1 && y < 9)
                      return '#';
                  return x >= 4 && x < 12 && y >= 4 && y < 12 ? '?' : '.';
              }));
    EXPECT_EQ(Px(place.right - 1, place.bottom - 1), Rgb{kShadow});
    EXPECT_EQ(rec().g_PictureRect.left, place.left); // the stored rectangle does not move
}

TEST_F(PictureTest, PressedPictureMovesOnePixelExceptInStyleTwo) {
    for (std::int32_t style : {0, 2, 3, 4}) {
        SCOPED_TRACE(style);
        Setup(style, Solid(kRed), 0);
        Show(true, true, false);
        const int d = style == 2 ? 0 : 1;
        const RECT moved{place.left + d, place.top + d, place.right + d, place.bottom + d};
        EXPECT_EQ(Cover(moved, kRed), Rows(8, 8, [](int, int) { return '#'; }));
    }
}

TEST_F(PictureTest, DisabledPictureIsEmbossedAtTheFlagsOffset) {
    struct Case {
        std::int32_t style;
        bool over;
        int d;
    } cases[] = {{4, false, 0}, {4, true, 0}, {2, true, -3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        Setup(c.style, HalfMasked(), static_cast<OLE_COLOR>(kMagenta));
        button->Enabled(tk::vbFalse);
        Show(c.over, false, false);
        const int l = place.left + c.d, t = place.top + c.d;
        EXPECT_TRUE(Find(kRed).Empty());
        EXPECT_EQ(Px(l, t), Sys(COLOR_BTNSHADOW));
        EXPECT_EQ(Px(l + 4, t + 8), Sys(COLOR_BTNHIGHLIGHT)); // the copy one pixel lower right
        EXPECT_EQ(Px(l + 6, t + 2), Rgb{kGround});            // masked pixels stay out
        EXPECT_TRUE(Find(kShadow).Empty()) << "no hover shadow on a disabled button";
    }
}

TEST_F(PictureTest, IconsKeepTheirTransparencyAndIgnoreTheMaskColour) {
    auto leftHalf = [](int x, int) { return x < 4; };
    Setup(4, IconPicture(8, 8, kRed, leftHalf), static_cast<OLE_COLOR>(kRed));
    EXPECT_EQ(Cover(place, kRed), Rows(8, 8, [](int x, int) { return x < 4 ? '#' : '.'; }));

    // The grey shadow under a lifted icon takes the icon's shape.
    Setup(2, IconPicture(8, 8, kRed, leftHalf), static_cast<OLE_COLOR>(kRed));
    Show(true, false, false);
    EXPECT_EQ(Px(place.left, place.bottom - 1), Rgb{kShadow});
    EXPECT_EQ(Px(place.right - 1, place.bottom - 1), Rgb{kGround});

    Setup(4, IconPicture(8, 8, kRed, leftHalf), 0);
    button->Enabled(tk::vbFalse);
    Show(false, false, false);
    EXPECT_TRUE(Find(kRed).Empty());
    EXPECT_EQ(Px(place.left, place.top), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Px(place.right - 1, place.top), Rgb{kGround});
}

TEST_F(PictureTest, OtherPictureKindsDrawNothing) {
    Setup(4, tk::Picture::Empty(), 0);
    EXPECT_EQ(Find(kGround), (Box{0, 0, W - 1, H - 1}));
}

} // namespace
} // namespace painttest
