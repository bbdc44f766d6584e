// Hover tracking with the real pointer of the display: the pointer is moved with SetCursorPos (which
// also delivers the mouse move) and buttons are pressed with SendInput; the test then pumps messages
// until the expected entry shows up or a generous timeout passes. Ticks are never counted.
#include "tests/input/ButtonHost.h"

#include "toolkit/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

using inputtest::ButtonHost;

namespace {

using inputtest::Clock;
using inputtest::MovePointer;
using inputtest::PumpFor;
using inputtest::PumpUntil;

struct Hover : testing::Test {
    ButtonHost host;

    POINT OnButton(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(host.button.hWnd(), &p);
        return p;
    }
    void MoveTo(POINT p) { MovePointer(p); }
    void MoveInside(int x = 30, int y = 20) { MoveTo(OnButton(x, y)); }
    void MoveOutside() { MoveTo(OnButton(ButtonHost::kWidth + 40, ButtonHost::kHeight + 40)); }

    static void Buttons(std::initializer_list<std::pair<bool, DWORD>> steps) {
        std::vector<INPUT> inputs;
        for (auto [key, code] : steps) {
            INPUT in{};
            if (key) {
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = static_cast<WORD>(code & 0xFFFF);
                in.ki.dwFlags = code >> 16 ? KEYEVENTF_KEYUP : 0;
            } else {
                in.type = INPUT_MOUSE;
                in.mi.dwFlags = code;
            }
            inputs.push_back(in);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }

    bool Logged(const std::string& entry) const {
        return std::find(host.log.begin(), host.log.end(), entry) != host.log.end();
    }
    testing::AssertionResult WaitFor(const std::string& entry) {
        if (PumpUntil([&] { return Logged(entry); }))
            return testing::AssertionSuccess();
        POINT now{};
        GetCursorPos(&now);
        auto failure = testing::AssertionFailure()
                       << "pointer " << now.x << "," << now.y << " under " << WindowFromPoint(now)
                       << " button " << host.button.hWnd() << " window " << host.window.hwnd() << " fg "
                       << GetForegroundWindow() << " no \"" << entry << "\" in:";
        for (const auto& e : host.log)
            failure << " [" << e << "]";
        return failure;
    }
    // The face shown by the last repaint.
    std::string LastFace() const {
        for (auto it = host.log.rbegin(); it != host.log.rend(); ++it)
            if (it->rfind("redraw ", 0) == 0)
                return it->substr(7);
        return "none";
    }
};

tk::PicturePtr SolidPicture(COLORREF color) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(color);
    RECT r{0, 0, 8, 8};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return tk::Picture::FromBitmap(bitmap, true);
}

TEST_F(Hover, EnteringOnceAndLeavingWithTheLastPressShiftAndTheNormalPicture) {
    auto normal = SolidPicture(RGB(0, 0, 255));
    auto hover = SolidPicture(RGB(255, 0, 0));
    auto& s = host.button.MutableState();
    s.Picture = s.g_NormalPicture = normal;
    s.PictureHover = hover;
    tk::PicturePtr pictureAtMouseIn;
    host.button.Events.MouseIn = [&](std::int16_t& shift) {
        host.log.push_back("MouseIn " + std::to_string(shift));
        pictureAtMouseIn = host.button.State().Picture;
    };

    MoveInside();
    ASSERT_TRUE(WaitFor("MouseIn 0"));
    MoveInside(60, 25);
    MoveInside(90, 30);
    EXPECT_EQ(host.Count("MouseIn 0"), 1);
    EXPECT_EQ(host.Count("sound over.wav"), 1);
    EXPECT_EQ(pictureAtMouseIn, hover);
    EXPECT_EQ(host.button.State().g_IsOver, 1);
    EXPECT_EQ(LastFace().substr(0, 2), ".O");

    // A press with Shift held; its shift state is what MouseOut reports later.
    Buttons({{true, VK_SHIFT},
             {false, MOUSEEVENTF_LEFTDOWN},
             {false, MOUSEEVENTF_LEFTUP},
             {true, VK_SHIFT | (1u << 16)}});
    ASSERT_TRUE(WaitFor("Click"));
    EXPECT_EQ(host.button.State().g_LastMouseShift, 1);

    MoveOutside();
    ASSERT_TRUE(WaitFor("MouseOut 1"));
    EXPECT_EQ(host.button.State().g_IsOver, 0);
    EXPECT_EQ(host.button.State().Picture, normal);
    EXPECT_EQ(LastFace().substr(0, 2), "..");
    EXPECT_FALSE(host.button.OverTimer.Enabled());
    EXPECT_EQ(host.Count("MouseOut 1"), 1);

    // Back in: a new hover with its own sound.
    MoveInside();
    ASSERT_TRUE(WaitFor("MouseIn 0"));
    EXPECT_EQ(host.Count("sound over.wav"), 2);
}

TEST_F(Hover, PressDragOutAndBackShowsReleasedThenPressed) {
    MoveInside();
    ASSERT_TRUE(WaitFor("MouseIn 0"));
    Buttons({{false, MOUSEEVENTF_LEFTDOWN}});
    ASSERT_TRUE(WaitFor("MouseDown 1 0 30 20"));
    EXPECT_EQ(LastFace().substr(0, 2), "DO");

    MoveOutside();
    ASSERT_TRUE(WaitFor("MouseOut 0"));
    EXPECT_EQ(LastFace().substr(0, 2), "..") << "shown released after leaving";
    EXPECT_EQ(host.button.State().g_IsDown, 1) << "still pressed in its state";

    host.log.clear();
    MoveInside();
    ASSERT_TRUE(WaitFor("MouseIn 0"));
    EXPECT_EQ(LastFace().substr(0, 2), "DO") << "pressed and hovered again";

    // Leaving again and releasing outside does not click.
    MoveOutside();
    ASSERT_TRUE(WaitFor("MouseOut 0"));
    Buttons({{false, MOUSEEVENTF_LEFTUP}});
    ASSERT_TRUE(PumpUntil([&] {
        return std::any_of(host.log.begin(), host.log.end(),
                           [](auto& e) { return e.rfind("MouseUp", 0) == 0; });
    }));
    EXPECT_EQ(host.Count("Click"), 0);
    EXPECT_EQ(host.button.State().g_IsDown, 0);
}

TEST_F(Hover, TheClippedCornerOfTheXPStyleIsOutside) {
    host.button.ButtonStyle(3);
    testhost::PumpMessages();
    MoveInside();
    ASSERT_TRUE(WaitFor("MouseIn 0"));
    // (1, 1) is still part of the shaped window, (0, 0) is cut away.
    MoveInside(1, 1);
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_FALSE(Logged("MouseOut 0"));
    MoveTo(OnButton(0, 0));
    EXPECT_TRUE(WaitFor("MouseOut 0"));
}

} // namespace
