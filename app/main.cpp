// FirmaBakim: opens the main window, whose timer starts the maintenance run a second later.
#include "app/Engine.h"
#include "app/Form1.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace {

std::wstring Widen(const char* s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, s, -1, out.data(), n);
    return out;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    // One engine for the program, made on the first repair and kept until the process ends.
    static app::EngineHolder DBEngine(app::NewDatabaseEngine);
    try {
        static app::Form1 form(app::LoadDesignResource(), DBEngine);
        form.Show();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (form.PreTranslate(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return static_cast<int>(msg.wParam);
    } catch (const std::exception& e) {
        MessageBoxW(nullptr, Widen(e.what()).c_str(), L"FirmaBakim", MB_OK | MB_ICONERROR);
        return 1;
    }
}
