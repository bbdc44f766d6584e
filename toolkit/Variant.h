// Values as the property store, extender and parent members hand them over: a small tagged value
// with the conversions the control relies on, failing the way the control's callers expect.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>

namespace tk {

class Picture;
class StdFont;
using PicturePtr = std::shared_ptr<Picture>; // nullptr is "none", distinct from an empty picture
using FontPtr = std::shared_ptr<StdFont>;    // nullptr is "none"

// A colour value: 0..0x00FFFFFF literal 0x00BBGGRR, anything else names a system colour.
using OLE_COLOR = std::int32_t;
// Booleans of properties and stored values: true = -1, false = 0.
using VbBool = std::int16_t;
inline constexpr VbBool vbTrue = -1;
inline constexpr VbBool vbFalse = 0;

// An error raised by the toolkit and passed to the caller, with the toolkit's own error numbers.
class VbError : public std::runtime_error {
public:
    VbError(int number, const std::string& description) : std::runtime_error(description), number_(number) {}
    int Number() const { return number_; }

private:
    int number_;
};

namespace err {
inline constexpr int Overflow = 6;
inline constexpr int TypeMismatch = 13;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidUseOfNull = 94;
inline constexpr int NoSuchMember = 438;
inline constexpr int FileNotFound = 53;
inline constexpr int InvalidFileFormat = 321;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int InvalidPicture = 481;
} // namespace err

struct Empty {};
struct Null {};
// A boolean kept apart from integers so that the store can tell -1 from the integer 1.
struct Bool {
    VbBool value;
    bool operator==(const Bool&) const = default;
};

class Variant {
public:
    using Storage = std::variant<Empty, Null, std::int16_t, std::int32_t, float, double, Bool, std::wstring,
                                 PicturePtr, FontPtr>;

    Variant() = default;
    Variant(Empty) {}
    Variant(Null) : v_(Null{}) {}
    Variant(std::int16_t v) : v_(v) {}
    Variant(std::int32_t v) : v_(v) {}
    Variant(float v) : v_(v) {}
    Variant(double v) : v_(v) {}
    Variant(Bool v) : v_(v) {}
    Variant(std::wstring v) : v_(std::move(v)) {}
    Variant(const wchar_t* v) : v_(std::wstring(v)) {}
    Variant(PicturePtr v) : v_(std::move(v)) {}
    Variant(FontPtr v) : v_(std::move(v)) {}

    static Variant Boolean(bool b) { return Variant(Bool{b ? vbTrue : vbFalse}); }

    const Storage& Get() const { return v_; }
    bool IsEmpty() const { return std::holds_alternative<Empty>(v_); }
    bool IsNull() const { return std::holds_alternative<Null>(v_); }
    bool IsObject() const {
        return std::holds_alternative<PicturePtr>(v_) || std::holds_alternative<FontPtr>(v_);
    }

    // Conversions as the control's fields need them; each throws VbError (type mismatch, overflow,
    // invalid use of null) when the value has no such form.
    std::int32_t ToLong() const;
    std::int16_t ToInteger() const;
    VbBool ToBool() const; // any non-zero number is true (-1)
    float ToSingle() const;
    double ToDouble() const;
    std::wstring ToString() const;
    PicturePtr ToPicture() const; // Empty reads as none
    FontPtr ToFont() const;

    // Equality as the store uses it to decide whether a value equals its default.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    Storage v_;
};

} // namespace tk
