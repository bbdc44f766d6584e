#include "tests/support/TestHost.h"

#include "toolkit/UserControl.h"

#include <cwctype>

namespace testhost {
namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_SYSCHAR && tk::UserControl::RouteAccessKey(hwnd, static_cast<wchar_t>(wp)))
        return 0;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

TestWindow::TestWindow(int clientWidth, int clientHeight) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"TkTestWindow";
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    hwnd_ = CreateWindowExW(0, L"TkTestWindow", L"test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    PumpMessages();
}

TestWindow::~TestWindow() {
    if (hwnd_)
        DestroyWindow(hwnd_);
    PumpMessages();
}

TestSite::TestSite(HWND parent) : ambientFont(tk::StdFont::Create()), parentWindow(parent) {
    extender[L"default"] = tk::Variant::Boolean(false);
    extender[L"left"] = tk::Variant(0.0);
    extender[L"top"] = tk::Variant(0.0);
    extender[L"visible"] = tk::Variant::Boolean(true);
    parentMembers[L"scalemode"] = tk::Variant(std::int16_t{1});
    parentMembers[L"picture"] = tk::Variant(tk::Picture::Empty());
    parentMembers[L"hwnd"] = tk::Variant(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(parent)));
}

int TestSite::Count(const std::wstring& name) const {
    int n = 0;
    for (const auto& c : changes)
        n += c == name;
    return n;
}

tk::FontPtr TestSite::AmbientFont() const {
    return ambientFont ? ambientFont->Clone() : nullptr;
}

tk::Variant TestSite::ExtenderMember(const std::wstring& name) {
    auto it = extender.find(Lower(name));
    if (it == extender.end())
        throw tk::VbError(tk::err::NoSuchMember, "Object doesn't support this property or method");
    return it->second;
}

tk::Variant TestSite::ParentMember(const std::wstring& name) {
    auto it = parentMembers.find(Lower(name));
    if (it == parentMembers.end())
        throw tk::VbError(tk::err::NoSuchMember, "Object doesn't support this property or method");
    return it->second;
}

void TestSite::NavigateTo(const std::wstring& target, const std::wstring& location,
                          const std::wstring& frame) {
    navigations.push_back({target, location, frame});
}

void TestSite::ShellOpen(HWND owner, const std::wstring& link) {
    shellOpens.emplace_back(owner, link);
}

bool TestSite::PlaySoundFile(const std::wstring& file, DWORD flags) {
    sounds.emplace_back(file, flags);
    return soundResult;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

DWORD GdiObjects() {
    const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count || !RunningUnderWine())
        return count;
    // Wine's GetGuiResources answers 0. Its GDI handles carry the table index in their low word, and a
    // handle whose high word is 0 names whatever object lives at that index, so a scan counts them.
    DWORD live = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
            ++live;
    return live;
}

} // namespace testhost
