#include "toolkit/Font.h"

#include <algorithm>
#include <cmath>

namespace tk {

FontPtr StdFont::Create() {
    return std::make_shared<StdFont>();
}

FontPtr StdFont::Create(const std::wstring& name, double size, bool bold, bool italic, std::int16_t charset) {
    auto f = std::make_shared<StdFont>();
    f->name_ = name;
    f->size_ = size;
    f->weight_ = bold ? 700 : 400;
    f->italic_ = italic;
    f->charset_ = charset;
    return f;
}

void StdFont::Name(const std::wstring& v) {
    if (v == name_)
        return;
    name_ = v;
    Changed(L"Name");
}

void StdFont::Size(double v) {
    if (v == size_)
        return;
    size_ = v;
    Changed(L"Size");
}

void StdFont::Bold(bool v) {
    if (v == Bold())
        return;
    weight_ = v ? 700 : 400;
    Changed(L"Bold");
}

void StdFont::Italic(bool v) {
    if (v == italic_)
        return;
    italic_ = v;
    Changed(L"Italic");
}

void StdFont::Underline(bool v) {
    if (v == underline_)
        return;
    underline_ = v;
    Changed(L"Underline");
}

void StdFont::Strikethrough(bool v) {
    if (v == strikethrough_)
        return;
    strikethrough_ = v;
    Changed(L"Strikethrough");
}

void StdFont::Weight(std::int16_t v) {
    if (v == weight_)
        return;
    weight_ = v;
    Changed(L"Weight");
}

void StdFont::Charset(std::int16_t v) {
    if (v == charset_)
        return;
    charset_ = v;
    Changed(L"Charset");
}

int StdFont::Subscribe(Listener listener) {
    const int id = nextId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void StdFont::Unsubscribe(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void StdFont::Changed(const wchar_t* name) {
    // A listener may subscribe or unsubscribe while it runs.
    const auto listeners = listeners_;
    const std::wstring property(name);
    for (const auto& l : listeners)
        if (l.second)
            l.second(property);
}

LOGFONTW StdFont::ToLogFont(int dpiY) const {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::nearbyint(size_ * dpiY / 72.0));
    lf.lfWeight = weight_;
    lf.lfItalic = italic_ ? TRUE : FALSE;
    lf.lfUnderline = underline_ ? TRUE : FALSE;
    lf.lfStrikeOut = strikethrough_ ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const auto n = std::min<std::size_t>(name_.size(), LF_FACESIZE - 1);
    std::copy_n(name_.c_str(), n, lf.lfFaceName);
    return lf;
}

FontPtr StdFont::Clone() const {
    auto f = std::make_shared<StdFont>();
    f->name_ = name_;
    f->size_ = size_;
    f->weight_ = weight_;
    f->italic_ = italic_;
    f->underline_ = underline_;
    f->strikethrough_ = strikethrough_;
    f->charset_ = charset_;
    return f;
}

bool StdFont::SameAttributes(const StdFont& o) const {
    return name_ == o.name_ && size_ == o.size_ && weight_ == o.weight_ && italic_ == o.italic_ &&
           underline_ == o.underline_ && strikethrough_ == o.strikethrough_ && charset_ == o.charset_;
}

} // namespace tk
