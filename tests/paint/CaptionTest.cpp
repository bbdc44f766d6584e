// The caption: centred, shifted while pressed, embossed while disabled; and the access key.
#include "tests/paint/PaintFixture.h"

namespace painttest {
namespace {

constexpr COLORREF kGround = RGB(0, 128, 0);
constexpr COLORREF kInk = RGB(255, 0, 0);

class CaptionTest : public PaintTest {
protected:
    void Setup(std::int32_t style, const std::wstring& caption, int width = 120, int height = 40) {
        Make(width, height, style);
        button->BackColor(static_cast<OLE_COLOR>(kGround));
        button->ForeColor(static_cast<OLE_COLOR>(kInk));
        button->XPDefaultColors(tk::vbFalse);
        button->XPColor_Hover(static_cast<OLE_COLOR>(kGround));
        button->XPColor_Pressed(static_cast<OLE_COLOR>(kGround));
        button->Caption(caption);
    }
};

TEST_F(CaptionTest, MeasuredTextIsCentredInTheInnerRectangle) {
    Setup(4, L"Kapat");
    Show(false, false, false);
    const RECT r = rec().g_CaptionRect;
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_GT(w, 10);
    EXPECT_GT(h, 5);
    EXPECT_LE(std::abs((r.left - 4) - (W - 4 - r.right)), 1);
    EXPECT_LE(std::abs((r.top - 4) - (H - 4 - r.bottom)), 1);
    const Box ink = Find(kInk);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, r.left);
    EXPECT_LE(ink.right, r.right - 1);
    EXPECT_GE(ink.top, r.top);
    EXPECT_LE(ink.bottom, r.bottom - 1);
    EXPECT_EQ(rec().g_TextParams.cbSize, 20u);
    EXPECT_EQ(rec().g_TextParams.iTabLength, 1);
    EXPECT_EQ(rec().g_TextParams.iLeftMargin, 1);
    EXPECT_EQ(rec().g_TextParams.iRightMargin, 1);
}

TEST_F(CaptionTest, ALongWordStartsBeforeTheInnerRectangleByHalfItsExcess) {
    Setup(4, L"Bak\u0131mYap\u0131lanFirmalar\u0131n", 30, 30);
    Show(false, false, false);
    const RECT r = rec().g_CaptionRect;
    const LONG excess = (r.right - r.left) - (W - 8);
    ASSERT_GT(excess, 0);
    EXPECT_EQ(r.left, 4 - excess / 2);
}

TEST_F(CaptionTest, PressedCaptionMovesOnePixelExceptInStyleTwo) {
    for (std::int32_t style : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(style);
        Setup(style, L"Kapat");
        Show(true, false, false);
        const Box rest = Find(kInk);
        const RECT before = rec().g_CaptionRect;
        Show(true, true, false);
        const Box pressed = Find(kInk);
        const int d = style == 2 ? 0 : 1;
        EXPECT_EQ(pressed, (Box{rest.left + d, rest.top + d, rest.right + d, rest.bottom + d}));
        EXPECT_EQ(rec().g_CaptionRect.left, before.left); // the shift is for drawing only
    }
}

TEST_F(CaptionTest, DisabledCaptionIsAnEmbossedPairAndTheTextColourIsRestored) {
    Setup(4, L"Kapat");
    button->Enabled(tk::vbFalse);
    Show(false, false, false);
    EXPECT_TRUE(Find(kInk).Empty());
    const Box shadow = Find(GetSysColor(COLOR_BTNSHADOW));
    const Box light = Find(GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_FALSE(shadow.Empty());
    ASSERT_FALSE(light.Empty());
    EXPECT_EQ(light.right, shadow.right + 1);
    EXPECT_EQ(light.bottom, shadow.bottom + 1);
    EXPECT_EQ(GetTextColor(button->hDC()), kInk);
}

TEST_F(CaptionTest, SystemForeColourIsLookedUpWhenDrawing) {
    Setup(4, L"Kapat");
    button->ForeColor(static_cast<OLE_COLOR>(0x8000000D));
    Show(false, false, false);
    EXPECT_FALSE(Find(GetSysColor(COLOR_HIGHLIGHT)).Empty());
}

TEST_F(CaptionTest, AnEmptyCaptionDrawsNothingAndLeavesTheTextColour) {
    Setup(4, L"");
    SetTextColor(button->hDC(), RGB(1, 2, 3));
    Show(false, false, false);
    EXPECT_TRUE(Find(kInk).Empty());
    EXPECT_EQ(GetTextColor(button->hDC()), RGB(1, 2, 3));
}

TEST_F(CaptionTest, AmpersandsUnderlineAndDoubleAmpersandsShowOne) {
    // "&&" draws one "&"; a single "&" draws no glyph of its own but an underline.
    Setup(4, L"A&&B");
    Show(false, false, false);
    const Box doubled = Find(kInk);
    Setup(4, L"A&B");
    Show(false, false, false);
    const Box marked = Find(kInk);
    Setup(4, L"AB");
    Show(false, false, false);
    const Box plain = Find(kInk);
    EXPECT_GT(doubled.right - doubled.left, plain.right - plain.left);
    EXPECT_EQ(marked.right - marked.left, plain.right - plain.left);
    EXPECT_GT(marked.bottom, plain.bottom); // the underline lies below the letters
}

TEST_F(CaptionTest, AccessKeyTable) {
    Make(40, 20, 4);
    struct Case {
        const wchar_t* caption;
        const wchar_t* key;
    } cases[] = {
        {L"", L""},
        {L"&", L""},
        {L"K", L""},
        {L"&Kapat", L"k"},
        {L"&Ba\u015fla", L"b"},
        {L"Kapat&", L""},
        {L"Ka&&pat", L""},
        {L"&&a&b", L"b"},
        {L"&&&x", L"x"},
        {L"Tom && &Jerry", L"j"},
        {L"&&x&&y&z", L""}, // two doubled pairs before the single one
        {L"a&&b&", L""},    // the "&" after the pair is the last character
        {L"&\u015e", L"\u015f"},
        {L"x&1", L"1"},
    };
    for (const auto& c : cases) {
        rec().Caption = c.caption;
        button->UpdateAccessKey();
        EXPECT_EQ(button->AccessKeys(), c.key) << testing::PrintToString(std::wstring(c.caption));
    }
}

} // namespace
} // namespace painttest
