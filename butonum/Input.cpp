// The button's answer to focus, keyboard and mouse: the press, hover, focus and space-latch flags,
// a redraw whenever a flag the face shows changes, and the container's events, each raised with the
// host's own variables so that a handler's change to an argument reaches the host.
#include "butonum/Butonum.h"

namespace butonum {
namespace {

constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kSpaceKey = 32;

// A container may leave any event without a handler.
template <class Handler, class... Args> void Raise(const Handler& handler, Args&... args) {
    if (handler)
        handler(args...);
}

// Right and bottom edges are outside, so a release exactly on them does not click.
bool IsInside(const tk::UserControl& uc, float X, float Y) {
    return X >= 0 && Y >= 0 && X < uc.ScaleWidth() && Y < uc.ScaleHeight();
}

} // namespace

void Butonum::HandleFocusEnter() {
    rec.g_HasFocus = 1;
    Refresh();
}

// Losing the focus cancels a press that is showing; a later release inside still clicks.
void Butonum::HandleFocusExit() {
    rec.g_HasFocus = 0;
    rec.g_IsDown = 0;
    Refresh();
}

// The access key clicks without a press: no flag changes, no redraw and no click sound.
void Butonum::HandleAccessKey(std::int16_t&) {
    if (!UcEnabled())
        return;
    Raise(Events.Click);
    GoToURL();
}

void Butonum::HandleAmbientChange(const std::wstring&) {
    Refresh();
}

void Butonum::HandleMouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    rec.g_LastMouseButton = Button;
    rec.g_LastMouseShift = Shift;
    rec.g_LastMouseX = X;
    rec.g_LastMouseY = Y;
    if (Button != kRightButton) {
        rec.g_IsDown = 1;
        Refresh();
    }
    Raise(Events.MouseDown, Button, Shift, X, Y);
}

// The second press of a double click repeats the first one; the host captures only ordinary
// presses, so the release of this one is kept here.
void Butonum::HandleDoubleClick() {
    CaptureMouse();
    HandleMouseDown(rec.g_LastMouseButton, rec.g_LastMouseShift, rec.g_LastMouseX, rec.g_LastMouseY);
}

void Butonum::HandleMouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    if (rec.g_IsOver == 0 && IsInside(*this, X, Y))
        HoverEntry(Shift);
    Raise(Events.MouseMove, Button, Shift, X, Y);
}

// A click depends on the released button and where it was released, not on g_IsDown.
void Butonum::HandleMouseUp(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    rec.g_IsDown = 0;
    if (Button != kRightButton) {
        Refresh();
        if (IsInside(*this, X, Y)) {
            PlaySoundFile(rec.SoundClick);
            Raise(Events.Click);
            GoToURL();
        }
    }
    Raise(Events.MouseUp, Button, Shift, X, Y);
}

// The latch lets only the first key-down of a held key through, so auto-repeat and a space pressed
// while another key is held do not press the button again.
void Butonum::HandleKeyDown(std::int16_t& KeyCode, std::int16_t& Shift) {
    if (rec.g_SpaceLatch == 0) {
        if (KeyCode == kSpaceKey) {
            rec.g_IsDown = 1;
            rec.g_IsOver = 1;
            Refresh();
        }
        rec.g_SpaceLatch = 1;
    }
    Raise(Events.KeyDown, KeyCode, Shift);
}

void Butonum::HandleKeyPress(std::int16_t& KeyAscii) {
    Raise(Events.KeyPress, KeyAscii);
}

// A space release clicks even when its press was latched out by another key.
void Butonum::HandleKeyUp(std::int16_t& KeyCode, std::int16_t& Shift) {
    if (KeyCode == kSpaceKey) {
        rec.g_IsDown = 0;
        rec.g_IsOver = 0;
        Refresh();
        std::int16_t button = 1;
        float x = 0;
        float y = 0;
        HandleMouseUp(button, Shift, x, y);
    }
    rec.g_SpaceLatch = 0;
    Raise(Events.KeyUp, KeyCode, Shift);
}

} // namespace butonum
