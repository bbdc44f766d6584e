#include "tests/butonum/ButonumFixture.h"

#include "toolkit/PropertyBag.h"

using namespace butonum_test;
using tk::PropertyBag;
using tk::Variant;

namespace {

using Fixture = PlacedButton<>;

// Command2 of the main window as its design file stores it.
constexpr char kCommand2[] =
    "_extentx = 2249\n"
    "_extenty = 741\n"
    "backcolor = 0x00C0FFC0\n"
    "buttonstyle = 3\n"
    "caption = \"&Kapat\"\n"
    "font = font { name = \"MS Sans Serif\", size = 8.25, weight = 400, italic = false, "
    "underline = false, strikethrough = false, charset = 162 }\n"
    "mousepointer = 99\n"
    "originalpicsizeh = 0\n"
    "originalpicsizew = 0\n"
    "xpcolor_hover = 0x00FF8080\n"
    "xpcolor_pressed = 0x00FFFF80\n";

void ExpectDefaults(const butonum::Butonum& b) {
    EXPECT_EQ(b.BackColor(), static_cast<tk::OLE_COLOR>(0x8000000F));
    EXPECT_EQ(b.ForeColor(), static_cast<tk::OLE_COLOR>(0x80000012));
    EXPECT_EQ(b.PicturePosition(), 1);
    EXPECT_EQ(b.ButtonStyle(), 2);
    EXPECT_EQ(b.Picture(), nullptr);
    EXPECT_EQ(std::pair(b.PictureWidth(), b.PictureHeight()), std::pair(32, 32));
    EXPECT_EQ(b.PictureSize(), 1);
    EXPECT_EQ(b.URL(), L"");
    EXPECT_EQ(b.XPColor_Pressed(), static_cast<tk::OLE_COLOR>(0x80000014));
    EXPECT_EQ(b.XPColor_Hover(), static_cast<tk::OLE_COLOR>(0x80000016));
    EXPECT_EQ(b.ShowFocusRect(), tk::vbTrue);
    EXPECT_EQ(b.XPDefaultColors(), tk::vbTrue);
    EXPECT_EQ(b.DefCurHand(), tk::vbTrue);
    EXPECT_EQ(b.SoundOver().ToString(), L".\\resources\\over.wav");
    EXPECT_EQ(b.SoundClick(), L".\\resources\\click.wav");
    EXPECT_EQ(b.XPShowBorderAlways(), 0);
    EXPECT_EQ(b.MaskColor(), 0);
    EXPECT_EQ(b.TransparentBG(), 0);
    EXPECT_EQ(b.BEVEL(), 1);
    EXPECT_EQ(b.BEVELDEPTH(), 8);
    EXPECT_EQ(b.Enabled(), tk::vbTrue);
}

} // namespace

TEST_F(Fixture, NewInstanceTakesTheDefaultsAndItsFirstSaveStoresOnlyTheZeroPictureSizes) {
    site.displayName = L"Command1";
    Create();
    ExpectDefaults(b);
    EXPECT_EQ(b.Caption(), L"Command1");
    EXPECT_EQ(b.MousePointer(), 0); // DefCurHand does not touch the pointer here
    EXPECT_EQ(std::pair(b.State().OriginalPicSizeW, b.State().OriginalPicSizeH), std::pair(0, 0));
    ASSERT_NE(b.PictureHover(), nullptr); // an empty picture, not none
    EXPECT_EQ(b.PictureHover()->Type(), tk::PicTypeNone);
    EXPECT_TRUE(b.Font()->SameAttributes(*site.ambientFont));
    // The surface colours stay as the host made them.
    EXPECT_EQ(b.UcBackColor(), static_cast<tk::OLE_COLOR>(0x8000000F));
    EXPECT_TRUE(site.changes.empty());

    PropertyBag bag;
    b.SaveProperties(bag);
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"_extentx", L"_extenty", L"originalpicsizeh",
                                                      L"originalpicsizew"}));
    EXPECT_EQ(bag.ReadProperty(L"OriginalPicSizeW", 32).ToLong(), 0);
}

TEST_F(Fixture, StoreWithOnlyACaption) {
    site.displayName = L"Command2";
    PropertyBag stored;
    stored.Set(L"Caption", L"&Kapat");
    b.Create(site, window.hwnd(), 10, 10, 91, 28, true, &stored);
    // Loading announces only what goes through a setter.
    EXPECT_EQ(site.changes, std::vector<std::wstring>{L"MouseIcon"});
    ExpectDefaults(b);
    EXPECT_EQ(b.Caption(), L"&Kapat");
    wchar_t text[16] = {};
    GetWindowTextW(b.hWnd(), text, 16);
    EXPECT_STREQ(text, L"&Kapat");
    EXPECT_EQ(std::pair(b.State().OriginalPicSizeW, b.State().OriginalPicSizeH), std::pair(32, 32));
    EXPECT_EQ(b.MousePointer(), 0);
    EXPECT_EQ(b.MouseIcon(), nullptr);
    // Sized and redrawn once loading ended.
    EXPECT_EQ(b.State().g_WidthPx, 91);
    EXPECT_GE(b.RefreshCount(), 1);
}

