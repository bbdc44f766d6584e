// Face colour and border of each ButtonStyle in each state, run and design mode, and the shaded bevels.
#include "tests/paint/PaintFixture.h"

#include <string>

namespace painttest {
namespace {

constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kFore = RGB(0, 0, 128);
constexpr COLORREF kHover = RGB(255, 200, 0);
constexpr COLORREF kPressed = RGB(0, 200, 255);

struct FaceCase {
    std::int32_t style;
    bool over, down, focus, isDefault, design, borderAlways;
    // Colours at: top row, left column, bottom row, right column, the row above the bottom, the column
    // left of the right, the inside. h highlight, s shadow, b BackColor, f ForeColor, o hover colour,
    // p pressed colour.
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const FaceCase& c) {
    return os << "style " << c.style << (c.over ? " over" : "") << (c.down ? " down" : "")
              << (c.focus ? " focus" : "") << (c.isDefault ? " default" : "") << (c.design ? " design" : "")
              << (c.borderAlways ? " border-always" : "");
}

const FaceCase kFaceCases[] = {
    // style 0: raised unless pressed; the default frame when default, or focused and not pressed.
    {0, false, false, false, false, false, false, "hhssbbb"},
    {0, true, false, false, false, false, false, "hhssbbb"},
    {0, true, true, false, false, false, false, "sshhbbb"},
    {0, false, false, true, false, false, false, "hhssssb"},
    {0, false, false, false, true, false, false, "hhssssb"},
    {0, true, true, true, false, false, false, "sshhbbb"},
    {0, true, true, false, true, false, false, "hhhhssb"},
    {0, false, false, true, true, true, false, "hhssbbb"},
    // style 1: flat at rest and when merely focused; the default frame only for the default button.
    {1, false, false, false, false, false, false, "bbbbbbb"},
    {1, true, false, false, false, false, false, "hhssbbb"},
    {1, true, true, false, false, false, false, "sshhbbb"},
    {1, false, false, true, false, false, false, "bbbbbbb"},
    {1, false, false, false, true, false, false, "hhbbssb"},
    {1, true, true, false, true, false, false, "hhhhssb"},
    {1, false, false, false, true, true, false, "hhssbbb"},
    {7, true, false, false, false, false, false, "hhssbbb"}, // unknown styles behave as 1
    {7, false, false, false, true, false, false, "hhbbssb"},
    // style 2: face colour by state, a ForeColor frame on hover or always; none in design mode.
    {2, false, false, false, false, false, false, "bbbbbbb"},
    {2, false, false, false, false, false, true, "ffffbbb"},
    {2, true, false, false, false, false, false, "ffffooo"},
    {2, true, true, false, false, false, false, "ffffppp"},
    {2, false, true, false, false, false, false, "ppppppp"},
    {2, false, false, true, true, false, false, "bbbbbbb"},
    {2, false, false, false, false, true, true, "bbbbbbb"},
    {2, true, false, false, false, true, false, "ooooooo"},
    // style 4: no border step at all.
    {4, false, false, false, false, false, false, "bbbbbbb"},
    {4, true, true, true, true, false, false, "bbbbbbb"},
    {4, false, false, false, false, true, false, "bbbbbbb"},
};

class FaceTest : public PaintTest, public ::testing::WithParamInterface<FaceCase> {};

TEST_P(FaceTest, BorderAndFaceColours) {
    const FaceCase& c = GetParam();
    Make(40, 20, c.style);
    button->BackColor(static_cast<OLE_COLOR>(kFace));
    button->ForeColor(static_cast<OLE_COLOR>(kFore));
    button->XPDefaultColors(tk::vbFalse);
    button->XPColor_Hover(static_cast<OLE_COLOR>(kHover));
    button->XPColor_Pressed(static_cast<OLE_COLOR>(kPressed));
    button->XPShowBorderAlways(c.borderAlways ? tk::vbTrue : tk::vbFalse);
    site.extender[L"default"] = tk::Variant::Boolean(c.isDefault);
    site.userMode = !c.design;
    Show(c.over, c.down, c.focus);

    const POINT probes[] = {{10, 0}, {0, 10}, {10, H - 1}, {W - 1, 10}, {10, H - 2}, {W - 2, 10}, {10, 10}};
    const char* names[] = {"top", "left", "bottom", "right", "above bottom", "left of right", "inside"};
    for (int i = 0; i < 7; ++i) {
        Rgb expected;
        switch (c.expected[i]) {
        case 'h':
            expected = Sys(COLOR_BTNHIGHLIGHT);
            break;
        case 's':
            expected = Sys(COLOR_BTNSHADOW);
            break;
        case 'f':
            expected = Rgb{kFore};
            break;
        case 'o':
            expected = Rgb{kHover};
            break;
        case 'p':
            expected = Rgb{kPressed};
            break;
        default:
            expected = Rgb{kFace};
            break;
        }
        EXPECT_EQ(Px(probes[i].x, probes[i].y), expected) << names[i];
    }
}

INSTANTIATE_TEST_SUITE_P(EveryStyleAndState, FaceTest, ::testing::ValuesIn(kFaceCases));

TEST_F(PaintTest, AHostWithoutADefaultMemberMeansNotTheDefaultButton) {
    Make(40, 20, 1);
    button->BackColor(static_cast<OLE_COLOR>(kFace));
    site.extender.erase(L"default");
    Show(false, false, false);
    EXPECT_EQ(Px(0, 10), Rgb{kFace});
    site.extender[L"default"] = tk::Variant(tk::Null{});
    Show(false, false, false);
    EXPECT_EQ(Px(0, 10), Rgb{kFace});
}

// Rings 0 (outermost), 1, 2 and the top and left lines 0, 1, 2 of a BEVEL 2 face on (192, 192, 192).
struct BevelCase {
    const char* name;
    bool down, isDefault;
    Rgb rings[3], lines[3];
};

TEST_F(PaintTest, ShadedBevelRingsAndLines) {
    const BevelCase cases[] = {
        {"raised",
         false,
         false,
         {C(168, 168, 170), C(176, 176, 177), C(184, 184, 184)},
         {C(216, 216, 216), C(208, 208, 208), C(200, 200, 200)}},
        {"sunken",
         true,
         false,
         {C(216, 216, 216), C(208, 208, 208), C(200, 200, 200)},
         {C(168, 168, 170), C(176, 176, 177), C(184, 184, 184)}},
        // A pressed default button ends with the raised bevel, three steps stronger.
        {"pressed default",
         true,
         true,
         {C(159, 159, 162), C(170, 170, 171), C(181, 181, 181)},
         {C(225, 225, 225), C(214, 214, 214), C(203, 203, 203)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Make(40, 20, 0);
        button->BackColor(static_cast<OLE_COLOR>(kFace));
        button->BEVEL(2);
        button->BEVELDEPTH(8);
        site.extender[L"default"] = tk::Variant::Boolean(c.isDefault);
        Show(c.down, c.down, false);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Px(W - 1 - i, 10), c.rings[i]) << "right, ring " << i;
            EXPECT_EQ(Px(10, H - 1 - i), c.rings[i]) << "bottom, ring " << i;
            // The lines stop short of the ring's top-right and bottom-left pixels.
            EXPECT_EQ(Px(W - 1 - i, i), c.rings[i]) << "top-right, ring " << i;
            EXPECT_EQ(Px(i, H - 1 - i), c.rings[i]) << "bottom-left, ring " << i;
            EXPECT_EQ(Px(10, i), c.lines[i]) << "top, line " << i;
            EXPECT_EQ(Px(i, 10), c.lines[i]) << "left, line " << i;
        }
        EXPECT_EQ(Px(10, 10), Rgb{kFace});
    }
}

// The hover and pressed colours of ButtonStyle 2 derive from the selection highlight colour.
TEST_F(PaintTest, DefaultHoverAndPressedColoursFollowTheHighlightColour) {
    const int index = COLOR_HIGHLIGHT;
    const COLORREF saved = GetSysColor(index);
    struct Case {
        Rgb highlight, hover, pressed;
    } cases[] = {
        {C(49, 106, 197), C(220, 255, 255), C(205, 245, 255)},
        {C(10, 36, 106), C(181, 190, 214), C(166, 175, 214)},
    };
    Make(40, 20, 2);
    for (const auto& c : cases) {
        ASSERT_TRUE(SetSysColors(1, &index, &c.highlight.value));
        Show(true, false, false);
        EXPECT_EQ(Px(10, 10), c.hover);
        Show(true, true, false);
        EXPECT_EQ(Px(10, 10), c.pressed);
    }
    SetSysColors(1, &index, &saved);
}

} // namespace
} // namespace painttest
