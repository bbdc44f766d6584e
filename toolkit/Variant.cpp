#include "toolkit/Variant.h"

#include "toolkit/Font.h"
#include "toolkit/Picture.h"

#include <charconv>
#include <cmath>
#include <cwctype>
#include <limits>

namespace tk {
namespace {

[[noreturn]] void Fail(int number) {
    switch (number) {
    case err::Overflow:
        throw VbError(number, "Overflow");
    case err::TypeMismatch:
        throw VbError(number, "Type mismatch");
    case err::InvalidUseOfNull:
        throw VbError(number, "Invalid use of Null");
    default:
        throw VbError(number, "Object variable not set");
    }
}

// Text read as a number: optional blanks and sign, decimal digits with an optional fraction and
// exponent, or &H/&O literals; anything else is a type mismatch.
double ParseNumber(const std::wstring& text) {
    std::string s;
    for (wchar_t c : text) {
        if (c > 0x7f)
            Fail(err::TypeMismatch);
        s.push_back(static_cast<char>(c));
    }
    const auto first = s.find_first_not_of(" \t");
    const auto last = s.find_last_not_of(" \t");
    if (first == std::string::npos)
        Fail(err::TypeMismatch);
    s = s.substr(first, last - first + 1);
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        std::string digits = s.substr(2);
        if (!digits.empty() && digits.back() == '&')
            digits.pop_back();
        std::uint32_t v = 0;
        auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
        if (ec != std::errc() || p != digits.data() + digits.size() || digits.empty())
            Fail(err::TypeMismatch);
        // Hexadecimal literals of up to four digits are 16-bit, longer ones 32-bit (two's complement).
        if (digits.size() <= 4)
            return static_cast<std::int16_t>(v);
        return static_cast<std::int32_t>(v);
    }
    const char* begin = s.data();
    if (*begin == '+')
        ++begin;
    double v = 0;
    auto [p, ec] = std::from_chars(begin, s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size())
        Fail(err::TypeMismatch);
    return v;
}

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return i == a.size() && !b[i];
}

// Floating values become integers by rounding to the nearest, halves to even.
double RoundEven(double v) {
    return std::nearbyint(v);
}

double AsNumber(const Variant::Storage& v) {
    return std::visit(
        [](const auto& x) -> double {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, Empty>)
                return 0;
            else if constexpr (std::is_same_v<T, Null>)
                Fail(err::InvalidUseOfNull);
            else if constexpr (std::is_same_v<T, Bool>)
                return x.value;
            else if constexpr (std::is_same_v<T, std::wstring>) {
                if (EqualsNoCase(x, L"True"))
                    return -1;
                if (EqualsNoCase(x, L"False"))
                    return 0;
                return ParseNumber(x);
            } else if constexpr (std::is_same_v<T, PicturePtr>) {
                // A picture's value is its handle.
                if (!x)
                    Fail(err::ObjectNotSet);
                return static_cast<double>(x->Handle());
            } else if constexpr (std::is_same_v<T, FontPtr>) {
                if (!x)
                    Fail(err::ObjectNotSet);
                Fail(err::TypeMismatch);
            } else
                return static_cast<double>(x);
        },
        v);
}

bool IsNumeric(const Variant::Storage& v) {
    return std::holds_alternative<std::int16_t>(v) || std::holds_alternative<std::int32_t>(v) ||
           std::holds_alternative<float>(v) || std::holds_alternative<double>(v);
}

} // namespace

std::int32_t Variant::ToLong() const {
    const double d = RoundEven(AsNumber(v_));
    if (!(d >= -2147483648.0 && d <= 2147483647.0))
        Fail(err::Overflow);
    return static_cast<std::int32_t>(d);
}

std::int16_t Variant::ToInteger() const {
    const double d = RoundEven(AsNumber(v_));
    if (!(d >= -32768.0 && d <= 32767.0))
        Fail(err::Overflow);
    return static_cast<std::int16_t>(d);
}

