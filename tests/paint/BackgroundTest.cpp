// The transparent background: the parent's picture behind the control, by position and scale.
#include "tests/paint/PaintFixture.h"

namespace painttest {
namespace {

constexpr COLORREF kFace = RGB(0, 0, 200);
// Every pixel of the parent's picture tells where it lies: (x, y, 77).
COLORREF At(int x, int y) {
    return RGB(x, y, 77);
}

class BackgroundTest : public PaintTest {
protected:
    void SetUp() override {
        parentPicture = BitmapPicture(250, 150, At);
        Make(40, 20, 4);
        button->BackColor(static_cast<OLE_COLOR>(kFace));
        button->TransparentBG(tk::vbTrue);
        site.parentMembers[L"picture"] = tk::Variant(parentPicture);
    }
    void Place(std::int16_t scaleMode, double left, double top) {
        site.parentMembers[L"scalemode"] = tk::Variant(scaleMode);
        site.extender[L"left"] = tk::Variant(left);
        site.extender[L"top"] = tk::Variant(top);
        Show(false, false, false);
    }
    void ExpectOrigin(int x, int y) {
        for (POINT p : std::initializer_list<POINT>{{0, 0}, {5, 7}, {W - 1, H - 1}})
            EXPECT_EQ(Px(p.x, p.y), Rgb{At(x + p.x, y + p.y)}) << p.x << "," << p.y;
    }
    tk::PicturePtr parentPicture;
};

TEST_F(BackgroundTest, PositionInTwipsAndInPixels) {
    if (tk::UserControl::TwipsPerPixelX() != 15 || tk::UserControl::TwipsPerPixelY() != 15)
        GTEST_SKIP() << "the twips case assumes 96 dots per inch";
    struct Case {
        std::int16_t scaleMode;
        double left, top;
        int x, y;
    } cases[] = {
        {tk::vbTwips, 1500, 750, 100, 50},
        {tk::vbPixels, 20, 10, 20, 10},
        {tk::vbPixels, 6.5, 7.5, 6, 8}, // halves to even
        {tk::vbTwips, 97.5, 112.5, 6, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.left);
        Place(c.scaleMode, c.left, c.top);
        ExpectOrigin(c.x, c.y);
    }
}

TEST_F(BackgroundTest, MissingMembersLeaveTheirPartAtZeroOrTheCleanFace) {
    Place(tk::vbPixels, 50, 30);
    site.extender.erase(L"left");
    Show(false, false, false);
    ExpectOrigin(0, 30);

    site.parentMembers.erase(L"scalemode");
    site.extender[L"left"] = tk::Variant(50.0);
    Show(false, false, false);
    ExpectOrigin(0, 0);

    site.parentMembers.erase(L"picture");
    Show(false, false, false);
    EXPECT_EQ(Find(kFace), (Box{0, 0, W - 1, H - 1}));
    site.parentMembers[L"picture"] = tk::Variant(tk::Picture::Empty());
    Show(false, false, false);
    EXPECT_EQ(Find(kFace), (Box{0, 0, W - 1, H - 1}));
}

TEST_F(BackgroundTest, BeyondThePicturesEdgeTheFaceStays) {
    Place(tk::vbPixels, 240, 140);
    EXPECT_EQ(Px(0, 0), Rgb{At(240, 140)});
    EXPECT_EQ(Px(9, 9), Rgb{At(249, 149)});
    EXPECT_EQ(Px(10, 0), Rgb{kFace});
    EXPECT_EQ(Px(0, 10), Rgb{kFace});
}

TEST_F(BackgroundTest, MovingTheControlShowsTheNewPlace) {
    Place(tk::vbPixels, 10, 10);
    ExpectOrigin(10, 10);
    Place(tk::vbPixels, 30, 40);
    ExpectOrigin(30, 40);
}

TEST_F(BackgroundTest, StyleTwoShowsThePictureAtRestOnly) {
    button->ButtonStyle(2);
    button->XPDefaultColors(tk::vbFalse);
    button->XPColor_Hover(0x0000FFFF);
    button->XPColor_Pressed(0x00FF00FF);
    Place(tk::vbPixels, 20, 10);
    ExpectOrigin(20, 10);
    Show(true, false, false);
    EXPECT_EQ(Px(10, 10), C(255, 255, 0));
    Show(true, true, false);
    EXPECT_EQ(Px(10, 10), C(255, 0, 255));
}

} // namespace
} // namespace painttest
