// A Butonum placed in a test window, with one log that interleaves what the control does in the
// order it happens: the events it raises, the sounds and links it hands to its host, and each
// repaint of its window together with the flags the face showed.
#pragma once

#include "butonum/Butonum.h"
#include "tests/support/TestHost.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace inputtest {

using Clock = std::chrono::steady_clock;

// Pumps messages until `done` holds or the timeout passes; true when it held.
template <class Pred> bool PumpUntil(Pred done, std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    const auto end = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        testhost::PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

// Moves the real pointer (SetCursorPos also delivers the mouse move) and waits until it has stayed
// there a while: under Wine the display's report of an earlier position can arrive late and put the
// pointer back, so it is set again then.
inline void MovePointer(POINT p) {
    SetCursorPos(p.x, p.y);
    auto stableSince = Clock::now();
    PumpUntil([&] {
        POINT now{};
        GetCursorPos(&now);
        if (now.x != p.x || now.y != p.y) {
            SetCursorPos(p.x, p.y);
            stableSince = Clock::now();
        }
        return Clock::now() - stableSince > std::chrono::milliseconds(60);
    });
}

// Makes the notification handlers callable so that a test can play a sequence of input directly.
class Probe : public butonum::Butonum {
public:
    using Butonum::HandleAccessKey;
    using Butonum::HandleAmbientChange;
    using Butonum::HandleDoubleClick;
    using Butonum::HandleFocusEnter;
    using Butonum::HandleFocusExit;
    using Butonum::HandleKeyDown;
    using Butonum::HandleKeyPress;
    using Butonum::HandleKeyUp;
    using Butonum::HandleMouseDown;
    using Butonum::HandleMouseMove;
    using Butonum::HandleMouseUp;
};

class RecordingSite : public testhost::TestSite {
public:
    RecordingSite(HWND parent, std::vector<std::string>& log) : TestSite(parent), log_(log) {}
    void NavigateTo(const std::wstring& target, const std::wstring& location,
                    const std::wstring& frame) override {
        log_.push_back("navigate " + Narrow(target));
        TestSite::NavigateTo(target, location, frame);
    }
    void ShellOpen(HWND owner, const std::wstring& link) override {
        log_.push_back("shell " + Narrow(link));
        TestSite::ShellOpen(owner, link);
    }
    bool PlaySoundFile(const std::wstring& file, DWORD flags) override {
        log_.push_back("sound " + Narrow(file));
        TestSite::PlaySoundFile(file, flags);
        return systemPlayer ? tk::ControlSite::PlaySoundFile(file, flags) : soundResult;
    }
    bool systemPlayer = false; // hand sounds to the system's player as well
    static std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

private:
    std::vector<std::string>& log_;
};

inline std::string Num(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
    return buf;
}

// The face's flags as a repaint shows them: D pressed, O hover, F focus, '.' when clear.
inline std::string Face(const butonum::ButonumState& s) {
    std::string f = "...";
    if (s.g_IsDown)
        f[0] = 'D';
    if (s.g_IsOver)
        f[1] = 'O';
    if (s.g_HasFocus)
        f[2] = 'F';
    return f;
}

class ButtonHost {
public:
    std::vector<std::string> log;
    testhost::TestWindow window{300, 200};
    RecordingSite site{window.hwnd(), log};
    Probe button;

    static constexpr int kLeft = 40, kTop = 50, kWidth = 120, kHeight = 40;

    ButtonHost() {
        button.Create(site, window.hwnd(), kLeft, kTop, kWidth, kHeight, true, nullptr);
        // The pointer is where an earlier test left it: park it off the button and let a hover that
        // began meanwhile end, so that only the test moves the pointer in.
        POINT park{kLeft + kWidth + 60, kTop + kHeight + 60};
        ClientToScreen(window.hwnd(), &park);
        MovePointer(park);
        PumpUntil([this] { return button.State().g_IsOver == 0; });
        auto& s = button.MutableState();
        s.SoundOver = L"over.wav";
        s.SoundClick = L"click.wav";
        s.URL = L"http://example.test/";
        HookEvents();
        SetWindowSubclass(button.hWnd(), &ButtonHost::PaintSpy, 1, reinterpret_cast<DWORD_PTR>(this));
        testhost::PumpMessages();
        log.clear();
    }
    ~ButtonHost() {
        if (GetCapture())
            ReleaseCapture();
        if (button.hWnd())
            RemoveWindowSubclass(button.hWnd(), &ButtonHost::PaintSpy, 1);
        button.Destroy();
    }
    ButtonHost(const ButtonHost&) = delete;
    ButtonHost& operator=(const ButtonHost&) = delete;

    int Count(const std::string& entry) const {
        int n = 0;
        for (const auto& e : log)
            n += e == entry;
        return n;
    }

private:
    void Add(std::string s) { log.push_back(std::move(s)); }
    static std::string Mouse(const char* name, std::int16_t b, std::int16_t s, float x, float y) {
        return std::string(name) + " " + std::to_string(b) + " " + std::to_string(s) + " " + Num(x) + " " +
               Num(y);
    }
    void HookEvents() {
        auto& e = button.Events;
        e.Click = [this] { Add("Click"); };
        e.KeyDown = [this](std::int16_t& k, std::int16_t& s) {
            Add("KeyDown " + std::to_string(k) + " " + std::to_string(s));
        };
        e.KeyPress = [this](std::int16_t& k) { Add("KeyPress " + std::to_string(k)); };
        e.KeyUp = [this](std::int16_t& k, std::int16_t& s) {
            Add("KeyUp " + std::to_string(k) + " " + std::to_string(s));
        };
        e.MouseDown = [this](std::int16_t& b, std::int16_t& s, float& x, float& y) {
            Add(Mouse("MouseDown", b, s, x, y));
        };
        e.MouseUp = [this](std::int16_t& b, std::int16_t& s, float& x, float& y) {
            Add(Mouse("MouseUp", b, s, x, y));
        };
        e.MouseIn = [this](std::int16_t& s) { Add("MouseIn " + std::to_string(s)); };
        e.MouseOut = [this](std::int16_t& s) { Add("MouseOut " + std::to_string(s)); };
    }
    // Each Refresh ends by showing the finished back image, which repaints the window at once.
    static LRESULT CALLBACK PaintSpy(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                     DWORD_PTR self) noexcept {
        if (msg == WM_PAINT) {
            auto* host = reinterpret_cast<ButtonHost*>(self);
            host->Add("redraw " + Face(host->button.State()));
        }
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
};

} // namespace inputtest
