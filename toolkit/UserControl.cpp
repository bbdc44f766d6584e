#include "toolkit/UserControl.h"

#include <olectl.h>
#include <windowsx.h>

#include <cmath>
#include <utility>
#include <cwctype>

namespace tk {
namespace {

COLORREF Translate(OLE_COLOR c) {
    COLORREF out = 0;
    if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(c), nullptr, &out)))
        out = static_cast<COLORREF>(c) & 0x00FFFFFF;
    return out;
}

int ScreenDpi(int index) {
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), index);
    return dpi > 0 ? dpi : 96;
}

// Twips in one unit of each scale mode; pixels depend on the screen.
double TwipsPerUnit(std::int16_t mode, bool horizontal) {
    switch (mode) {
    case vbTwips:
        return 1;
    case vbPoints:
        return 20;
    case 4: // characters: 120 twips wide, 240 high
        return horizontal ? 120 : 240;
    case vbInches:
        return 1440;
    case vbMillimeters:
        return 1440 / 25.4;
    case vbCentimeters:
        return 1440 / 2.54;
    case vbHimetric:
        return 1440 / 2540.0;
    default: // pixels, and the user scale, which this host keeps equal to pixels
        return horizontal ? UserControl::TwipsPerPixelX() : UserControl::TwipsPerPixelY();
    }
}

std::int16_t ShiftState() {
    std::int16_t s = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        s |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        s |= 2;
    if (GetKeyState(VK_MENU) < 0)
        s |= 4;
    return s;
}

std::int16_t ButtonsDown(WPARAM wp) {
    std::int16_t b = 0;
    if (wp & MK_LBUTTON)
        b |= 1;
    if (wp & MK_RBUTTON)
        b |= 2;
    if (wp & MK_MBUTTON)
        b |= 4;
    return b;
}

} // namespace

double UserControl::TwipsPerPixelX() {
    static const double v = 1440.0 / ScreenDpi(LOGPIXELSX);
    return v;
}

double UserControl::TwipsPerPixelY() {
    static const double v = 1440.0 / ScreenDpi(LOGPIXELSY);
    return v;
}

UserControl::UserControl() : font_(StdFont::Create()) {}

UserControl::~UserControl() {
    Destroy();
}

void UserControl::Create(ControlSite& site, HWND parent, int x, int y, int width, int height, bool visible,
                         const PropertyBag* stored) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &UserControl::WndProc;
        wc.cbWndExtra = sizeof(void*);
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = ClassName();
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    site_ = &site;

    {
        WindowDc screen(nullptr);
        backDc_ = MemoryDc(screen.get());
    }
    // Caption output leaves the face behind the text as it is.
    SetBkMode(hDC(), TRANSPARENT);
    SetBkColor(hDC(), Translate(backColor_));
    SetTextColor(hDC(), Translate(foreColor_));
    ApplySurfaceFont();
    fontSubscription_ = font_->Subscribe([this](const std::wstring&) { ApplySurfaceFont(); });

    hwnd_ = CreateWindowExW(0, ClassName(), L"", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP, x, y, width, height,
                            parent, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_)
        throw VbError(7, "The control's window could not be created");
    ResizeBackImage();

    HandleInitialize();
    if (stored) {
        PropertyBag copy = *stored;
        HandleReadProperties(copy);
    } else {
        HandleInitProperties();
    }
    ready_ = true;
    if (visible)
        ShowWindow(hwnd_, SW_SHOWNA);
    HandleResize();
}

void UserControl::Destroy() {
    if (hwnd_)
        DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    if (font_ && fontSubscription_) {
        font_->Unsubscribe(fontSubscription_);
        fontSubscription_ = 0;
    }
    // The DC's own objects go back in before the DC, the font and the bitmap are deleted.
    if (backDc_) {
        if (backOldFont_)
            SelectObject(hDC(), backOldFont_);
        if (backOldBitmap_)
            SelectObject(hDC(), backOldBitmap_);
        backDc_.reset();
    }
    surfaceFont_.reset();
    backBitmap_.reset();
    backOldFont_ = backOldBitmap_ = nullptr;
}

void UserControl::SaveProperties(PropertyBag& bag) {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    bag.Set(L"_ExtentX",
            static_cast<std::int32_t>(std::nearbyint(ScaleX(r.right - r.left, vbPixels, vbHimetric))));
    bag.Set(L"_ExtentY",
            static_cast<std::int32_t>(std::nearbyint(ScaleY(r.bottom - r.top, vbPixels, vbHimetric))));
    HandleWriteProperties(bag);
}

