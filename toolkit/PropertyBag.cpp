#include "toolkit/PropertyBag.h"

#include "toolkit/Font.h"
#include "toolkit/Picture.h"

#include <windows.h>
#include <shlwapi.h>

#include <charconv>
#include <cstdio>
#include <cwctype>

namespace tk {
namespace {

std::wstring Lower(const std::wstring& s) {
    std::wstring r = s;
    for (auto& c : r)
        c = static_cast<wchar_t>(std::towlower(c));
    return r;
}

std::string ToUtf8(const std::wstring& s) {
    if (s.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr, nullptr);
    return r;
}

std::wstring FromUtf8(const std::string& s) {
    if (s.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0)
        throw VbError(err::InvalidFileFormat, "Invalid file format: text is not UTF-8");
    std::wstring r(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n);
    return r;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<unsigned char>& in) {
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (i < in.size()) {
        unsigned v = in[i] << 16;
        if (i + 1 < in.size())
            v |= in[i + 1] << 8;
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += i + 1 < in.size() ? kBase64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool Unbase64(const std::string& in, std::vector<unsigned char>& out) {
    unsigned acc = 0;
    int bits = 0;
    std::size_t pad = 0;
    for (char c : in) {
        if (c == '=') {
            ++pad;
            continue;
        }
        if (pad)
            return false;
        const char* p = std::char_traits<char>::find(kBase64, 64, c);
        if (!p)
            return false;
        acc = (acc << 6) | static_cast<unsigned>(p - kBase64);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<unsigned char>((acc >> bits) & 0xff));
        }
    }
    return pad <= 2 && (in.size() % 4) == 0;
}

std::string Quote(const std::wstring& s) {
    std::wstring plain;
    std::string out = "\"";
    auto flush = [&] {
        out += ToUtf8(plain);
        plain.clear();
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        const wchar_t c = s[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            plain += c;
            plain += s[++i];
            continue;
        }
        const char* esc = c == L'\\'   ? "\\\\"
                          : c == L'"'  ? "\\\""
                          : c == L'\n' ? "\\n"
                          : c == L'\r' ? "\\r"
                          : c == L'\t' ? "\\t"
                                       : nullptr;
        if (esc) {
            flush();
            out += esc;
        } else if (c < 0x20 || c == 0x7f || high || low) {
            flush();
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        } else {
            plain += c;
        }
    }
    flush();
    return out + "\"";
}

template <class T> std::string Shortest(T v) {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    std::string s(buf, p);
    // Keep a fraction mark so that the reader sees a floating value.
    if (s.find_first_of(".eEn") == std::string::npos)
        s += ".0";
    return s;
}

std::string FormatValue(const Variant& value) {
    return std::visit(
        [](const auto& x) -> std::string {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, Empty>)
                return "empty";
            else if constexpr (std::is_same_v<T, Null>)
                return "null";
            else if constexpr (std::is_same_v<T, Bool>)
                return x.value ? "true" : "false";
            else if constexpr (std::is_same_v<T, std::int16_t>)
                return std::to_string(x);
            else if constexpr (std::is_same_v<T, std::int32_t>) {
                if (x > -65536 && x < 65536)
                    return std::to_string(x);
                char buf[16];
                std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(x));
                return buf;
            } else if constexpr (std::is_same_v<T, float>)
                return Shortest(x) + "f";
            else if constexpr (std::is_same_v<T, double>)
                return Shortest(x);
            else if constexpr (std::is_same_v<T, std::wstring>)
                return Quote(x);
            else if constexpr (std::is_same_v<T, FontPtr>) {
                if (!x)
                    return "none";
                return "font { name = " + Quote(x->Name()) + ", size = " + Shortest(x->Size()) +
                       ", weight = " + std::to_string(x->Weight()) +
                       ", italic = " + (x->Italic() ? "true" : "false") +
                       ", underline = " + (x->Underline() ? "true" : "false") +
                       ", strikethrough = " + (x->Strikethrough() ? "true" : "false") +
                       ", charset = " + std::to_string(x->Charset()) + " }";
            } else {
                static_assert(std::is_same_v<T, PicturePtr>);
                if (!x)
                    return "none";
                if (x->Type() == PicTypeNone)
                    return "picture { }";
                if (!x->SourcePath().empty())
                    return "picture { file = " + Quote(x->SourcePath()) + " }";
                return "picture { base64 = \"" + Base64(x->Bytes()) + "\" }";
            }
        },
        value.Get());
}

