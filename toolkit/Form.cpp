#include "toolkit/Form.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace tk {
namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring Widen(const std::string& s) {
    if (s.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

[[noreturn]] void BadDesign(const std::string& why) {
    throw VbError(err::InvalidFileFormat, "Invalid file format: " + why);
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// A value the host reads and, for a user control, takes out of the stored property set.
Variant Take(PropertyBag& bag, const wchar_t* name, const Variant& fallback) {
    Variant v = bag.ReadProperty(name, fallback);
    bag.Remove(name);
    return v;
}

std::vector<unsigned char> ResourceBytes(const std::wstring& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!info)
        throw VbError(err::FileNotFound, "Resource not found");
    HGLOBAL data = LoadResource(module, info);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(data));
    return {bytes, bytes + SizeofResource(module, info)};
}

const wchar_t* FormClass() {
    return L"TkForm";
}

std::wstring ProgramName() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.substr(0, name.rfind(L'.'));
}

} // namespace

struct Form::Entry {
    std::wstring kind, name;
    PropertyBag bag;
    int left = 0, top = 0, width = 0, height = 0; // twips
    int tabIndex = -1;
    bool visible = true;
    int id = 0;
    std::unique_ptr<Label> label;
    std::unique_ptr<ProgressBar> progress;
    std::unique_ptr<FileList> files;
    std::unique_ptr<Timer> timer;
    std::unique_ptr<Site> site;
    std::unique_ptr<UserControl> control;
    PicturePtr picture; // an image's

    RECT Pixels() const {
        const int x = TwipsToPixelsX(left), y = TwipsToPixelsY(top);
        return {x, y, x + TwipsToPixelsX(width), y + TwipsToPixelsY(height)};
    }
    HWND Window() const {
        if (label)
            return label->hWnd();
        if (progress)
            return progress->hWnd();
        if (control)
            return control->hWnd();
        return nullptr;
    }
};

// What the form offers one user control.
class Form::Site : public ControlSite {
public:
    Site(Form& form, Entry& entry) : form_(form), entry_(entry) {}

    bool AmbientUserMode() const override { return true; }
    std::wstring AmbientDisplayName() const override { return entry_.name; }
    FontPtr AmbientFont() const override { return form_.font_->Clone(); }

    Variant ExtenderMember(const std::wstring& name) override {
        const std::wstring n = Lower(name);
        HWND w = entry_.Window();
        if (n == L"name")
            return Variant(entry_.name);
        if (n == L"default" || n == L"cancel")
            return Variant::Boolean(false);
        if (n == L"visible")
            return Variant::Boolean(w && IsWindowVisible(w));
        if (n == L"tabindex")
            return Variant(static_cast<std::int16_t>(entry_.tabIndex));
        if (n == L"left" || n == L"top" || n == L"width" || n == L"height") {
            RECT r{};
            if (w) {
                GetWindowRect(w, &r);
                MapWindowPoints(nullptr, form_.hwnd_, reinterpret_cast<POINT*>(&r), 2);
            }
            const double px = n == L"left"    ? r.left
                              : n == L"top"   ? r.top
                              : n == L"width" ? r.right - r.left
                                              : r.bottom - r.top;
            const bool horizontal = n == L"left" || n == L"width";
            return Variant(px * (horizontal ? UserControl::TwipsPerPixelX() : UserControl::TwipsPerPixelY()));
        }
        throw VbError(err::NoSuchMember, "Object doesn't support this property or method");
    }

    Variant ParentMember(const std::wstring& name) override {
        const std::wstring n = Lower(name);
        if (n == L"scalemode")
            return Variant(vbTwips);
        if (n == L"picture")
            return Variant(Picture::Empty());
        if (n == L"hwnd")
            return Variant(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(form_.hwnd_)));
        if (n == L"caption")
            return Variant(form_.caption_);
        if (n == L"backcolor")
            return Variant(static_cast<std::int32_t>(form_.backColor_));
        if (n == L"font")
            return Variant(form_.font_);
        throw VbError(err::NoSuchMember, "Object doesn't support this property or method");
    }

    HWND ParentWindow() const override { return form_.hwnd_; }
    // The design is not saved while the program runs.
    void PropertyChanged(const std::wstring&) override {}

