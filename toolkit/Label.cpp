#include "toolkit/Label.h"

#include "toolkit/Form.h"

#include <olectl.h>

namespace tk {

COLORREF TranslateColor(OLE_COLOR color) {
    COLORREF out = 0;
    if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(color), nullptr, &out)))
        out = static_cast<COLORREF>(color) & 0x00FFFFFF;
    return out;
}

namespace {

const wchar_t* LabelClass() {
    return L"TkLabel";
}

} // namespace

Label::Label(Form& form, int id, RECT pixels) : form_(form), bounds_(pixels) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Label::WndProc;
        wc.cbWndExtra = sizeof(void*);
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = LabelClass();
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    hwnd_ =
        CreateWindowExW(0, LabelClass(), L"", WS_CHILD | WS_CLIPSIBLINGS, pixels.left, pixels.top,
                        pixels.right - pixels.left, pixels.bottom - pixels.top, form.hWnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
}

Label::~Label() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void Label::Caption(const std::wstring& text) {
    caption_ = text;
    if (hwnd_) {
        SetWindowTextW(hwnd_, caption_.c_str());
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Label::Refresh() {
    if (hwnd_)
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Label::Draw(HDC dc) const {
    RECT r = bounds_;
    if (!Transparent) {
        HBRUSH back = CreateSolidBrush(TranslateColor(BackColor));
        FillRect(dc, &r, back);
        DeleteObject(back);
    }
    if (SingleBorder) {
        HBRUSH line = CreateSolidBrush(TranslateColor(ForeColor));
        FrameRect(dc, &r, line);
        DeleteObject(line);
        InflateRect(&r, -1, -1);
    }
    if (caption_.empty())
        return;
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
    if (Font) {
        LOGFONTW lf = Font->ToLogFont(GetDeviceCaps(dc, LOGPIXELSY));
        font = CreateFontIndirectW(&lf);
        if (font)
            oldFont = SelectObject(dc, font);
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, TranslateColor(ForeColor));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, DT_LEFT | DT_TOP | DT_WORDBREAK);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (font) {
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
}

LRESULT CALLBACK Label::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, 0,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<Label*>(GetWindowLongPtrW(hwnd, 0));
    switch (msg) {
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, 0, 0);
        if (self)
            self->hwnd_ = nullptr;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        // Clicks go to the form, as on a label that has no window of its own.
        return HTTRANSPARENT;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PAINTSTRUCT ps{};
        HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wp);
        if (self) {
            RECT area{};
            GetClientRect(hwnd, &area);
            if (msg == WM_PAINT)
                area = ps.rcPaint;
            OffsetRect(&area, self->bounds_.left, self->bounds_.top);
            POINT oldOrigin{};
            SetViewportOrgEx(dc, -self->bounds_.left, -self->bounds_.top, &oldOrigin);
            self->form_.DrawScene(dc, area);
            SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        }
        if (msg == WM_PAINT)
            EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace tk