// Reads one value of the text form from a line.
class Parser {
public:
    Parser(const std::string& line, int lineNo, const std::wstring& baseDir)
        : s_(line), lineNo_(lineNo), baseDir_(baseDir) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw VbError(err::InvalidFileFormat,
                      "Invalid file format: line " + std::to_string(lineNo_) + ": " + what);
    }

    void Skip() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t'))
            ++pos_;
    }
    bool AtEnd() {
        Skip();
        return pos_ >= s_.size();
    }
    bool Accept(char c) {
        Skip();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Accept(c))
            Fail(std::string("expected '") + c + "'");
    }
    std::string Word() {
        Skip();
        const std::size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
            ++pos_;
        return s_.substr(start, pos_ - start);
    }

    std::wstring String() {
        Skip();
        if (pos_ >= s_.size() || s_[pos_] != '"')
            Fail("expected a string");
        ++pos_;
        std::wstring out;
        std::string plain;
        auto flush = [&] {
            out += FromUtf8(plain);
            plain.clear();
        };
        for (;;) {
            if (pos_ >= s_.size())
                Fail("unterminated string");
            const char c = s_[pos_++];
            if (c == '"')
                break;
            if (c != '\\') {
                plain += c;
                continue;
            }
            if (pos_ >= s_.size())
                Fail("unterminated string");
            const char e = s_[pos_++];
            flush();
            switch (e) {
            case '\\':
                out += L'\\';
                break;
            case '"':
                out += L'"';
                break;
            case 'n':
                out += L'\n';
                break;
            case 'r':
                out += L'\r';
                break;
            case 't':
                out += L'\t';
                break;
            case 'u': {
                unsigned v = 0;
                auto [p, ec] =
                    std::from_chars(s_.data() + pos_, s_.data() + std::min(pos_ + 4, s_.size()), v, 16);
                if (ec != std::errc() || p != s_.data() + pos_ + 4)
                    Fail("bad \\u escape");
                pos_ += 4;
                out += static_cast<wchar_t>(v);
                break;
            }
            default:
                Fail("unknown escape");
            }
        }
        flush();
        return out;
    }

    Variant Number() {
        Skip();
        const std::size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '-' ||
                                    s_[pos_] == '+' || s_[pos_] == '.'))
            ++pos_;
        std::string t = s_.substr(start, pos_ - start);
        if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
            std::uint32_t v = 0;
            auto [p, ec] = std::from_chars(t.data() + 2, t.data() + t.size(), v, 16);
            if (ec != std::errc() || p != t.data() + t.size() || t.size() > 10)
                Fail("bad hexadecimal number");
            return Variant(static_cast<std::int32_t>(v));
        }
        if (t.find_first_of(".eEfF") == std::string::npos) {
            std::int64_t v = 0;
            auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
            if (ec != std::errc() || p != t.data() + t.size())
                Fail("bad number");
            if (v < INT32_MIN || v > INT32_MAX)
                return Variant(static_cast<double>(v));
            return Variant(static_cast<std::int32_t>(v));
        }
        const bool single = !t.empty() && (t.back() == 'f' || t.back() == 'F');
        if (single) {
            t.pop_back();
            float v = 0;
            auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
            if (ec != std::errc() || p != t.data() + t.size())
                Fail("bad number");
            return Variant(v);
        }
        double v = 0;
        auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (ec != std::errc() || p != t.data() + t.size())
            Fail("bad number");
        return Variant(v);
    }

    Variant Value() {
        Skip();
        if (pos_ >= s_.size())
            Fail("missing value");
        const char c = s_[pos_];
        if (c == '"')
            return Variant(String());
        if (c == '-' || c == '+' || c == '.' || std::isdigit(static_cast<unsigned char>(c)))
            return Number();
        const std::string w = Word();
        if (w == "true")
            return Variant::Boolean(true);
        if (w == "false")
            return Variant::Boolean(false);
        if (w == "empty")
            return Variant();
        if (w == "null")
            return Variant(Null{});
        if (w == "none")
            return Variant(PicturePtr());
        if (w == "font")
            return Variant(Font());
        if (w == "picture")
            return Variant(Picture());
        Fail("unknown value '" + w + "'");
    }

    // name = value pairs inside braces, handed to `attribute` one by one.
    template <class F> void Group(F attribute) {
        Expect('{');
        if (Accept('}'))
            return;
        do {
            const std::string name = Word();
            if (name.empty())
                Fail("expected an attribute name");
            Expect('=');
            attribute(name, Value());
        } while (Accept(','));
        Expect('}');
    }

    FontPtr Font() {
        auto f = StdFont::Create();
        Group([&](const std::string& name, const Variant& v) {
            if (name == "name")
                f->Name(v.ToString());
            else if (name == "size")
                f->Size(v.ToDouble());
            else if (name == "weight")
                f->Weight(v.ToInteger());
            else if (name == "bold")
                f->Bold(v.ToBool() != 0);
            else if (name == "italic")
                f->Italic(v.ToBool() != 0);
            else if (name == "underline")
                f->Underline(v.ToBool() != 0);
            else if (name == "strikethrough")
                f->Strikethrough(v.ToBool() != 0);
            else if (name == "charset")
                f->Charset(v.ToInteger());
            else
                Fail("unknown font attribute '" + name + "'");
        });
        return f;
    }

    PicturePtr Picture() {
        PicturePtr pic;
        Group([&](const std::string& name, const Variant& v) {
            if (pic)
                Fail("a picture has one source");
            if (name == "file") {
                std::wstring path = v.ToString();
                if (!baseDir_.empty() && PathIsRelativeW(path.c_str()))
                    path = baseDir_ + L"\\" + path;
                pic = tk::Picture::FromFile(path);
            } else if (name == "base64") {
                std::vector<unsigned char> bytes;
                if (!Unbase64(ToUtf8(v.ToString()), bytes))
                    Fail("bad base64");
                pic = tk::Picture::FromBytes(bytes);
            } else {
                Fail("unknown picture attribute '" + name + "'");
            }
        });
        return pic ? pic : tk::Picture::Empty();
    }

