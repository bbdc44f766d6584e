// Painting leaks nothing and leaves the surface's own selections alone.
#include "tests/paint/PaintFixture.h"

namespace painttest {
namespace {

class HygieneTest : public PaintTest {
protected:
    // Every style in every state, with a bitmap picture, an icon and a caption, on a transparent
    // background, enabled and disabled.
    void EveryLook(const tk::PicturePtr& bitmap, const tk::PicturePtr& icon) {
        for (std::int32_t style = 0; style < 5; ++style) {
            button->ButtonStyle(style);
            button->Picture(style % 2 ? icon : bitmap);
            button->BEVEL(style == 0 ? 2 : 1);
            for (int state = 0; state < 16; ++state) {
                site.extender[L"default"] = tk::Variant::Boolean(state & 8);
                button->Enabled(state == 15 ? tk::vbFalse : tk::vbTrue);
                Show(state & 1, state & 2, state & 4);
            }
        }
    }
};

TEST_F(HygieneTest, ThousandsOfRedrawsLeaveTheObjectCountWhereItWas) {
    const auto bitmap =
        BitmapPicture(16, 16, [](int x, int y) { return (x + y) % 3 ? RGB(255, 0, 255) : RGB(9, 9, 9); });
    const auto icon = IconPicture(16, 16, RGB(200, 0, 0), [](int x, int y) { return x > y; });
    site.parentMembers[L"picture"] =
        tk::Variant(BitmapPicture(200, 100, [](int x, int y) { return RGB(x, y, 0); }));
    // A first control warms up whatever the system creates once per process.
    Make(85, 28, 3);
    EveryLook(bitmap, icon);
    button.reset();

    const DWORD before = GdiObjectCount();
    Make(85, 28, 3);
    button->Caption(L"&Kapat");
    button->TransparentBG(tk::vbTrue);
    button->MaskColor(0x00FF00FF);
    EveryLook(bitmap, icon);
    const DWORD settled = GdiObjectCount();
    for (int round = 0; round < 30; ++round)
        EveryLook(bitmap, icon); // 2400 redraws
    EXPECT_EQ(GdiObjectCount(), settled);
    // The one pen the last line left selected is ours, and goes with the control.
    EXPECT_NE(GetCurrentObject(button->hDC(), OBJ_PEN), GetStockObject(BLACK_PEN));
    button.reset();
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(HygieneTest, TheSurfaceKeepsItsFontBitmapAndBrush) {
    Make(85, 28, 0);
    button->Caption(L"&Kapat");
    button->Picture(BitmapPicture(8, 8, [](int, int) { return RGB(1, 2, 3); }));
    HDC dc = button->hDC();
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    const int bkMode = GetBkMode(dc);
    for (std::int32_t style = 0; style < 5; ++style) {
        button->ButtonStyle(style);
        for (int state = 0; state < 8; ++state) {
            Show(state & 1, state & 2, state & 4);
            ASSERT_EQ(GetCurrentObject(dc, OBJ_FONT), font) << style << " " << state;
            ASSERT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
            ASSERT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
            ASSERT_EQ(GetBkMode(dc), bkMode);
        }
    }
}

} // namespace
} // namespace painttest