bool UserControl::UcEnabled() const {
    return enabled_;
}

void UserControl::UcEnabled(bool on) {
    enabled_ = on;
    if (hwnd_)
        EnableWindow(hwnd_, on ? TRUE : FALSE);
}

void UserControl::UcMousePointer(std::int16_t code) {
    mousePointer_ = code;
}

void UserControl::UcMouseIcon(const PicturePtr& icon) {
    mouseIcon_ = icon;
}

void UserControl::AccessKeys(const std::wstring& keys) {
    accessKeys_ = keys;
}

void UserControl::UcFont(const FontPtr& font) {
    if (!font)
        throw VbError(err::ObjectNotSet, "Object variable not set");
    if (fontSubscription_)
        font_->Unsubscribe(fontSubscription_);
    font_ = font->Clone();
    fontSubscription_ = font_->Subscribe([this](const std::wstring&) { ApplySurfaceFont(); });
    ApplySurfaceFont();
}

void UserControl::ApplySurfaceFont() {
    if (!backDc_)
        return;
    LOGFONTW lf = font_->ToLogFont(GetDeviceCaps(hDC(), LOGPIXELSY));
    GdiObject<HFONT> created(CreateFontIndirectW(&lf));
    if (!created)
        return;
    HGDIOBJ previous = SelectObject(hDC(), created.get());
    if (!backOldFont_)
        backOldFont_ = previous;
    surfaceFont_ = std::move(created); // the font it replaced is out of the DC now
}

void UserControl::UcBackColor(OLE_COLOR c) {
    backColor_ = c;
    if (backDc_)
        SetBkColor(hDC(), Translate(c));
    Cls();
}

void UserControl::UcForeColor(OLE_COLOR c) {
    foreColor_ = c;
    if (backDc_)
        SetTextColor(hDC(), Translate(c));
}

void UserControl::AutoRedraw(bool on) {
    autoRedraw_ = on;
    if (!on)
        SurfaceChanged();
}

void UserControl::SurfaceChanged() {
    if (hwnd_ && !autoRedraw_) {
        InvalidateRect(hwnd_, nullptr, FALSE);
        UpdateWindow(hwnd_);
    }
}

void UserControl::Cls() {
    if (!backDc_)
        return;
    GdiObject<HBRUSH> brush(CreateSolidBrush(Translate(backColor_)));
    RECT r{0, 0, backWidth_, backHeight_};
    FillRect(hDC(), &r, brush.get());
    SurfaceChanged();
}

void UserControl::ScaleMode(std::int16_t mode) {
    scaleMode_ = mode;
}

double UserControl::ScaleWidth() const {
    RECT r{};
    if (hwnd_)
        GetClientRect(hwnd_, &r);
    return ScaleX(r.right - r.left, vbPixels, scaleMode_);
}

double UserControl::ScaleHeight() const {
    RECT r{};
    if (hwnd_)
        GetClientRect(hwnd_, &r);
    return ScaleY(r.bottom - r.top, vbPixels, scaleMode_);
}

double UserControl::ScaleX(double value, std::int16_t from, std::int16_t to) const {
    return value * TwipsPerUnit(from, true) / TwipsPerUnit(to, true);
}

double UserControl::ScaleY(double value, std::int16_t from, std::int16_t to) const {
    return value * TwipsPerUnit(from, false) / TwipsPerUnit(to, false);
}

void UserControl::PaintPicture(const PicturePtr& picture, double x, double y, double width, double height,
                               double srcX, double srcY, double srcWidth, double srcHeight) {
    if (!picture)
        throw VbError(err::ObjectNotSet, "Object variable not set");
    if (!picture->Get() || picture->Type() == PicTypeNone || !backDc_)
        return;
    auto px = [&](double v) { return static_cast<LONG>(std::nearbyint(ScaleX(v, scaleMode_, vbPixels))); };
    auto py = [&](double v) { return static_cast<LONG>(std::nearbyint(ScaleY(v, scaleMode_, vbPixels))); };
    auto hx = [&](double v) { return static_cast<LONG>(std::nearbyint(ScaleX(v, scaleMode_, vbHimetric))); };
    auto hy = [&](double v) { return static_cast<LONG>(std::nearbyint(ScaleY(v, scaleMode_, vbHimetric))); };
    // The picture's source rectangle runs bottom-up in HIMETRIC.
    const LONG sx = hx(srcX), sw = hx(srcWidth), sh = hy(srcHeight);
    const LONG sy = picture->Height() - hy(srcY);
    picture->Get()->Render(hDC(), px(x), py(y), px(width), py(height), sx, sy, sw, -sh, nullptr);
    SurfaceChanged();
}