private:
    const std::string& s_;
    std::size_t pos_ = 0;
    int lineNo_;
    const std::wstring& baseDir_;
};

} // namespace

Variant PropertyBag::ReadProperty(const std::wstring& name, const Variant& defaultValue) const {
    auto it = values_.find(Lower(name));
    if (it == values_.end())
        return defaultValue;
    // Each read of a font hands out its own copy, so that the reader may change it freely.
    if (auto f = std::get_if<FontPtr>(&it->second.Get()); f && *f)
        return Variant((*f)->Clone());
    return it->second;
}

void PropertyBag::WriteProperty(const std::wstring& name, const Variant& value, const Variant& defaultValue) {
    const std::wstring key = Lower(name);
    if (value == defaultValue) {
        values_.erase(key);
        return;
    }
    if (auto f = std::get_if<FontPtr>(&value.Get()); f && *f)
        values_[key] = Variant((*f)->Clone());
    else
        values_[key] = value;
}

bool PropertyBag::Contains(const std::wstring& name) const {
    return values_.count(Lower(name)) != 0;
}

void PropertyBag::Remove(const std::wstring& name) {
    values_.erase(Lower(name));
}

void PropertyBag::Set(const std::wstring& name, const Variant& value) {
    values_[Lower(name)] = value;
}

std::vector<std::wstring> PropertyBag::Names() const {
    std::vector<std::wstring> names;
    for (const auto& [k, v] : values_)
        names.push_back(k);
    return names;
}

bool PropertyBag::operator==(const PropertyBag& other) const {
    if (values_.size() != other.values_.size())
        return false;
    for (auto a = values_.begin(), b = other.values_.begin(); a != values_.end(); ++a, ++b)
        if (a->first != b->first || !(a->second == b->second))
            return false;
    return true;
}

std::string PropertyBag::ToText() const {
    std::string out;
    for (const auto& [k, v] : values_)
        out += ToUtf8(k) + " = " + FormatValue(v) + "\n";
    return out;
}

PropertyBag PropertyBag::FromText(const std::string& text, const std::wstring& baseDir) {
    PropertyBag bag;
    std::size_t start = 0;
    int lineNo = 0;
    // A byte-order mark at the start is tolerated.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Parser p(line, lineNo, baseDir);
        if (p.AtEnd() || p.Accept('#'))
            continue;
        const std::string name = p.Word();
        if (name.empty())
            p.Fail("expected a name");
        p.Expect('=');
        Variant value = p.Value();
        if (!p.AtEnd())
            p.Fail("unexpected text after the value");
        bag.values_[Lower(FromUtf8(name))] = value;
    }
    return bag;
}

} // namespace tk