VbBool Variant::ToBool() const {
    return AsNumber(v_) != 0 ? vbTrue : vbFalse;
}

float Variant::ToSingle() const {
    const double d = AsNumber(v_);
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
        Fail(err::Overflow);
    return static_cast<float>(d);
}

double Variant::ToDouble() const {
    return AsNumber(v_);
}

std::wstring Variant::ToString() const {
    return std::visit(
        [](const auto& x) -> std::wstring {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, Empty>)
                return L"";
            else if constexpr (std::is_same_v<T, Null>)
                Fail(err::InvalidUseOfNull);
            else if constexpr (std::is_same_v<T, Bool>)
                return x.value ? L"True" : L"False";
            else if constexpr (std::is_same_v<T, std::wstring>)
                return x;
            else if constexpr (std::is_same_v<T, PicturePtr>) {
                if (!x)
                    Fail(err::ObjectNotSet);
                return std::to_wstring(x->Handle());
            } else if constexpr (std::is_same_v<T, FontPtr>) {
                // A font's value is its name.
                if (!x)
                    Fail(err::ObjectNotSet);
                return x->Name();
            } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
                char buf[64];
                auto [p, ec] = std::to_chars(buf, buf + sizeof buf, x);
                (void)ec;
                return std::wstring(buf, p);
            } else
                return std::to_wstring(x);
        },
        v_);
}

PicturePtr Variant::ToPicture() const {
    if (IsEmpty())
        return nullptr;
    if (auto p = std::get_if<PicturePtr>(&v_))
        return *p;
    // "No object" reads as no picture whatever object kind it was written as.
    if (auto f = std::get_if<FontPtr>(&v_); f && !*f)
        return nullptr;
    Fail(err::TypeMismatch);
}

FontPtr Variant::ToFont() const {
    if (IsEmpty())
        return nullptr;
    if (auto p = std::get_if<FontPtr>(&v_))
        return *p;
    if (auto p = std::get_if<PicturePtr>(&v_); p && !*p)
        return nullptr;
    Fail(err::TypeMismatch);
}

bool operator==(const Variant& a, const Variant& b) {
    const auto& x = a.v_;
    const auto& y = b.v_;
    const bool xBool = std::holds_alternative<Bool>(x);
    const bool yBool = std::holds_alternative<Bool>(y);
    if (IsNumeric(x) && IsNumeric(y))
        return AsNumber(x) == AsNumber(y);
    // A boolean and a number are equal when both are true or both are false, so that a true written
    // with the integer default 1 is not stored.
    if ((xBool && (IsNumeric(y) || yBool)) || (yBool && IsNumeric(x)))
        return (AsNumber(x) != 0) == (AsNumber(y) != 0);
    const bool xPic = std::holds_alternative<PicturePtr>(x) || a.IsEmpty();
    const bool yPic = std::holds_alternative<PicturePtr>(y) || b.IsEmpty();
    if ((std::holds_alternative<PicturePtr>(x) || std::holds_alternative<PicturePtr>(y)) && xPic && yPic)
        return Picture::SameImage(a.ToPicture(), b.ToPicture());
    const bool xFont = std::holds_alternative<FontPtr>(x) || a.IsEmpty();
    const bool yFont = std::holds_alternative<FontPtr>(y) || b.IsEmpty();
    if ((std::holds_alternative<FontPtr>(x) || std::holds_alternative<FontPtr>(y)) && xFont && yFont) {
        const FontPtr f = a.ToFont(), g = b.ToFont();
        if (!f || !g)
            return !f && !g;
        return f->SameAttributes(*g);
    }
    if (x.index() != y.index())
        return false;
    if (auto s = std::get_if<std::wstring>(&x))
        return *s == std::get<std::wstring>(y);
    return a.IsEmpty() || a.IsNull();
}

} // namespace tk
