// The store of one control instance's named values in the window's design: read with a default,
// written with one (kept only when unequal to it), names without regard to case.
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
    static PropertyBag FromText(const std::string& text); // throws VbError on malformed text

private:
    std::map<std::wstring, Variant> values_; // key: lower-case name
};

} // namespace tk
