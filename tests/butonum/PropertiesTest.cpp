#include "tests/butonum/ButonumFixture.h"

using namespace butonum_test;
using butonum::Butonum;
using tk::PicturePtr;

namespace {

using Fixture = PlacedButton<>;

struct SetterCase {
    const char* name;
    std::function<void(Butonum&)> set;
    std::vector<std::wstring> announces;
    int redraws;
    std::function<bool(Butonum&)> applied;
};

} // namespace

TEST_F(Fixture, EverySetterStoresAnnouncesAppliesAndRedrawsAsItShould) {
    Create();
    const PicturePtr bitmap = MakeBitmap(20, 10);
    const PicturePtr icon = tk::Picture::FromIcon(LoadIconW(nullptr, IDI_APPLICATION), false);
    const SetterCase cases[] = {
        {"Enabled",
         [](Butonum& x) { x.Enabled(tk::vbFalse); },
         {L"Enabled"},
         1,
         [](Butonum& x) { return x.Enabled() == tk::vbFalse && !IsWindowEnabled(x.hWnd()); }},
        {"MousePointer",
         [](Butonum& x) { x.MousePointer(11); },
         {L"MousePointer"},
         0,
         [](Butonum& x) { return x.UcMousePointer() == 11 && x.MousePointer() == 11; }},
        {"MouseIcon",
         [&](Butonum& x) { x.MouseIcon(icon); },
         {L"MouseIcon"},
         0,
         [&](Butonum& x) { return x.UcMouseIcon() == icon && x.MouseIcon() == icon; }},
        {"ShowFocusRect",
         [](Butonum& x) { x.ShowFocusRect(0); },
         {L"ShowFocusRect"},
         1,
         [](Butonum& x) { return x.ShowFocusRect() == 0; }},
        {"URL",
         [](Butonum& x) { x.URL(L"mailto:a@b.c"); },
         {L"URL"},
         0,
         [](Butonum& x) { return x.URL() == L"mailto:a@b.c"; }},
        {"Caption",
         [](Butonum& x) { x.Caption(L"&Ba\u015fla"); },
         {L"Caption"},
         1,
         [](Butonum& x) {
             wchar_t text[32] = {};
             GetWindowTextW(x.hWnd(), text, 32);
             return x.Caption() == L"&Ba\u015fla" && std::wstring(text) == L"&Ba\u015fla";
         }},
        {"ButtonStyle",
         [](Butonum& x) { x.ButtonStyle(1); },
         {L"ButtonStyle"},
         1,
         [](Butonum& x) { return x.ButtonStyle() == 1; }},
        {"PicturePosition",
         [](Butonum& x) { x.PicturePosition(2); },
         {L"PicturePosition"},
         1,
         [](Butonum& x) { return x.PicturePosition() == 2; }},
        {"Picture",
         [&](Butonum& x) { x.Picture(bitmap); },
         {L"Picture"},
         1,
         [&](Butonum& x) { return x.Picture() == bitmap && x.State().g_NormalPicture == bitmap; }},
        {"PictureWidth",
         [](Butonum& x) { x.PictureWidth(20); },
         {L"PictureWidth"},
         1,
         [](Butonum& x) { return x.PictureWidth() == 20 && x.PictureSize() == 1; }},
        {"PictureHeight",
         [](Butonum& x) { x.PictureHeight(24); },
         {L"PictureHeight"},
         1,
         [](Butonum& x) { return x.PictureHeight() == 24 && x.PictureSize() == 1; }},
        {"PictureSize",
         [](Butonum& x) { x.PictureSize(0); },
         {L"PictureSize"},
         1,
         [](Butonum& x) { return x.PictureWidth() == 16 && x.PictureHeight() == 16; }},
        {"PictureHover",
         [&](Butonum& x) { x.PictureHover(bitmap); },
         {L"PictureHover"},
         0,
         [&](Butonum& x) { return x.PictureHover() == bitmap; }},
        {"XPColor_Pressed",
         [](Butonum& x) { x.XPColor_Pressed(0x00FFFF80); },
         {L"XPColor_Pressed"},
         0,
         [](Butonum& x) { return x.XPColor_Pressed() == 0x00FFFF80; }},
        {"XPColor_Hover",
         [](Butonum& x) { x.XPColor_Hover(0x00FF8080); },
         {L"XPColor_Hover"},
         0,
         [](Butonum& x) { return x.XPColor_Hover() == 0x00FF8080; }},
        {"XPDefaultColors",
         [](Butonum& x) { x.XPDefaultColors(0); },
         {L"XPDefaultColors"},
         0,
         [](Butonum& x) { return x.XPDefaultColors() == 0; }},
        {"BackColor",
         [](Butonum& x) { x.BackColor(0x00C0FFC0); },
         {L"BackColor"},
         1,
         [](Butonum& x) { return x.BackColor() == 0x00C0FFC0 && x.UcBackColor() == 0x00C0FFC0; }},
        {"ForeColor",
         [](Butonum& x) { x.ForeColor(0x00000080); },
         {L"ForeColor"},
         1,
         [](Butonum& x) { return x.UcForeColor() == 0x00000080 && GetTextColor(x.hDC()) == 0x00000080; }},
        {"SoundOver",
         [](Butonum& x) { x.SoundOver(tk::Variant(std::int32_t{5})); },
         {L"SoundOver"},
         0,
         [](Butonum& x) { return x.SoundOver().ToString() == L"5"; }},
        {"SoundClick",
         [](Butonum& x) { x.SoundClick(L"c.wav"); },
         {L"SoundClick"},
         0,
         [](Butonum& x) { return x.SoundClick() == L"c.wav"; }},
        {"version",
         [](Butonum& x) { x.version(L"1"); },
         {},
         0,
         [](Butonum& x) { return x.version() == L"030102-15"; }},
        {"XPShowBorderAlways",
         [](Butonum& x) { x.XPShowBorderAlways(5); },
         {L"XPShowBorderAlways"},
         0,
         [](Butonum& x) { return x.XPShowBorderAlways() == 5; }},
        {"MaskColor",
         [](Butonum& x) { x.MaskColor(0x00FF00FF); },
         {L"MaskColor"},
         1,
         [](Butonum& x) { return x.MaskColor() == 0x00FF00FF; }},
        {"TransparentBG",
         [](Butonum& x) { x.TransparentBG(tk::vbTrue); },
         {L"TransparentBG"},
         1,
         [](Butonum& x) { return x.TransparentBG() == tk::vbTrue; }},
        {"BEVEL", [](Butonum& x) { x.BEVEL(3); }, {L"BEVEL"}, 1, [](Butonum& x) { return x.BEVEL() == 3; }},
        {"BEVELDEPTH",
         [](Butonum& x) { x.BEVELDEPTH(-2); },
         {L"BEVELDEPTH"},
         1,
         [](Butonum& x) { return x.BEVELDEPTH() == -2; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        site.changes.clear();
        const int before = b.RefreshCount();
        c.set(b);
        EXPECT_EQ(site.changes, c.announces);
        EXPECT_EQ(b.RefreshCount() - before, c.redraws);
        EXPECT_TRUE(c.applied(b));
    }
}

TEST_F(Fixture, ButtonStyle3TurnsTransparentBackgroundOffAndShapesTheWindow) {
    Create();
    b.TransparentBG(tk::vbTrue);
    site.changes.clear();
    const int before = b.RefreshCount();
    b.ButtonStyle(3);
    EXPECT_EQ(site.changes, (std::vector<std::wstring>{L"ButtonStyle", L"TransparentBG"}));
    EXPECT_EQ(b.TransparentBG(), tk::vbFalse);
    EXPECT_EQ(b.RefreshCount() - before, 2);
    EXPECT_NE(b.State().g_Region, nullptr);
    // Nothing stops turning it on again afterwards.
    b.TransparentBG(tk::vbTrue);
    EXPECT_EQ(b.TransparentBG(), tk::vbTrue);
}

TEST_F(Fixture, PictureSizeRules) {
    Create();
    // Never had a picture: the natural size is 32 x 32.
    b.PictureSize(2);
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(32, 32));
    b.PictureSize(1);

    b.Picture(MakeBitmap(100, 50));
    EXPECT_EQ(std::pair(b.State().OriginalPicSizeW, b.State().OriginalPicSizeH), std::pair(100, 50));
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(32, 32));
    b.PictureSize(2);
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(100, 50));
    b.PictureSize(0);
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(16, 16));
    b.PictureSize(7); // other values leave the drawn size alone
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(16, 16));

    // A new picture while the natural size is chosen takes its size at once.
    b.PictureSize(2);
    b.Picture(MakeBitmap(24, 12));
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(24, 12));

    const int before = b.RefreshCount();
    b.Picture(nullptr);
    EXPECT_EQ(b.RefreshCount() - before, 1);
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(32, 32));
    EXPECT_EQ(std::pair(b.State().OriginalPicSizeW, b.State().OriginalPicSizeH), std::pair(32, 32));
    EXPECT_EQ(b.State().g_NormalPicture, nullptr);
}

