// The store of one control instance's named values in the window's design: read with a default,
// written with one (kept only when unequal to it), names without regard to case.
//
// Text form (UTF-8, one entry per line, sorted by name, names in lower case):
//
//     # a comment; blank lines are ignored too
//     backcolor = 0x00C0FFC0
//     buttonstyle = 3
//     caption = "&Kapat"
//     enabled = true
//     font = font { name = "MS Sans Serif", size = 8.25, weight = 400, italic = false, underline = false,
//                   strikethrough = false, charset = 162 }      (written on one line)
//     picture = picture { file = "res\\logo.gif" }
//     picturehover = picture { base64 = "R0lGODlhEAAQ..." }
//     mouseicon = none
//
// Values:
//   true, false           a boolean (-1, 0)
//   123, -45              an integer (read back as 32-bit; the store compares numbers by value)
//   0x8000000F            a 32-bit integer in hexadecimal, two's complement; written for integers
//                         outside -65535..65535, which are nearly always colours
//   1.5, 2e3 / 1.5f       a double / a single (shortest form that reads back exactly)
//   "text"                a string; \\ \" \n \r \t and \uXXXX (one UTF-16 unit) escapes, everything
//                         else as UTF-8
//   empty, null           the empty and the null value
//   none                  no object (no picture, no font)
//   font { ... }          a font: name, size, weight, italic, underline, strikethrough, charset in any
//                         order, comma-separated; absent attributes take the defaults of a new font
//   picture { }           a picture object without an image
//   picture { file = "path" }    a picture read from a file (relative paths: the design file's folder)
//   picture { base64 = "..." }   a picture from the bytes of its file, base64-encoded
#pragma once

#include "toolkit/Variant.h"

#include <map>
#include <string>
#include <vector>

namespace tk {

class PropertyBag {
public:
    Variant ReadProperty(const std::wstring& name, const Variant& defaultValue = Variant()) const;
    void WriteProperty(const std::wstring& name, const Variant& value,
                       const Variant& defaultValue = Variant());

    bool Contains(const std::wstring& name) const;
    void Remove(const std::wstring& name);
    void Set(const std::wstring& name, const Variant& value); // the host's own entries, unconditionally
    std::vector<std::wstring> Names() const;                  // lower case, sorted
    bool operator==(const PropertyBag& other) const;

    // The design file's text form (UTF-8): one "name = value" line per entry, sorted by name.
    std::string ToText() const;
    // Throws VbError on malformed text or an unreadable picture; relative picture files are looked
    // up in baseDir.
    static PropertyBag FromText(const std::string& text, const std::wstring& baseDir = L"");

private:
    std::map<std::wstring, Variant> values_; // key: lower-case name
};

} // namespace tk
