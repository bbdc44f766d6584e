// fbdriver: follows and ends a running FirmaBakim.exe from outside, for scripts.
//   fbdriver wait [SECONDS]   waits for the window, prints each status text it shows, and returns 0
//                             when it reads "İşlem Bitti", 2 when an error box appears (its text is
//                             printed), 1 on timeout
//   fbdriver close            sends Alt+K to the window and returns 0 once the program has ended
#include "tools/fbdriver/DriverSupport.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int IdLabel = 102;

void Print(const std::wstring& line) {
    const std::string s = driver::Narrow(line) + "\n";
    std::fwrite(s.data(), 1, s.size(), stdout);
    std::fflush(stdout);
}

HWND FindForm(DWORD* pid) {
    HWND form = FindWindowW(L"TkForm", L"Güncelleme Kontrol");
    if (form && pid)
        GetWindowThreadProcessId(form, pid);
    return form;
}

HWND FindBox(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found = nullptr;
    } search{pid};
    EnumWindows(
        [](HWND h, LPARAM lp) noexcept -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD p = 0;
            GetWindowThreadProcessId(h, &p);
            wchar_t cls[16] = {};
            GetClassNameW(h, cls, 16);
            if (p == s->pid && IsWindowVisible(h) && std::wcscmp(cls, L"#32770") == 0) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Wait(DWORD seconds) {
    const ULONGLONG end = GetTickCount64() + seconds * 1000ull;
    DWORD pid = 0;
    HWND form = nullptr;
    if (!driver::WaitFor([&] { return (form = FindForm(&pid)) != nullptr; }, seconds * 1000)) {
        Print(L"fbdriver: the window did not appear");
        return 1;
    }
    std::wstring last;
    while (GetTickCount64() < end) {
        if (!IsWindow(form)) {
            Print(L"fbdriver: the window closed");
            return 1;
        }
        const std::wstring text = driver::Text(GetDlgItem(form, IdLabel));
        if (text != last) {
            Print(L"  " + text);
            last = text;
        }
        if (text == L"İşlem Bitti")
            return 0;
        if (HWND box = FindBox(pid)) {
            Print(L"fbdriver: the program shows an error:\n" + driver::AllTexts(box));
            return 2;
        }
        Sleep(20);
    }
    Print(L"fbdriver: timed out");
    return 1;
}

int Close() {
    DWORD pid = 0;
    HWND form = FindForm(&pid);
    if (!form) {
        Print(L"fbdriver: no window to close");
        return 1;
    }
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    driver::SendAltKey(form, 'K');
    const bool ended = process ? WaitForSingleObject(process, 10000) == WAIT_OBJECT_0
                               : driver::WaitFor([&] { return !IsWindow(form); }, 10000);
    if (process)
        CloseHandle(process);
    Print(ended ? L"fbdriver: Alt+K ended the program" : L"fbdriver: the program is still running");
    return ended ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"wait")
        return Wait(argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 120);
    if (command == L"close")
        return Close();
    Print(L"usage: fbdriver wait [SECONDS] | fbdriver close");
    return 64;
}
