#include "tests/butonum/ButonumFixture.h"

#include <set>

using namespace butonum_test;

namespace {

// Measures every caption as a block of a fixed size, centred in the inner rectangle, so that the
// layout's arithmetic can be checked against worked numbers.
class MeasuredButonum : public butonum::Butonum {
public:
    SIZE measured{40, 13};
    int measureCalls = 0;
    void MeasureCaption() override {
        ++measureCalls;
        const RECT& in = State().g_InnerRect;
        RECT& c = MutableState().g_CaptionRect;
        c.left = in.left + (in.right - in.left - measured.cx) / 2;
        c.top = in.top + (in.bottom - in.top - measured.cy) / 2;
        c.right = c.left + measured.cx;
        c.bottom = c.top + measured.cy;
    }
};

using Fixture = PlacedButton<>;
using Layout = PlacedButton<MeasuredButonum>;

} // namespace

// RECT lives in the global namespace, where gtest looks for its comparison and printing.
static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
[[maybe_unused]] static std::ostream& operator<<(std::ostream& o, const RECT& r) {
    return o << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

TEST_F(Layout, WorkedRectangles) {
    Create(nullptr, 100, 40);
    EXPECT_EQ(b.State().g_FocusRect, (RECT{4, 4, 96, 36}));
    b.LayoutContent();
    EXPECT_EQ(b.State().g_ClientRect, (RECT{0, 0, 99, 39}));
    EXPECT_EQ(b.State().g_InnerRect, (RECT{4, 4, 96, 36}));

    b.PictureSize(0);
    b.Picture(MakeBitmap(16, 16));
    b.Caption(L"Tamam");
    struct Case {
        std::int32_t position;
        RECT picture, caption;
    };
    const Case cases[] = {
        {0, {42, 4, 58, 20}, {30, 24, 70, 37}}, // half(32 - 33) = 0
        {1, {20, 12, 36, 28}, {40, 13, 80, 26}},
        {2, {64, 12, 80, 28}, {20, 13, 60, 26}},
        {3, {42, 21, 58, 37}, {30, 4, 70, 17}}, // half(32 - 33) = 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        b.PicturePosition(c.position);
        EXPECT_EQ(b.State().g_PictureRect, c.picture);
        EXPECT_EQ(b.State().g_CaptionRect, c.caption);
    }
    // Any other position: the caption as measured, the picture where the last redraw put it.
    b.PicturePosition(7);
    EXPECT_EQ(b.State().g_PictureRect, (RECT{42, 21, 58, 37}));
    EXPECT_EQ(b.State().g_CaptionRect, (RECT{30, 13, 70, 26}));
}

TEST_F(Layout, PictureAloneIsCentredWithoutMeasuringTheCaption) {
    Create(nullptr, 100, 40);
    b.Caption(L"");
    b.PictureSize(2);
    b.Picture(MakeBitmap(101, 10));
    const RECT before = b.State().g_CaptionRect;
    b.MutableState().g_CaptionRect = RECT{1, 2, 3, 4};
    b.measureCalls = 0;
    b.Refresh();
    EXPECT_EQ(b.measureCalls, 0);
    EXPECT_EQ(b.State().g_CaptionRect, (RECT{1, 2, 3, 4}));
    EXPECT_EQ(b.State().g_PictureRect, (RECT{0, 15, 101, 25})); // 4 + half(-9) = 0
    (void)before;

    // Without a picture the caption fills the inner rectangle before measuring.
    b.Picture(nullptr);
    EXPECT_EQ(b.measureCalls, 1);
    EXPECT_EQ(b.State().g_CaptionRect, (RECT{30, 13, 70, 26}));
}

TEST_F(Fixture, MinimumSizeIsTenPixels) {
    struct Case {
        int w, h, expectW, expectH;
    };
    for (const Case c :
         {Case{8, 30, 10, 30}, Case{10, 30, 10, 30}, Case{30, 9, 30, 10}, Case{3, 2, 10, 10}}) {
        butonum::Butonum x;
        x.Create(site, window.hwnd(), 0, 0, c.w, c.h, true, nullptr);
        RECT r{};
        GetClientRect(x.hWnd(), &r);
        EXPECT_EQ(r.right, c.expectW) << c.w << "x" << c.h;
        EXPECT_EQ(r.bottom, c.expectH) << c.w << "x" << c.h;
        EXPECT_EQ(x.State().g_WidthPx, c.expectW);
        EXPECT_EQ(x.State().g_HeightPx, c.expectH);
        EXPECT_EQ(x.State().g_FocusRect.right, c.expectW - 4);
    }
}

TEST_F(Fixture, ClippedCornersAt40By20) {
    Create(nullptr, 40, 20);
    b.ButtonStyle(3);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(b.hWnd(), probe), ERROR);
    std::set<std::pair<int, int>> missing;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (!PtInRegion(probe, x, y))
                missing.insert({x, y});
    DeleteObject(probe);
    const std::set<std::pair<int, int>> expected{{0, 0},  {1, 0},  {0, 1},  {38, 0},  {39, 0},  {39, 1},
                                                 {0, 19}, {1, 19}, {0, 18}, {38, 19}, {39, 19}, {39, 18}};
    EXPECT_EQ(missing, expected);
}