TEST_F(Fixture, StoredCustomPointerWithoutIconWhateverDefCurHandSays) {
    for (const Variant& defCurHand : {Variant::Boolean(true), Variant::Boolean(false), Variant()}) {
        butonum::Butonum x;
        PropertyBag stored;
        stored.Set(L"MousePointer", std::int32_t{99});
        if (!defCurHand.IsEmpty())
            stored.Set(L"DefCurHand", defCurHand);
        x.Create(site, window.hwnd(), 0, 0, 50, 20, false, &stored);
        EXPECT_EQ(x.MousePointer(), 99);
        EXPECT_EQ(x.MouseIcon(), nullptr);
    }
}

TEST_F(Fixture, StoredDrawnSizeIsKeptUntilThePictureOrItsSizeIsSetAgain) {
    PropertyBag stored;
    stored.Set(L"Picture", MakeBitmap(48, 48));
    stored.Set(L"PictureSize", std::int32_t{2});
    stored.Set(L"PictureWidth", std::int32_t{20});
    Create(&stored);
    EXPECT_EQ(b.PictureWidth(), 20);
    EXPECT_EQ(b.PictureHeight(), 32);
    EXPECT_EQ(b.State().OriginalPicSizeW, 32); // stored values, not the picture's
    EXPECT_EQ(b.State().g_NormalPicture, b.Picture());
    b.PictureSize(2);
    EXPECT_EQ(b.PictureWidth(), 32);
    b.Picture(b.Picture());
    EXPECT_EQ(b.PictureWidth(), 48);
}

TEST_F(Fixture, SavingDuringTheHoverLookStoresTheHoverPicture) {
    Create();
    const tk::PicturePtr normal = MakeBitmap(16, 16), hover = MakeBitmap(24, 24);
    b.Picture(normal);
    b.PictureHover(hover);
    // The hover look swaps the hover picture in.
    b.MutableState().Picture = hover;
    b.MutableState().g_IsOver = 1;
    PropertyBag bag;
    b.SaveProperties(bag);
    EXPECT_EQ(bag.ReadProperty(L"Picture").ToPicture(), hover);
    EXPECT_EQ(bag.ReadProperty(L"PictureHover").ToPicture(), hover);
}

