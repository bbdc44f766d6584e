#include "toolkit/ControlSite.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace tk {

void ControlSite::NavigateTo(const std::wstring& target, const std::wstring& location, const std::wstring&) {
    // The desktop's handler for the link's scheme opens it; the frame has no meaning outside a browser.
    std::wstring link = target;
    if (!location.empty())
        link += L"#" + location;
    ShellExecuteW(ParentWindow(), L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ControlSite::ShellOpen(HWND owner, const std::wstring& link) {
    ShellExecuteW(owner, L"open", link.c_str(), L"", L"", SW_SHOWNORMAL);
}

bool ControlSite::PlaySoundFile(const std::wstring& file, DWORD flags) {
    return PlaySoundW(file.c_str(), nullptr, flags) != FALSE;
}

} // namespace tk