private:
    Form& form_;
    Entry& entry_;
};

int Form::TwipsToPixelsX(double twips) {
    return static_cast<int>(std::nearbyint(twips / UserControl::TwipsPerPixelX()));
}

int Form::TwipsToPixelsY(double twips) {
    return static_cast<int>(std::nearbyint(twips / UserControl::TwipsPerPixelY()));
}

Form::Form(const std::string& design) : font_(StdFont::Create()) {
    End = [](UINT code) { ExitProcess(code); };
    ReportUnhandledError = [this](int number, const std::wstring& description) {
        const std::wstring text =
            L"Çalışma zamanı hatası '" + std::to_wstring(number) + L"':\n\n" + description;
        MessageBoxW(hwnd_, text.c_str(), ProgramName().c_str(), MB_OK | MB_ICONERROR);
        End(1);
    };

    std::size_t pos = 0;
    Entry* open = nullptr;
    std::string body;
    bool first = true;
    while (pos < design.size()) {
        std::size_t eol = design.find('\n', pos);
        if (eol == std::string::npos)
            eol = design.size();
        const std::string line = Trim(design.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.rfind("begin ", 0) == 0) {
            if (open)
                BadDesign("nested begin");
            const std::string rest = Trim(line.substr(6));
            const auto space = rest.find(' ');
            if (space == std::string::npos)
                BadDesign("begin without a name");
            entries_.push_back(std::make_unique<Entry>());
            open = entries_.back().get();
            open->kind = Widen(rest.substr(0, space));
            open->name = Widen(Trim(rest.substr(space + 1)));
            body.clear();
        } else if (line == "end") {
            if (!open)
                BadDesign("end without begin");
            PropertyBag bag = PropertyBag::FromText(body);
            if (first) {
                if (open->kind != L"Form")
                    BadDesign("the first block is not the form");
                caption_ = bag.ReadProperty(L"caption", L"").ToString();
                clientWidthTwips_ = bag.ReadProperty(L"clientwidth", 4800).ToLong();
                clientHeightTwips_ = bag.ReadProperty(L"clientheight", 3600).ToLong();
                backColor_ = bag.ReadProperty(L"backcolor", static_cast<std::int32_t>(0x8000000F)).ToLong();
                if (bag.Contains(L"font"))
                    font_ = bag.ReadProperty(L"font").ToFont();
                iconResource_ = bag.ReadProperty(L"icon", L"").ToString();
                entries_.pop_back();
                first = false;
            } else {
                open->left = Take(bag, L"left", 0).ToLong();
                open->top = Take(bag, L"top", 0).ToLong();
                open->width = Take(bag, L"width", 0).ToLong();
                open->height = Take(bag, L"height", 0).ToLong();
                open->tabIndex = Take(bag, L"tabindex", -1).ToLong();
                open->visible = Take(bag, L"visible", Variant::Boolean(true)).ToBool() != 0;
                open->id = Take(bag, L"id", 0).ToLong();
                open->bag = std::move(bag);
            }
            open = nullptr;
        } else if (open) {
            body += line + "\n";
        } else if (!line.empty() && line[0] != '#') {
            BadDesign("text outside a block");
        }
    }
    if (open || first)
        BadDesign("incomplete design");
}

