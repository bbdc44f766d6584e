#include "tools/fbdriver/DriverSupport.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace driver {
namespace {

std::filesystem::path ProgramPath() {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).parent_path() / L"FirmaBakim.exe";
}

} // namespace

Program::Program() {
    const std::filesystem::path exe = ProgramPath();
    std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
    const std::wstring dir = exe.parent_path().wstring();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &si, &pi_))
        pi_ = {};
}

Program::~Program() {
    if (pi_.hProcess) {
        if (Running()) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
}

HWND Program::WaitForWindow(const std::wstring& className, DWORD timeoutMs) const {
    struct Search {
        DWORD pid;
        const std::wstring* cls;
        HWND found = nullptr;
    } search{pi_.dwProcessId, &className};
    WaitFor(
        [&] {
            EnumWindows(
                [](HWND h, LPARAM lp) noexcept -> BOOL {
                    auto* s = reinterpret_cast<Search*>(lp);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(h, &pid);
                    wchar_t cls[64] = {};
                    GetClassNameW(h, cls, 64);
                    if (pid == s->pid && IsWindowVisible(h) && *s->cls == cls) {
                        s->found = h;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !pi_.hProcess;
        },
        timeoutMs);
    return search.found;
}

bool Program::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD timeoutMs) {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(20);
    }
}

std::wstring Text(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

std::wstring AllTexts(HWND window) {
    std::wstring all = Text(window) + L"\n";
    EnumChildWindows(
        window,
        [](HWND h, LPARAM lp) noexcept -> BOOL {
            *reinterpret_cast<std::wstring*>(lp) += Text(h) + L"\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::string Narrow(const std::wstring& s) {
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void PressDialogButton(HWND box) {
    // Posted: the box's own loop handles it, whatever this program does meanwhile.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void SendAltKey(HWND window, char key) {
    SetForegroundWindow(window);
    Sleep(200);
    INPUT in[4] = {};
    for (auto& i : in)
        i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = VK_MENU;
    in[1].ki.wVk = static_cast<WORD>(key);
    in[2].ki.wVk = static_cast<WORD>(key);
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = VK_MENU;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Damage(const std::filesystem::path& path) {
    std::ofstream f(path, std::ios::binary | std::ios::app);
    const std::string junk(1000, '\x5A');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

void RemoveTree(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return;
    for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path, ec);
}

} // namespace driver
