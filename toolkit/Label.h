// A label: a child window whose window text is its caption, so that screen readers, UI automation and
// other programs read it. Its pixels come from the form it lives on, which draws the labels and images
// behind it first, so that a transparent label shows what lies under it.
#pragma once

#include "toolkit/Font.h"
#include "toolkit/Variant.h"

#include <windows.h>

#include <string>

namespace tk {

class Form;

class Label {
public:
    Label(Form& form, int id, RECT pixels);
    ~Label();
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;

    std::wstring Caption() const { return caption_; }
    void Caption(const std::wstring& text); // shown at the next paint
    void Refresh();                         // repaints at once

    OLE_COLOR BackColor = static_cast<OLE_COLOR>(0x8000000F);
    OLE_COLOR ForeColor = static_cast<OLE_COLOR>(0x80000012);
    bool Transparent = false;  // BackStyle 0
    bool SingleBorder = false; // BorderStyle 1
    FontPtr Font;

    HWND hWnd() const { return hwnd_; }
    RECT Bounds() const { return bounds_; } // in the form's client pixels
    // Draws the label into dc, whose origin is the form's client origin.
    void Draw(HDC dc) const;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    Form& form_;
    HWND hwnd_ = nullptr; // owned
    RECT bounds_;
    std::wstring caption_;
};

// Colour value (literal or system colour) to a literal colour.
COLORREF TranslateColor(OLE_COLOR color);

} // namespace tk
