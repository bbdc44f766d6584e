#include "toolkit/Font.h"
#include "toolkit/Picture.h"
#include "toolkit/PropertyBag.h"

#include <gtest/gtest.h>

using namespace tk;

TEST(PropertyBag, KeepsOnlyValuesUnequalToTheirDefaultNamesWithoutCase) {
    PropertyBag bag;
    bag.WriteProperty(L"ButtonStyle", std::int32_t{2}, std::int32_t{2});
    bag.WriteProperty(L"BackColor", std::int32_t{0x00C0FFC0}, static_cast<std::int32_t>(0x8000000F));
    bag.WriteProperty(L"ShowFocusRect", Variant::Boolean(true), std::int32_t{1});
    bag.WriteProperty(L"Caption", L"&Kapat", L"Command2");
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"backcolor", L"caption"}));
    EXPECT_EQ(bag.ReadProperty(L"BACKCOLOR", std::int32_t{0}).ToLong(), 0x00C0FFC0);
    EXPECT_EQ(bag.ReadProperty(L"showfocusrect", std::int32_t{1}).ToBool(), vbTrue);
    EXPECT_TRUE(bag.ReadProperty(L"absent").IsEmpty());
    // Writing the default again removes a stored value.
    bag.WriteProperty(L"caption", L"Command2", L"Command2");
    EXPECT_FALSE(bag.Contains(L"Caption"));
}

TEST(PropertyBag, FontReadsAreCopies) {
    PropertyBag bag;
    bag.WriteProperty(L"Font", StdFont::Create(L"Tahoma", 9), StdFont::Create());
    FontPtr a = bag.ReadProperty(L"Font").ToFont();
    a->Size(20);
    EXPECT_EQ(bag.ReadProperty(L"Font").ToFont()->Size(), 9);
}

TEST(PropertyBag, TextFormRoundTripsEveryKindOfValue) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 7, 5);
    ReleaseDC(nullptr, screen);

    PropertyBag bag;
    bag.Set(L"_ExtentX", std::int32_t{2249});
    bag.Set(L"BackColor", static_cast<std::int32_t>(0x8000000F));
    bag.Set(L"Small", std::int16_t{-3});
    bag.Set(L"Caption", L"&Ba\u015fla \"x\"\\\n\t\u0001 \U0001F600");
    bag.Set(L"Enabled", Variant::Boolean(false));
    bag.Set(L"Ratio", 0.1);
    bag.Set(L"Single", 0.1f);
    bag.Set(L"Nothing", Variant(Null{}));
    bag.Set(L"Font", StdFont::Create(L"MS Sans Serif", 8.25, true, true, 162));
    bag.Set(L"Picture", Picture::FromBitmap(bitmap, true));
    bag.Set(L"PictureHover", Picture::Empty());
    bag.Set(L"MouseIcon", PicturePtr());

    const std::string text = bag.ToText();
    EXPECT_NE(text.find("backcolor = 0x8000000F\n"), std::string::npos) << text;
    EXPECT_NE(text.find("_extentx = 2249\n"), std::string::npos) << text;
    EXPECT_NE(text.find("caption = \"&Ba\xC5\x9F"
                        "la \\\"x\\\"\\\\\\n\\t\\u0001 \xF0\x9F\x98\x80\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("font = font { name = \"MS Sans Serif\", size = 8.25, weight = 700, italic = true"),
              std::string::npos)
        << text;

    const PropertyBag back = PropertyBag::FromText(text);
    EXPECT_TRUE(back == bag);
    EXPECT_EQ(back.ToText(), text);
    EXPECT_EQ(back.ReadProperty(L"Caption").ToString(), bag.ReadProperty(L"Caption").ToString());
    EXPECT_EQ(back.ReadProperty(L"Font").ToFont()->Charset(), 162);
    EXPECT_EQ(back.ReadProperty(L"Picture").ToPicture()->Type(), PicTypeBitmap);
    // "none" and an empty picture stay apart.
    EXPECT_EQ(back.ReadProperty(L"MouseIcon").ToPicture(), nullptr);
    ASSERT_NE(back.ReadProperty(L"PictureHover").ToPicture(), nullptr);
}

TEST(PropertyBag, TextFormAcceptsCommentsAndRejectsMalformedLines) {
    const PropertyBag bag =
        PropertyBag::FromText("# Command2\r\n\r\n  Caption = \"&Kapat\"  \r\nbuttonstyle=3\n"
                              "font = font { charset = 162 }\n");
    EXPECT_EQ(bag.ReadProperty(L"caption").ToString(), L"&Kapat");
    EXPECT_EQ(bag.ReadProperty(L"ButtonStyle").ToLong(), 3);
    EXPECT_EQ(bag.ReadProperty(L"Font").ToFont()->Charset(), 162);

    for (const char* bad : {"caption = \"open", "caption", "= 3", "x = 3 4", "x = maybe", "x = 0xZZ",
                            "x = font { colour = 1 }", "x = picture { base64 = \"!!\" }", "x = \"\\q\""}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(PropertyBag::FromText(bad), VbError);
    }
}
