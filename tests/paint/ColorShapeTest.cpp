// The colour helpers' worked values and the shape primitives' exact pixels.
#include "tests/paint/PaintFixture.h"

namespace painttest {
namespace {

using ColorTest = PaintTest;

TEST_F(ColorTest, TranslateColorKeepsLiteralsAndLooksUpEveryOtherValueBySystemIndex) {
    Make(20, 10, 1);
    struct Case {
        OLE_COLOR value;
        COLORREF expected;
    } cases[] = {
        {0x00FFFFFF, 0x00FFFFFF},
        {0, 0},
        {0x00123456, 0x00123456},
        {static_cast<OLE_COLOR>(0x80000014), GetSysColor(COLOR_BTNHIGHLIGHT)},
        {static_cast<OLE_COLOR>(0x80000010), GetSysColor(COLOR_BTNSHADOW)},
        {static_cast<OLE_COLOR>(0x8000000D), GetSysColor(COLOR_HIGHLIGHT)},
        {0x01000005, GetSysColor(5)}, // above the literal range without the top bit
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rgb{button->TranslateColor(c.value)}, Rgb{c.expected}) << std::hex << c.value;
}

TEST_F(ColorTest, SplitColorGivesTheThreeComponents) {
    Make(20, 10, 1);
    const butonum::ColorParts p = button->SplitColor(RGB(140, 170, 230));
    EXPECT_EQ(p.Red, 140);
    EXPECT_EQ(p.Green, 170);
    EXPECT_EQ(p.Blue, 230);
    const butonum::ColorParts white = button->SplitColor(0x00FFFFFF);
    EXPECT_EQ(white.Red + white.Green + white.Blue, 765);
}

TEST_F(ColorTest, ShiftColorMovesBlueByItsOwnShareAndClampsEachComponent) {
    Make(20, 10, 1);
    struct Case {
        Rgb from;
        int amount;
        Rgb expected;
    } cases[] = {
        {C(100, 100, 100), 48, C(148, 148, 125)},  {C(200, 200, 200), -33, C(167, 167, 166)},
        {C(255, 255, 255), -48, C(207, 207, 192)}, {C(192, 192, 192), 48, C(240, 240, 240)},
        {C(140, 170, 230), 65, C(205, 235, 255)},  {C(0, 0, 0), 48, C(48, 48, 0)},
        {C(0, 0, 0), 1000, C(255, 255, 0)},        {C(255, 255, 255), 48, C(255, 255, 255)},
        {C(10, 10, 10), -48, C(0, 0, 8)},          {C(10, 10, 10), -100000, C(0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.amount);
        EXPECT_EQ(Rgb{button->ShiftColor(c.from.value, c.amount)}, c.expected);
    }
}

class ShapeTest : public PaintTest {
protected:
    static constexpr COLORREF kGround = RGB(0, 0, 255);
    static constexpr COLORREF kInk = RGB(255, 128, 0);
    void SetUp() override {
        Make(20, 10, 1);
        button->DrawRect(button->hDC(), 0, 0, W, H, kGround, 1);
    }
    // The pixels in ink, as a picture of the surface ('#' ink, '.' ground).
    std::string Inked() const {
        std::string s;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x)
                s += GetPixel(button->hDC(), x, y) == kInk ? '#' : '.';
            s += '\n';
        }
        return s;
    }
    static std::string Expect(const std::function<bool(int, int)>& inked) {
        std::string s;
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 20; ++x)
                s += inked(x, y) ? '#' : '.';
            s += '\n';
        }
        return s;
    }
};

TEST_F(ShapeTest, FillCoversTheRectangleWithoutItsRightAndBottom) {
    button->DrawRect(button->hDC(), 2, 3, 6, 5, kInk, 1);
    EXPECT_EQ(Inked(), Expect([](int x, int y) { return x >= 2 && x < 6 && y >= 3 && y < 5; }));
}

TEST_F(ShapeTest, EveryModeButOneFramesJustInsideTheRectangle) {
    for (std::uint8_t mode : {0, 2, 255}) {
        SetUp();
        button->DrawRect(button->hDC(), 2, 1, 8, 6, kInk, mode);
        EXPECT_EQ(Inked(), Expect([](int x, int y) {
                      const bool inside = x >= 2 && x < 8 && y >= 1 && y < 6;
                      return inside && (x == 2 || x == 7 || y == 1 || y == 5);
                  }))
            << int(mode);
    }
}

TEST_F(ShapeTest, AFrameLargerThanTheSurfaceLeavesOnlyTheTopRowAndLeftColumn) {
    button->DrawRect(button->hDC(), 0, 0, 21, 11, kInk, 0);
    EXPECT_EQ(Inked(), Expect([](int x, int y) { return x == 0 || y == 0; }));
}

TEST_F(ShapeTest, ALineStopsShortOfItsEndPoint) {
    button->DrawLine(0, 5, 10, 5, kInk);
    button->DrawLine(15, 2, 15, 7, kInk);
    button->DrawLine(3, 3, 3, 3, kInk); // nothing at all
    EXPECT_EQ(Inked(),
              Expect([](int x, int y) { return (y == 5 && x < 10) || (x == 15 && y >= 2 && y < 7); }));
}

TEST_F(ShapeTest, TheLastLinesPenStaysSelectedAndEachNewLineReplacesIt) {
    const DWORD before = GdiObjectCount();
    button->DrawLine(0, 0, 5, 0, kInk);
    const HGDIOBJ first = GetCurrentObject(button->hDC(), OBJ_PEN);
    EXPECT_NE(first, GetStockObject(BLACK_PEN));
    EXPECT_EQ(GdiObjectCount(), before + 1);
    for (int i = 0; i < 100; ++i)
        button->DrawLine(0, 1, 5, 1, kInk);
    EXPECT_NE(GetCurrentObject(button->hDC(), OBJ_PEN), first);
    EXPECT_EQ(GdiObjectCount(), before + 1);
}

} // namespace
} // namespace painttest