double UserControl::Width() const {
    RECT r{};
    if (hwnd_)
        GetWindowRect(hwnd_, &r);
    return (r.right - r.left) * TwipsPerPixelX();
}

void UserControl::Width(double twips) {
    if (!hwnd_)
        return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int px = static_cast<int>(std::nearbyint(twips / TwipsPerPixelX()));
    SetWindowPos(hwnd_, nullptr, 0, 0, px, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double UserControl::Height() const {
    RECT r{};
    if (hwnd_)
        GetWindowRect(hwnd_, &r);
    return (r.bottom - r.top) * TwipsPerPixelY();
}

void UserControl::Height(double twips) {
    if (!hwnd_)
        return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int px = static_cast<int>(std::nearbyint(twips / TwipsPerPixelY()));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, px, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void UserControl::PropertyChanged(const std::wstring& name) {
    if (site_)
        site_->PropertyChanged(name);
}

void UserControl::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void UserControl::CaptureMouse() {
    if (hwnd_)
        SetCapture(hwnd_);
}

void UserControl::DeliverAccessKey(wchar_t key) {
    std::int16_t k = static_cast<std::int16_t>(key);
    HandleAccessKey(k);
}

void UserControl::DeliverAmbientChange(const std::wstring& name) {
    HandleAmbientChange(name);
}

UserControl* UserControl::FromWindow(HWND hwnd) {
    wchar_t cls[32] = {};
    if (!hwnd || !GetClassNameW(hwnd, cls, 32) || lstrcmpW(cls, ClassName()) != 0)
        return nullptr;
    return reinterpret_cast<UserControl*>(GetWindowLongPtrW(hwnd, 0));
}

bool UserControl::RouteAccessKey(HWND root, wchar_t key) {
    struct Search {
        wchar_t key;
        UserControl* found = nullptr;
    } search{static_cast<wchar_t>(std::towlower(key))};
    EnumChildWindows(
        root,
        [](HWND h, LPARAM lp) noexcept -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            UserControl* uc = FromWindow(h);
            if (!uc || !IsWindowVisible(h) || !IsWindowEnabled(h))
                return TRUE;
            for (wchar_t c : uc->accessKeys_)
                if (static_cast<wchar_t>(std::towlower(c)) == s->key) {
                    s->found = uc;
                    return FALSE;
                }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return false;
    search.found->DeliverAccessKey(key);
    return true;
}

bool UserControl::PreTranslateAccessKey(const MSG& msg) {
    if (msg.message != WM_SYSCHAR || !msg.hwnd)
        return false;
    return RouteAccessKey(GetAncestor(msg.hwnd, GA_ROOT), static_cast<wchar_t>(msg.wParam));
}

void UserControl::ResizeBackImage() {
    RECT r{};
    GetClientRect(hwnd_, &r);
    const int w = r.right > 0 ? r.right : 1;
    const int h = r.bottom > 0 ? r.bottom : 1;
    if (backBitmap_ && w == backWidth_ && h == backHeight_)
        return;
    GdiObject<HBITMAP> bitmap;
    {
        WindowDc screen(nullptr);
        bitmap.reset(CreateCompatibleBitmap(screen.get(), w, h));
    }
    if (!bitmap)
        return;
    // The new image starts in the back colour and keeps what the old one showed.
    {
        MemoryDc work(hDC());
        Selection selected(work.get(), bitmap.get());
        GdiObject<HBRUSH> brush(CreateSolidBrush(Translate(backColor_)));
        RECT all{0, 0, w, h};
        FillRect(work.get(), &all, brush.get());
        if (backBitmap_)
            BitBlt(work.get(), 0, 0, backWidth_, backHeight_, hDC(), 0, 0, SRCCOPY);
    }
    HGDIOBJ previous = SelectObject(hDC(), bitmap.get());
    if (!backOldBitmap_)
        backOldBitmap_ = previous;
    backBitmap_ = std::move(bitmap); // the bitmap it replaced is out of the DC now
    backWidth_ = w;
    backHeight_ = h;
}

void UserControl::PaintFromBackImage(HDC target) {
    BitBlt(target, 0, 0, backWidth_, backHeight_, hDC(), 0, 0, SRCCOPY);
}

float UserControl::ToScaleX(int px) const {
    return static_cast<float>(ScaleX(px, vbPixels, scaleMode_));
}

float UserControl::ToScaleY(int px) const {
    return static_cast<float>(ScaleY(px, vbPixels, scaleMode_));
}

void UserControl::OnMouseButton(UINT msg, WPARAM wp, LPARAM lp) {
    std::int16_t button = 1;
    bool down = false;
    switch (msg) {
    case WM_LBUTTONDOWN:
        down = true;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        button = 2;
        down = true;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        button = 4;
        down = true;
        break;
    case WM_RBUTTONUP:
        button = 2;
        break;
    case WM_MBUTTONUP:
        button = 4;
        break;
    default:
        break;
    }
    std::int16_t shift = ShiftState();
    float x = ToScaleX(GET_X_LPARAM(lp));
    float y = ToScaleY(GET_Y_LPARAM(lp));
    if (down) {
        // The press takes the focus first, and the release will come here wherever the pointer goes.
        if (GetFocus() != hwnd_)
            SetFocus(hwnd_);
        if (GetCapture() != hwnd_)
            SetCapture(hwnd_);
        HandleMouseDown(button, shift, x, y);
    } else {
        HandleMouseUp(button, shift, x, y);
        if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && hwnd_ && GetCapture() == hwnd_)
            ReleaseCapture();
    }
}

LRESULT UserControl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        PaintFromBackImage(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintFromBackImage(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        ResizeBackImage();
        if (ready_)
            HandleResize();
        return 0;
    case WM_SETFOCUS:
        HandleFocusEnter();
        return 0;
    case WM_KILLFOCUS:
        HandleFocusExit();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        OnMouseButton(msg, wp, lp);
        return 0;
    case WM_LBUTTONDBLCLK:
        // The second press of a double click: the control decides what it means, including capture.
        if (GetFocus() != hwnd_)
            SetFocus(hwnd_);
        HandleDoubleClick();
        return 0;
    case WM_MOUSEMOVE: {
        std::int16_t button = ButtonsDown(wp);
        std::int16_t shift = ShiftState();
        float x = ToScaleX(GET_X_LPARAM(lp));
        float y = ToScaleY(GET_Y_LPARAM(lp));
        HandleMouseMove(button, shift, x, y);
        return 0;
    }
    case WM_KEYDOWN: {
        std::int16_t code = static_cast<std::int16_t>(wp);
        std::int16_t shift = ShiftState();
        HandleKeyDown(code, shift);
        return 0;
    }
    case WM_KEYUP: {
        std::int16_t code = static_cast<std::int16_t>(wp);
        std::int16_t shift = ShiftState();
        HandleKeyUp(code, shift);
        return 0;
    }
    case WM_CHAR: {
        std::int16_t ascii = static_cast<std::int16_t>(wp);
        HandleKeyPress(ascii);
        return 0;
    }
    case WM_SYSCHAR:
        if (RouteAccessKey(GetAncestor(hwnd_, GA_ROOT), static_cast<wchar_t>(wp)))
            return 0;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            static const wchar_t* const cursors[] = {
                IDC_ARROW,    IDC_ARROW,       IDC_CROSS,    IDC_IBEAM,  IDC_ARROW,   IDC_SIZEALL,
                IDC_SIZENESW, IDC_SIZENS,      IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT,
                IDC_NO,       IDC_APPSTARTING, IDC_HELP,     IDC_SIZEALL};
            HCURSOR cursor = nullptr;
            if (mousePointer_ == vbCustom) {
                // A custom pointer shows the icon picture; without one it is the ordinary arrow.
                if (mouseIcon_ && mouseIcon_->Type() == PicTypeIcon)
                    cursor = reinterpret_cast<HCURSOR>(mouseIcon_->Handle());
            } else if (mousePointer_ > 0 && mousePointer_ < static_cast<std::int16_t>(std::size(cursors))) {
                cursor = LoadCursorW(nullptr, cursors[mousePointer_]);
            }
            SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_TIMER:
        if (HandleTimerMessage(static_cast<UINT_PTR>(wp)))
            return 0;
        break;
    case WM_DESTROY:
        if (!terminated_) {
            terminated_ = true;
            HandleTerminate();
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK UserControl::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* uc = static_cast<UserControl*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(uc));
        uc->hwnd_ = hwnd;
    }
    auto* uc = reinterpret_cast<UserControl*>(GetWindowLongPtrW(hwnd, 0));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        if (uc)
            uc->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (!uc)
        return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        return uc->OnMessage(msg, wp, lp);
    } catch (...) {
        // A handler's failure has no caller to reach from here; the message counts as handled.
        return 0;
    }
}

} // namespace tk