Form::~Form() {
    for (auto& e : entries_)
        e->control.reset();
    entries_.clear();
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (formFont_)
        DeleteObject(formFont_);
    if (bigIcon_)
        DestroyIcon(bigIcon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

void Form::RegisterUserControl(const std::wstring& kind, UserControlFactory factory) {
    factories_[kind] = std::move(factory);
}

void Form::Create() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Form::WndProc;
        wc.cbWndExtra = sizeof(void*);
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = FormClass();
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;

    // A fixed frame with a close box and neither minimize nor maximize box.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, TwipsToPixelsX(clientWidthTwips_), TwipsToPixelsY(clientHeightTwips_)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    hwnd_ = CreateWindowExW(0, FormClass(), caption_.c_str(), style, x, y, w, h, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
    if (!hwnd_)
        throw VbError(7, "The window could not be created");

    HDC screen = GetDC(nullptr);
    LOGFONTW lf = font_->ToLogFont(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    formFont_ = CreateFontIndirectW(&lf);
    if (!iconResource_.empty()) {
        HINSTANCE module = GetModuleHandleW(nullptr);
        bigIcon_ =
            static_cast<HICON>(LoadImageW(module, iconResource_.c_str(), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
        smallIcon_ =
            static_cast<HICON>(LoadImageW(module, iconResource_.c_str(), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }

    // Windows are made in tab order, so that their order among siblings is the tab order too.
    std::vector<Entry*> order;
    for (auto& e : entries_)
        order.push_back(e.get());
    std::stable_sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) {
        const int ka = a->tabIndex < 0 ? 1 << 30 : a->tabIndex, kb = b->tabIndex < 0 ? 1 << 30 : b->tabIndex;
        return ka < kb;
    });
    for (Entry* e : order) {
        PropertyBag& bag = e->bag;
        const RECT px = e->Pixels();
        if (e->kind == L"Label") {
            e->label = std::make_unique<Label>(*this, e->id, px);
            Label& l = *e->label;
            l.Font = bag.Contains(L"font") ? bag.ReadProperty(L"font").ToFont() : font_->Clone();
            l.ForeColor = bag.ReadProperty(L"forecolor", static_cast<std::int32_t>(0x80000012)).ToLong();
            l.BackColor = bag.ReadProperty(L"backcolor", static_cast<std::int32_t>(0x8000000F)).ToLong();
            l.Transparent = bag.ReadProperty(L"backstyle", 1).ToLong() == 0;
            l.SingleBorder = bag.ReadProperty(L"borderstyle", 0).ToLong() == 1;
            l.Caption(bag.ReadProperty(L"caption", L"").ToString());
            if (e->visible)
                ShowWindow(l.hWnd(), SW_SHOWNA);
        } else if (e->kind == L"ProgressBar") {
            e->progress = std::make_unique<ProgressBar>(
                hwnd_, e->id, px, bag.ReadProperty(L"min", 0).ToSingle(),
                bag.ReadProperty(L"max", 100).ToSingle(), bag.ReadProperty(L"value", 0).ToSingle());
            if (e->visible)
                ShowWindow(e->progress->hWnd(), SW_SHOWNA);
        } else if (e->kind == L"FileList") {
            e->files = std::make_unique<FileList>(bag.ReadProperty(L"pattern", L"*.*").ToString());
        } else if (e->kind == L"Timer") {
            e->timer =
                std::make_unique<Timer>(hwnd_, static_cast<UINT>(bag.ReadProperty(L"interval", 0).ToLong()));
            e->timer->Enabled(bag.ReadProperty(L"enabled", Variant::Boolean(true)).ToBool() != 0);
        } else if (e->kind == L"Image") {
            const std::wstring resource = bag.ReadProperty(L"resource", L"").ToString();
            if (!resource.empty())
                e->picture = Picture::FromBytes(ResourceBytes(resource));
        } else {
            auto factory = factories_.find(e->kind);
            if (factory == factories_.end())
                BadDesign("unknown control kind");
            e->control = factory->second();
            e->site = std::make_unique<Site>(*this, *e);
            e->control->Create(*e->site, hwnd_, px.left, px.top, px.right - px.left, px.bottom - px.top,
                               e->visible, &bag);
            SetWindowLongPtrW(e->control->hWnd(), GWLP_ID, e->id);
            tabOrder_.push_back(e->control->hWnd());
        }
    }
    // Labels lie under every windowed control.
    for (auto& e : entries_)
        if (e->label)
            SetWindowPos(e->label->hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Form_Load();
}

void Form::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

Form::Entry& Form::Find(const std::wstring& name) {
    for (auto& e : entries_)
        if (e->name == name)
            return *e;
    throw VbError(err::NoSuchMember, "No such control");
}

Label& Form::GetLabel(const std::wstring& name) {
    Entry& e = Find(name);
    if (!e.label)
        throw VbError(err::TypeMismatch, "Not a label");
    return *e.label;
}

ProgressBar& Form::GetProgressBar(const std::wstring& name) {
    Entry& e = Find(name);
    if (!e.progress)
        throw VbError(err::TypeMismatch, "Not a progress bar");
    return *e.progress;
}

FileList& Form::GetFileList(const std::wstring& name) {
    Entry& e = Find(name);
    if (!e.files)
        throw VbError(err::TypeMismatch, "Not a file list");
    return *e.files;
}

Timer& Form::GetTimer(const std::wstring& name) {
    Entry& e = Find(name);
    if (!e.timer)
        throw VbError(err::TypeMismatch, "Not a timer");
    return *e.timer;
}

UserControl& Form::GetUserControl(const std::wstring& name) {
    Entry& e = Find(name);
    if (!e.control)
        throw VbError(err::TypeMismatch, "Not a user control");
    return *e.control;
}

void Form::SetVisible(const std::wstring& name, bool on) {
    Entry& e = Find(name);
    e.visible = on;
    if (HWND w = e.Window())
        ShowWindow(w, on ? SW_SHOWNA : SW_HIDE);
    else if (e.picture)
        InvalidateRect(hwnd_, nullptr, FALSE);
}

void Form::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool Form::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !hwnd_ ||
        (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)))
        return false;
    std::vector<HWND> stops;
    for (HWND w : tabOrder_)
        if (IsWindowVisible(w) && IsWindowEnabled(w))
            stops.push_back(w);
    if (stops.empty())
        return true;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    auto at = std::find(stops.begin(), stops.end(), GetFocus());
    std::size_t i = 0;
    if (at == stops.end())
        i = back ? stops.size() - 1 : 0;
    else {
        const std::size_t cur = static_cast<std::size_t>(at - stops.begin());
        i = back ? (cur + stops.size() - 1) % stops.size() : (cur + 1) % stops.size();
    }
    SetFocus(stops[i]);
    return true;
}

void Form::DrawScene(HDC dc, const RECT& area) const {
    HBRUSH back = CreateSolidBrush(TranslateColor(backColor_));
    FillRect(dc, &area, back);
    DeleteObject(back);
    for (const auto& e : entries_) {
        if (!e->visible)
            continue;
        RECT r = e->Pixels(), overlap{};
        if (!IntersectRect(&overlap, &r, &area))
            continue;
        if (e->label) {
            e->label->Draw(dc);
        } else if (e->picture && e->picture->Get()) {
            // An image control shows its picture at its natural size.
            const long w = e->picture->Width(), h = e->picture->Height();
            const int pw = TwipsToPixelsX(w * 1440.0 / 2540.0), ph = TwipsToPixelsY(h * 1440.0 / 2540.0);
            e->picture->Get()->Render(dc, r.left, r.top, pw, ph, 0, h, w, -h, nullptr);
        }
    }
}

void Form::RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const VbError& e) {
        ReportUnhandledError(e.Number(), Widen(e.what()));
    } catch (const std::exception& e) {
        ReportUnhandledError(51, Widen(e.what()));
    }
}

LRESULT Form::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        DrawScene(dc, ps.rcPaint);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_TIMER:
        for (auto& e : entries_)
            if (e->timer) {
                bool mine = false;
                RunGuarded([&] { mine = e->timer->OnTimer(static_cast<UINT_PTR>(wp)); });
                if (mine)
                    return 0;
            }
        break;
    case WM_SYSCHAR:
        if (UserControl::RouteAccessKey(hwnd_, static_cast<wchar_t>(wp)))
            return 0;
        break;
    case WM_CLOSE:
        // The close box ends the program as the close button does.
        End(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Form::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* f = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(f));
        f->hwnd_ = hwnd;
    }
    auto* f = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, 0));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        if (f)
            f->hwnd_ = nullptr;
    }
    if (!f || msg == WM_NCDESTROY)
        return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        return f->OnMessage(msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

} // namespace tk