TEST_F(Fixture, WindowRegionIsNeverFreedWhileAppliedNorLeaked) {
    Create(nullptr, 60, 24);
    b.ButtonStyle(3);
    const HRGN applied = b.State().g_Region;
    ASSERT_NE(applied, nullptr);
    // Windows keeps an applied region alive as the window's own; Wine copies it and frees the handle
    // at once, so there this check has nothing to see.
    const bool systemKeepsHandle = GetObjectType(applied) != 0;

    // Another style drops the control's handle; the window keeps its shape and its region.
    b.ButtonStyle(2);
    EXPECT_EQ(b.State().g_Region, nullptr);
    if (systemKeepsHandle) {
        EXPECT_EQ(GetObjectType(applied), static_cast<DWORD>(OBJ_REGION));
    }
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(b.hWnd(), probe), ERROR);
    EXPECT_EQ(PtInRegion(probe, 0, 0), FALSE);
    b.ButtonStyle(3);

    const DWORD before = testhost::GdiObjects();
    for (int i = 0; i < 300; ++i)
        SetWindowPos(b.hWnd(), nullptr, 0, 0, 30 + i % 50, 20 + i % 7, SWP_NOMOVE | SWP_NOZORDER);
    testhost::PumpMessages();
    const DWORD after = testhost::GdiObjects();
    EXPECT_LE(after, before + 2) << "GDI objects before " << before << ", after " << after;

    // The last shape is the window's and still in use.
    EXPECT_NE(GetWindowRgn(b.hWnd(), probe), ERROR);
    RECT box{};
    GetRgnBox(probe, &box);
    EXPECT_EQ(box.right, 30 + 299 % 50);
    DeleteObject(probe);
}

TEST_F(Fixture, FocusRectangleOnlyWithFocusShowFocusRectAndNotTheXPStyle) {
    Create(nullptr, 100, 40);
    auto focusRow = [&] {
        std::vector<COLORREF> row;
        for (int x = 4; x < 96; ++x)
            row.push_back(GetPixel(b.hDC(), x, 4));
        return row;
    };
    struct Case {
        tk::VbBool show;
        std::int32_t style;
        bool drawn;
    };
    for (const Case c : {Case{-1, 1, true}, Case{1, 4, true}, Case{0, 1, false}, Case{-1, 3, false}}) {
        SCOPED_TRACE(testing::Message() << "ShowFocusRect " << c.show << ", style " << c.style);
        b.MutableState().ShowFocusRect = c.show;
        b.MutableState().ButtonStyle = c.style;
        b.MutableState().g_HasFocus = 0;
        b.Refresh();
        const auto without = focusRow();
        b.MutableState().g_HasFocus = 1;
        b.Refresh();
        EXPECT_EQ(focusRow() != without, c.drawn);
    }
}
