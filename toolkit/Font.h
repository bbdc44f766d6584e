// The font object: attributes of a font, and a notification to its owners after each attribute
// that actually changed, carrying the attribute's name.
#pragma once

#include "toolkit/Variant.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tk {

class StdFont {
public:
    using Listener = std::function<void(const std::wstring& propertyName)>;

    static FontPtr Create(); // the platform's default attributes
    static FontPtr Create(const std::wstring& name, double size, bool bold = false, bool italic = false,
                          std::int16_t charset = DEFAULT_CHARSET);

    std::wstring Name() const { return name_; }
    void Name(const std::wstring& v);
    double Size() const { return size_; } // points
    void Size(double v);
    bool Bold() const { return weight_ >= 550; }
    void Bold(bool v);
    bool Italic() const { return italic_; }
    void Italic(bool v);
    bool Underline() const { return underline_; }
    void Underline(bool v);
    bool Strikethrough() const { return strikethrough_; }
    void Strikethrough(bool v);
    std::int16_t Weight() const { return weight_; }
    void Weight(std::int16_t v);
    std::int16_t Charset() const { return charset_; }
    void Charset(std::int16_t v);

    // A listener stays registered until the returned id is passed to Unsubscribe.
    int Subscribe(Listener listener);
    void Unsubscribe(int id);

    // The GDI font for these attributes at the given vertical resolution (dots per inch).
    LOGFONTW ToLogFont(int dpiY) const;
    FontPtr Clone() const;
    bool SameAttributes(const StdFont& other) const;

private:
    void Changed(const wchar_t* name);

    std::wstring name_ = L"MS Sans Serif";
    double size_ = 8.25;
    std::int16_t weight_ = 400;
    bool italic_ = false;
    bool underline_ = false;
    bool strikethrough_ = false;
    std::int16_t charset_ = DEFAULT_CHARSET;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 1;
};

} // namespace tk
