// The XP-style face of ButtonStyle 3: gradients, frame and corners, bevels, rings, disabled look.
#include "tests/paint/PaintFixture.h"

namespace painttest {
namespace {

class XPFaceTest : public PaintTest {
protected:
    static constexpr COLORREF kBase = RGB(100, 100, 100);
    const COLORREF T = RGB(148, 148, 125); // kBase lightened by 48
    void SetUp() override {
        Make(60, 20, 3);
        button->BackColor(static_cast<OLE_COLOR>(kBase));
    }
    Rgb Dark() const { return Sys(COLOR_3DDKSHADOW); }
    void ExpectFrameAndCorners() {
        for (POINT p :
             std::initializer_list<POINT>{{0, 0}, {0, 10}, {W - 1, 10}, {30, 0}, {30, H - 1}, {W - 1, H - 1}})
            EXPECT_EQ(Px(p.x, p.y), Dark()) << "frame " << p.x << "," << p.y;
        for (POINT p : std::initializer_list<POINT>{{1, 1}, {1, H - 2}, {W - 2, 1}, {W - 2, H - 2}})
            EXPECT_EQ(Px(p.x, p.y), Dark()) << "corner " << p.x << "," << p.y;
    }
    struct Spot {
        int x, y, k;
    };
    void ExpectSpots(COLORREF from, std::initializer_list<Spot> spots) {
        for (const Spot& s : spots)
            EXPECT_EQ(Px(s.x, s.y), S(from, s.k)) << s.x << "," << s.y << " shifted by " << s.k;
    }
};

TEST_F(XPFaceTest, UpGradientRoundsItsStepsHalvesToEven) {
    Show(false, false, false);
    // Step 1.25 for a height of 20: row i is T shifted by -1.25 i, halves to even.
    const int k[] = {0,   -1,  -2,  -4,  -5,  -6,  -8,  -9,  -10, -11,
                     -12, -14, -15, -16, -18, -19, -20, -21, -22, -24};
    for (int row = 3; row <= H - 4; ++row)
        EXPECT_EQ(Px(30, row), S(T, k[row])) << "row " << row;
    ExpectFrameAndCorners();
}

TEST_F(XPFaceTest, UpBevelLinesInTheirOrder) {
    Show(false, false, false);
    ExpectSpots(T, {{30, H - 2, -48},
                    {30, H - 3, -32},
                    {W - 2, 10, -36},
                    {W - 3, 10, -24},
                    {30, 1, 16},
                    {30, 2, 10},
                    {1, 10, -5},
                    {2, 10, -10},
                    // where two lines meet, the later one shows
                    {1, 2, -5},
                    {1, H - 3, -5},
                    {2, H - 3, -32},
                    {W - 2, H - 3, -36},
                    {W - 3, 2, 10}});
}

TEST_F(XPFaceTest, PressedLookIsAReversedDarkerGradientWithItsOwnBevel) {
    Show(true, true, true); // neither the focus ring nor the hover ring shows while pressed
    const COLORREF P = S(T, -32).value;
    // Step 0.75: row H - i is P shifted by -0.75 i, halves to even; the bottom rows are the lightest.
    const int k[] = {0, -1, -2, -2, -3, -4, -4, -5, -6, -7, -8, -8, -9, -10, -10, -11, -12, -13};
    for (int i = 4; i <= H - 3; ++i)
        EXPECT_EQ(Px(30, H - i), S(P, k[i])) << "row " << H - i;
    ExpectFrameAndCorners();
    ExpectSpots(P, {{30, H - 2, 16},
                    {30, H - 3, 10},
                    {W - 2, 10, 5},
                    {W - 3, 10, 0},
                    {30, 1, -32},
                    {30, 2, -24},
                    {1, 10, -32},
                    {2, 10, -22},
                    {2, 2, -22}});
    const auto pressed = Snapshot();
    Show(false, true, false);
    EXPECT_EQ(Snapshot(), pressed);
}

struct RingCase {
    const char* name;
    bool focus, over, defaults;
    OLE_COLOR hoverColour, pressedColour;
    COLORREF accent; // the ring's frame colour, literal (0 for the highlight system colour)
    int shades[5];
};

TEST_F(XPFaceTest, FocusAndHoverRingsInDefaultAndOwnColours) {
    const RingCase cases[] = {
        {"focus, default colours",
         true,
         false,
         true,
         0x00FF8080,
         0x00FFFF80,
         RGB(140, 170, 230),
         {-33, 65, 50, 31, 31}},
        {"hover, default colours",
         false,
         true,
         true,
         0x00FF8080,
         0x00FFFF80,
         RGB(225, 153, 71),
         {-40, 90, 35, 20, 20}},
        {"focus, own colours",
         true,
         false,
         false,
         0x00FF8080,
         0x00FFFF80,
         RGB(128, 255, 255),
         {-33, 65, 50, 31, 31}},
        {"hover, own colours",
         false,
         true,
         false,
         0x00FF8080,
         0x00FFFF80,
         RGB(128, 128, 255),
         {-40, 90, 35, 20, 20}},
        {"hover, system colour",
         false,
         true,
         false,
         static_cast<OLE_COLOR>(0x8000000D),
         0,
         GetSysColor(COLOR_HIGHLIGHT),
         {-40, 90, 35, 20, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        button->XPDefaultColors(c.defaults ? tk::vbTrue : tk::vbFalse);
        button->XPColor_Hover(c.hoverColour);
        button->XPColor_Pressed(c.pressedColour);
        Show(c.over, false, c.focus);
        for (POINT p : std::initializer_list<POINT>{{1, 10}, {W - 2, 10}, {30, H - 3}})
            EXPECT_EQ(Px(p.x, p.y), Rgb{c.accent}) << "ring frame " << p.x << "," << p.y;
        ExpectSpots(c.accent, {{30, H - 2, c.shades[0]},
                               {30, 1, c.shades[1]},
                               {30, 2, c.shades[2]},
                               {W - 2, 2, c.shades[2]},
                               {2, 10, c.shades[3]},
                               {W - 3, 10, c.shades[4]}});
        ExpectFrameAndCorners();
    }
    // The worked values of the default focus ring.
    button->XPDefaultColors(tk::vbTrue);
    Show(false, false, true);
    EXPECT_EQ(Px(30, 1), C(205, 235, 255));
    EXPECT_EQ(Px(30, H - 2), C(107, 137, 191));
}

TEST_F(XPFaceTest, TheHoverRingHidesTheFocusRing) {
    Show(true, false, false);
    const auto hover = Snapshot();
    Show(true, false, true);
    EXPECT_EQ(Snapshot(), hover);
}

TEST_F(XPFaceTest, DisabledLookIsFlatWhateverTheState) {
    button->Enabled(tk::vbFalse);
    Show(false, false, false);
    EXPECT_EQ(Px(30, 10), S(T, -24));
    EXPECT_EQ(Px(30, 2), S(T, -24));
    EXPECT_EQ(Px(0, 10), S(T, -84));
    EXPECT_EQ(Px(30, H - 1), S(T, -84));
    EXPECT_EQ(Px(1, 1), S(T, -72));
    EXPECT_EQ(Px(W - 2, H - 2), S(T, -72));
    const auto flat = Snapshot();
    for (int state = 1; state < 8; ++state) {
        Show(state & 1, state & 2, state & 4);
        EXPECT_EQ(Snapshot(), flat) << "state " << state;
    }
}

TEST_F(XPFaceTest, DesignModeShowsTheUpLook) {
    Show(false, false, false);
    const auto up = Snapshot();
    site.userMode = false;
    site.extender[L"default"] = tk::Variant::Boolean(true);
    // Hover, press and the default button do not change it.
    Show(false, false, false);
    EXPECT_EQ(Snapshot(), up);
    Show(true, true, false);
    EXPECT_EQ(Snapshot(), up);
}

} // namespace
} // namespace painttest