TEST_F(Fixture, ChildComponentsAndVersionComeFromTheDesign) {
    Create();
    EXPECT_EQ(b.version(), L"030102-15");
    EXPECT_EQ(b.Tag(), L"030102-15");
    EXPECT_EQ(b.OverTimer.Interval(), 10u);
    EXPECT_FALSE(b.OverTimer.Enabled());
    ASSERT_NE(b.imgHAND.Picture, nullptr);
    EXPECT_EQ(b.imgHAND.Picture->Handle(), 0u);
    EXPECT_FALSE(b.imgHAND.Visible);
    EXPECT_EQ(b.ScaleMode(), tk::vbPixels);
    // Terminating drops the font and the control's region handle.
    b.ButtonStyle(3);
    b.Destroy();
    EXPECT_EQ(b.Font(), nullptr);
    EXPECT_EQ(b.State().g_Region, nullptr);
}

TEST_F(Fixture, DefCurHandUsesTheHandImageAsCustomPointer) {
    Create();
    b.MousePointer(0);
    site.changes.clear();
    b.DefCurHand(tk::vbTrue);
    EXPECT_EQ(b.MousePointer(), 99);
    ASSERT_NE(b.MouseIcon(), nullptr); // the image's empty picture, not none
    EXPECT_EQ(b.MouseIcon()->Handle(), 0u);
    EXPECT_EQ(site.changes, std::vector<std::wstring>{L"DefCurHand"});

    b.DefCurHand(tk::vbFalse);
    EXPECT_EQ(b.MouseIcon(), nullptr);
    EXPECT_EQ(b.MousePointer(), 99);

    // Only exactly -1 applies the hand.
    b.MousePointer(0);
    b.DefCurHand(1);
    EXPECT_EQ(b.MousePointer(), 0);
    EXPECT_EQ(b.DefCurHand(), 1);
}