TEST_F(Fixture, EveryPropertySurvivesTheDesignFileRoundTrip) {
    Create();
    b.Caption(L"&\u00c7\u0131k\u0131\u015f \"x\"");
    b.PicturePosition(3);
    b.ButtonStyle(4);
    b.PictureSize(2);
    b.Picture(MakeBitmap(20, 10));
    b.PictureWidth(18);
    b.PictureHeight(9);
    b.PictureHover(MakeBitmap(5, 5));
    b.Enabled(tk::vbFalse);
    b.Font(tk::StdFont::Create(L"Tahoma", 10, true, true));
    b.Font()->Strikethrough(true);
    b.MousePointer(7);
    b.ShowFocusRect(0);
    b.URL(L"https://example.invalid/");
    b.XPColor_Pressed(0x00FFFF80);
    b.XPColor_Hover(0x00FF8080);
    b.XPDefaultColors(0);
    b.BackColor(0x00C0FFC0);
    b.ForeColor(0x80000008);
    b.SoundOver(Variant(L"o.wav"));
    b.SoundClick(L"c.wav");
    b.DefCurHand(0); // removes the pointer picture: set it afterwards
    b.MouseIcon(tk::Picture::FromIcon(LoadIconW(nullptr, IDI_APPLICATION), false));
    b.XPShowBorderAlways(tk::vbTrue);
    b.MaskColor(0x00FF00FF);
    b.TransparentBG(tk::vbTrue);
    b.BEVEL(2);
    b.BEVELDEPTH(12);

    PropertyBag saved;
    b.SaveProperties(saved);
    const std::string text = saved.ToText();
    const PropertyBag loaded = PropertyBag::FromText(text);
    EXPECT_TRUE(loaded == saved) << text;

    butonum::Butonum c;
    c.Create(site, window.hwnd(), 200, 10, 91, 28, true, &loaded);
    PropertyBag again;
    c.SaveProperties(again);
    EXPECT_EQ(again.ToText(), text);

    EXPECT_EQ(c.Caption(), b.Caption());
    EXPECT_EQ(c.PicturePosition(), 3);
    EXPECT_EQ(c.ButtonStyle(), 4);
    EXPECT_EQ(c.PictureSize(), 2);
    EXPECT_EQ(std::pair(c.PictureWidth(), c.PictureHeight()), std::pair(18, 9));
    EXPECT_EQ(std::pair(c.State().OriginalPicSizeW, c.State().OriginalPicSizeH), std::pair(20, 10));
    EXPECT_TRUE(tk::Picture::SameImage(c.Picture(), b.Picture()));
    EXPECT_TRUE(tk::Picture::SameImage(c.PictureHover(), b.PictureHover()));
    EXPECT_EQ(c.Enabled(), tk::vbFalse);
    EXPECT_TRUE(c.Font()->SameAttributes(*b.Font()));
    EXPECT_TRUE(c.UcFont()->SameAttributes(*b.Font()));
    ASSERT_NE(c.MouseIcon(), nullptr) << text;
    EXPECT_EQ(c.MouseIcon()->Type(), tk::PicTypeIcon);
    EXPECT_EQ(c.MousePointer(), 7);
    EXPECT_EQ(c.ShowFocusRect(), 0);
    EXPECT_EQ(c.URL(), L"https://example.invalid/");
    EXPECT_EQ(c.XPColor_Pressed(), 0x00FFFF80);
    EXPECT_EQ(c.XPColor_Hover(), 0x00FF8080);
    EXPECT_EQ(c.XPDefaultColors(), 0);
    EXPECT_EQ(c.BackColor(), 0x00C0FFC0);
    EXPECT_EQ(c.UcBackColor(), 0x00C0FFC0);
    EXPECT_EQ(c.ForeColor(), static_cast<tk::OLE_COLOR>(0x80000008));
    EXPECT_EQ(c.UcForeColor(), static_cast<tk::OLE_COLOR>(0x80000008));
    EXPECT_EQ(c.SoundOver().ToString(), L"o.wav");
    EXPECT_EQ(c.SoundClick(), L"c.wav");
    EXPECT_EQ(c.DefCurHand(), 0);
    EXPECT_EQ(c.XPShowBorderAlways(), tk::vbTrue);
    EXPECT_EQ(c.MaskColor(), 0x00FF00FF);
    EXPECT_EQ(c.TransparentBG(), tk::vbTrue);
    EXPECT_EQ(c.BEVEL(), 2);
    EXPECT_EQ(c.BEVELDEPTH(), 12);
}

TEST_F(Fixture, MainWindowCloseButtonLoadsFromItsDesignText) {
    site.displayName = L"Command2";
    const PropertyBag stored = PropertyBag::FromText(kCommand2);
    b.Create(site, window.hwnd(), 267, 153, 85, 28, false, &stored);
    EXPECT_EQ(b.Caption(), L"&Kapat");
    EXPECT_EQ(b.BackColor(), 0x00C0FFC0);
    EXPECT_EQ(b.ButtonStyle(), 3);
    EXPECT_EQ(std::pair(b.State().OriginalPicSizeW, b.State().OriginalPicSizeH), std::pair(0, 0));
    EXPECT_EQ(b.Font()->Name(), L"MS Sans Serif");
    EXPECT_EQ(b.Font()->Size(), 8.25);
    EXPECT_EQ(b.Font()->Weight(), 400);
    EXPECT_EQ(b.Font()->Charset(), 162);
    EXPECT_EQ(b.MousePointer(), 99);
    EXPECT_EQ(b.MouseIcon(), nullptr);
    EXPECT_EQ(b.XPColor_Pressed(), 0x00FFFF80);
    EXPECT_EQ(b.XPColor_Hover(), 0x00FF8080);
    EXPECT_NE(b.State().g_Region, nullptr);
    // Saved again it gives back the same text.
    PropertyBag again;
    b.SaveProperties(again);
    EXPECT_EQ(again.ToText(), kCommand2);
}

TEST_F(Fixture, AValueOfTheWrongKindStopsLoading) {
    PropertyBag stored;
    stored.Set(L"Caption", L"Tamam");
    stored.Set(L"ButtonStyle", L"three");
    EXPECT_EQ(ErrorOf([&] { b.Create(site, window.hwnd(), 0, 0, 50, 20, false, &stored); }),
              tk::err::TypeMismatch);
    EXPECT_EQ(b.Caption(), L"Tamam");
    EXPECT_EQ(b.ButtonStyle(), 0); // never loaded
}
