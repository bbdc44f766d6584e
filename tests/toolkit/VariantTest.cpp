#include "toolkit/Font.h"
#include "toolkit/Picture.h"
#include "toolkit/Variant.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tk;

namespace {

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace

TEST(Variant, NumericConversionsRoundHalvesToEvenAndCheckRange) {
    struct Case {
        Variant v;
        std::int32_t asLong;
        int longError;
        int integerError;
    };
    const Case cases[] = {
        {Variant(2.5), 2, 0, 0},
        {Variant(3.5), 4, 0, 0},
        {Variant(-2.5), -2, 0, 0},
        {Variant(std::int32_t{40000}), 40000, 0, err::Overflow},
        {Variant(std::int32_t{-32768}), -32768, 0, 0},
        {Variant(L" 12 "), 12, 0, 0},
        {Variant(L"&H8000000F"), static_cast<std::int32_t>(0x8000000F), 0, err::Overflow},
        {Variant(L"&HFFFF"), -1, 0, 0},
        {Variant(L"abc"), 0, err::TypeMismatch, err::TypeMismatch},
        {Variant(Null{}), 0, err::InvalidUseOfNull, err::InvalidUseOfNull},
        {Variant(), 0, 0, 0},
        {Variant::Boolean(true), -1, 0, 0},
        {Variant(3e10), 0, err::Overflow, err::Overflow},
        {Variant(StdFont::Create()), 0, err::TypeMismatch, err::TypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(ErrorOf([&] { (void)c.v.ToLong(); }), c.longError);
        EXPECT_EQ(ErrorOf([&] { (void)c.v.ToInteger(); }), c.integerError);
        if (!c.longError) {
            EXPECT_EQ(c.v.ToLong(), c.asLong);
        }
    }
}

TEST(Variant, BooleanAndTextForms) {
    EXPECT_EQ(Variant(std::int32_t{1}).ToBool(), vbTrue);
    EXPECT_EQ(Variant(std::int16_t{0}).ToBool(), vbFalse);
    EXPECT_EQ(Variant(L"True").ToBool(), vbTrue);
    EXPECT_EQ(Variant::Boolean(true).ToString(), L"True");
    EXPECT_EQ(Variant(std::int32_t{-7}).ToString(), L"-7");
    EXPECT_EQ(Variant(8.25).ToString(), L"8.25");
    EXPECT_EQ(Variant().ToString(), L"");
    EXPECT_EQ(ErrorOf([] { (void)Variant(Null{}).ToString(); }), err::InvalidUseOfNull);
    EXPECT_EQ(ErrorOf([] { (void)Variant(std::int32_t{3}).ToPicture(); }), err::TypeMismatch);
    EXPECT_EQ(Variant().ToPicture(), nullptr);
}

TEST(Variant, StoreEquality) {
    // The store keeps a value only when it differs from its default by these rules.
    EXPECT_TRUE(Variant(std::int16_t{5}) == Variant(std::int32_t{5}));
    EXPECT_TRUE(Variant::Boolean(true) == Variant(std::int32_t{1}));
    EXPECT_TRUE(Variant::Boolean(false) == Variant(std::int32_t{0}));
    EXPECT_FALSE(Variant::Boolean(false) == Variant(std::int32_t{1}));
    EXPECT_FALSE(Variant(L"1") == Variant(std::int32_t{1}));
    EXPECT_TRUE(Variant(StdFont::Create(L"Arial", 9)) == Variant(StdFont::Create(L"Arial", 9)));
    EXPECT_FALSE(Variant(StdFont::Create(L"Arial", 9)) == Variant(StdFont::Create(L"Arial", 10)));
    EXPECT_TRUE(Variant(Picture::Empty()) == Variant(PicturePtr()));
    EXPECT_TRUE(Variant(PicturePtr()) == Variant());
}

TEST(Picture, NoneEmptyAndHandles) {
    PicturePtr empty = Picture::Empty();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Handle(), 0u);
    EXPECT_EQ(empty->Type(), PicTypeNone);

    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 50);
    ReleaseDC(nullptr, screen);
    PicturePtr pic = Picture::FromBitmap(bitmap, true);
    EXPECT_EQ(pic->Type(), PicTypeBitmap);
    EXPECT_EQ(pic->Handle(), reinterpret_cast<UINT_PTR>(bitmap));
    // 100 pixels at 96 dots per inch are 2646 HIMETRIC (26.46 mm).
    EXPECT_NEAR(pic->Width(), 2646, 1);
    EXPECT_NEAR(pic->Height(), 1323, 1);

    // Saved and loaded again it shows the same image.
    PicturePtr copy = Picture::FromBytes(pic->Bytes());
    EXPECT_EQ(copy->Type(), PicTypeBitmap);
    EXPECT_TRUE(Picture::SameImage(pic, copy));

    EXPECT_EQ(ErrorOf([] { (void)Picture::FromFile(L"C:\\no\\such\\file.bmp"); }), err::FileNotFound);
    EXPECT_EQ(ErrorOf([] { (void)Picture::FromBytes({1, 2, 3, 4}); }), err::InvalidPicture);
}

TEST(StdFont, NotifiesEachChangedAttributeByName) {
    FontPtr f = StdFont::Create(L"MS Sans Serif", 8.25);
    std::vector<std::wstring> seen;
    const int id = f->Subscribe([&](const std::wstring& n) { seen.push_back(n); });
    f->Name(L"Tahoma");
    f->Name(L"Tahoma"); // unchanged: no notification
    f->Size(10);
    f->Bold(true);
    f->Italic(true);
    f->Underline(true);
    f->Strikethrough(true);
    f->Weight(900);
    f->Charset(162);
    f->Unsubscribe(id);
    f->Size(12);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"Name", L"Size", L"Bold", L"Italic", L"Underline",
                                               L"Strikethrough", L"Weight", L"Charset"}));
    EXPECT_TRUE(f->Bold());
    EXPECT_EQ(f->ToLogFont(96).lfHeight, -16);
    EXPECT_EQ(StdFont::Create(L"MS Sans Serif", 8.25)->ToLogFont(96).lfHeight, -11);
}