TEST_F(Fixture, FontCopiesAttributesButNotWeightOrCharacterSet) {
    site.ambientFont = tk::StdFont::Create(L"MS Sans Serif", 8.25, false, false, 162);
    Create();
    const tk::FontPtr own = b.Font();

    tk::FontPtr given = tk::StdFont::Create(L"Tahoma", 12, false, true, 0);
    given->Weight(800);
    int before = b.RefreshCount();
    b.Font(given);
    EXPECT_EQ(site.changes, std::vector<std::wstring>{L"Font"});
    EXPECT_EQ(b.RefreshCount() - before, 4); // name, size, bold, italic
    EXPECT_EQ(b.Font(), own);
    EXPECT_EQ(own->Name(), L"Tahoma");
    EXPECT_EQ(own->Size(), 12);
    EXPECT_EQ(own->Weight(), 700);
    EXPECT_TRUE(own->Italic());
    EXPECT_EQ(own->Charset(), 162);
    EXPECT_TRUE(b.UcFont()->SameAttributes(*own));
    EXPECT_NE(b.UcFont(), own);

    // Only the character set differs: announced, nothing else.
    site.changes.clear();
    before = b.RefreshCount();
    b.Font(tk::StdFont::Create(L"Tahoma", 12, true, true, 0));
    EXPECT_EQ(site.changes, std::vector<std::wstring>{L"Font"});
    EXPECT_EQ(b.RefreshCount(), before);
    EXPECT_EQ(own->Charset(), 162);

    // A change made on the font object itself redraws too.
    before = b.RefreshCount();
    b.Font()->Underline(true);
    EXPECT_EQ(b.RefreshCount() - before, 1);
    EXPECT_TRUE(b.UcFont()->Underline());
}

TEST_F(Fixture, FailuresReachTheCallerWithNothingChanged) {
    Create();
    const tk::FontPtr font = b.Font();
    const std::wstring fontName = font->Name();
    const int before = b.RefreshCount();

    EXPECT_EQ(ErrorOf([&] { b.MousePointer(40000); }), tk::err::Overflow);
    EXPECT_EQ(b.MousePointer(), 0);
    EXPECT_EQ(ErrorOf([&] { b.MousePointer(-32769); }), tk::err::Overflow);
    EXPECT_EQ(ErrorOf([&] { b.Font(nullptr); }), tk::err::ObjectNotSet);
    EXPECT_EQ(b.Font(), font);
    EXPECT_EQ(font->Name(), fontName);
    EXPECT_EQ(ErrorOf([&] { b.SoundOver(tk::Variant(tk::Null{})); }), tk::err::InvalidUseOfNull);
    EXPECT_EQ(b.SoundOver().ToString(), L".\\resources\\over.wav");

    EXPECT_TRUE(site.changes.empty());
    EXPECT_EQ(b.RefreshCount(), before);
    // The limits themselves are fine.
    EXPECT_EQ(ErrorOf([&] { b.MousePointer(-32768); }), 0);
}
