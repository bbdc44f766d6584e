// Hover tracking, sounds and links. The hover look starts with the first mouse move inside and is
// undone by a 10 ms poll of the window under the pointer, which also notices the pointer leaving
// through a window lying over the button or through a clipped corner, where no mouse move arrives.
#include "butonum/Butonum.h"

#include <mmsystem.h>

#include <string_view>

namespace butonum {
namespace {

// File name, return at once, and silence (not the default sound) when the file cannot be played.
constexpr DWORD kSoundFlags = SND_FILENAME | SND_ASYNC | SND_NODEFAULT;

template <class Handler, class... Args> void Raise(const Handler& handler, Args&... args) {
    if (handler)
        handler(args...);
}

} // namespace

void Butonum::HoverEntry(std::int16_t& Shift) {
    OverTimer.Enabled(true);

    rec.g_IsOver = 1;
    if (rec.PictureHover)
        rec.Picture = rec.PictureHover; // the field only: g_NormalPicture keeps the normal picture
    Raise(Events.MouseIn, Shift);
    Refresh();
    // The hover face is shown before the sound starts; g_IsOver is already set, so a mouse move
    // handled here does not enter again.
    DoEvents();
    PlaySoundFile(rec.SoundOver);
}

void Butonum::OverTimer_Timer() {
    POINT pointer{};
    GetCursorPos(&pointer);
    if (WindowFromPoint(pointer) == hWnd())
        return;

    OverTimer.Enabled(false);
    rec.g_IsOver = 0;
    rec.Picture = rec.g_NormalPicture;
    Raise(Events.MouseOut, rec.g_LastMouseShift);
    Refresh();
    // A button held while the pointer leaves is shown released but stays pressed, so that coming
    // back shows it pressed again and releasing outside does not click.
    if (rec.g_IsDown == 1) {
        rec.g_IsDown = 0;
        Refresh();
        rec.g_IsDown = 1;
    }
}

bool Butonum::HandleTimerMessage(UINT_PTR id) {
    return OverTimer.OnTimer(id);
}

// The name is not checked first: an empty name or a missing file plays nothing and fails nothing.
std::uint8_t Butonum::PlaySoundFile(std::wstring& name) {
    return Site().PlaySoundFile(name, kSoundFlags) ? 1 : 0;
}

// Only a lower-case "mailto:" goes to the shell; everything else, "MAILTO:" included, is the host's
// hyperlink navigation.
void Butonum::GoToURL() {
    static constexpr std::wstring_view kMailScheme = L"mailto:";
    if (rec.URL.size() >= kMailScheme.size() && rec.URL.compare(0, kMailScheme.size(), kMailScheme) == 0)
        OpenLink(Site().ParentWindow(), rec.URL);
    else if (!rec.URL.empty())
        Site().NavigateTo(rec.URL, L"", L"");
}

void Butonum::OpenLink(HWND parent, const std::wstring& link) {
    Site().ShellOpen(parent, link);
}

} // namespace butonum
