#include "tests/support/TestHost.h"
#include "toolkit/Timer.h"
#include "toolkit/UserControl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

using namespace tk;
using testhost::PumpMessages;

namespace {

// Records each notification as a line of text.
class Probe : public UserControl {
public:
    ~Probe() override { Destroy(); }
    std::vector<std::string> log;
    Timer timer;

protected:
    void Add(const std::string& s) { log.push_back(s); }
    void HandleInitialize() override { Add("Initialize"); }
    void HandleInitProperties() override { Add("InitProperties"); }
    void HandleReadProperties(PropertyBag& bag) override {
        Add("ReadProperties " + std::to_string(bag.ReadProperty(L"Value", std::int32_t{0}).ToLong()));
    }
    void HandleWriteProperties(PropertyBag& bag) override {
        Add("WriteProperties");
        bag.WriteProperty(L"Value", std::int32_t{7}, std::int32_t{0});
    }
    void HandleTerminate() override { Add("Terminate"); }
    void HandleResize() override { Add("Resize"); }
    void HandleFocusEnter() override { Add("FocusEnter"); }
    void HandleFocusExit() override { Add("FocusExit"); }
    void HandleAccessKey(std::int16_t& k) override { Add("AccessKey " + std::to_string(k)); }
    void HandleMouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) override {
        Mouse("Down", b, s, x, y);
    }
    void HandleMouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) override {
        Mouse("Up", b, s, x, y);
    }
    void HandleDoubleClick() override { Add("DoubleClick"); }
    void HandleKeyDown(std::int16_t& k, std::int16_t& s) override { Add("KeyDown " + Num(k, s)); }
    void HandleKeyUp(std::int16_t& k, std::int16_t& s) override { Add("KeyUp " + Num(k, s)); }
    void HandleKeyPress(std::int16_t& k) override { Add("KeyPress " + std::to_string(k)); }
    bool HandleTimerMessage(UINT_PTR id) override { return timer.OnTimer(id); }

private:
    static std::string Num(int a, int b) { return std::to_string(a) + " " + std::to_string(b); }
    void Mouse(const char* what, std::int16_t b, std::int16_t s, float x, float y) {
        std::ostringstream o;
        o << what << " " << b << " " << s << " " << (x < 0 ? "out" : x < ScaleWidth() ? "in" : "out");
        (void)y;
        Add(o.str());
    }
};

struct Fixture : testing::Test {
    testhost::TestWindow window{300, 200};
    testhost::TestSite site{window.hwnd()};
    Probe probe;
    void Create(const PropertyBag* stored = nullptr) {
        probe.Create(site, window.hwnd(), 20, 30, 91, 28, true, stored);
        probe.ScaleMode(vbPixels);
        PumpMessages();
    }
    POINT ScreenPoint(int x, int y) {
        POINT p{x, y};
        ClientToScreen(probe.hWnd(), &p);
        return p;
    }
};

INPUT MouseAt(POINT p, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (p.x * 65535 + w / 2) / (w - 1);
    in.mi.dy = (p.y * 65535 + h / 2) / (h - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return in;
}

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PumpMessages();
    }
}

} // namespace

TEST_F(Fixture, LifecycleOrderAndSavedExtents) {
    Create();
    EXPECT_EQ(probe.log, (std::vector<std::string>{"Initialize", "InitProperties", "Resize"}));
    PropertyBag bag;
    probe.SaveProperties(bag);
    // 91 x 28 pixels at 96 dots per inch in HIMETRIC.
    EXPECT_EQ(bag.ReadProperty(L"_extentx").ToLong(), 2408);
    EXPECT_EQ(bag.ReadProperty(L"_extenty").ToLong(), 741);
    probe.Destroy();
    EXPECT_EQ(probe.log.back(), "Terminate");

    Probe second;
    second.Create(site, window.hwnd(), 0, 0, 50, 20, false, &bag);
    EXPECT_EQ(second.log, (std::vector<std::string>{"Initialize", "ReadProperties 7", "Resize"}));
    EXPECT_FALSE(IsWindowVisible(second.hWnd()));
}

TEST_F(Fixture, SurfaceDrawsToTheBackImageAndTheWindowShowsIt) {
    Create();
    probe.AutoRedraw(true);
    probe.UcBackColor(0x000000FF);
    EXPECT_EQ(GetPixel(probe.hDC(), 0, 0), 0x000000FFu);
    EXPECT_EQ(GetPixel(probe.hDC(), 90, 27), 0x000000FFu);
    probe.UcBackColor(static_cast<tk::OLE_COLOR>(0x8000000F)); // a system colour, translated
    EXPECT_EQ(GetPixel(probe.hDC(), 5, 5), GetSysColor(COLOR_BTNFACE));
    probe.UcBackColor(0x00C0FFC0);
    probe.AutoRedraw(false);
    HDC screen = GetDC(probe.hWnd());
    EXPECT_EQ(GetPixel(screen, 45, 14), 0x00C0FFC0u);
    ReleaseDC(probe.hWnd(), screen);

    // The surface font follows the font's attributes, also when the font object itself changes.
    probe.UcFont(StdFont::Create(L"Tahoma", 12));
    TEXTMETRICW tm{};
    GetTextMetricsW(probe.hDC(), &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 16);
    probe.UcFont()->Size(24);
    GetTextMetricsW(probe.hDC(), &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 32);
    EXPECT_THROW(probe.UcFont(nullptr), VbError);
}

TEST_F(Fixture, PaintPictureScalesTheImage) {
    Create();
    // A 4 x 4 red bitmap drawn 8 x 8 at (2, 2) on a white surface.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC work = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(work, bitmap);
    HBRUSH red = CreateSolidBrush(0x000000FF);
    RECT all{0, 0, 4, 4};
    FillRect(work, &all, red);
    DeleteObject(red);
    SelectObject(work, old);
    DeleteDC(work);
    PicturePtr pic = Picture::FromBitmap(bitmap, true);

    probe.AutoRedraw(true);
    probe.UcBackColor(0x00FFFFFF);
    probe.PaintPicture(pic, 2, 2, 8, 8, 0, 0, 4, 4);
    EXPECT_EQ(GetPixel(probe.hDC(), 1, 1), 0x00FFFFFFu);
    EXPECT_EQ(GetPixel(probe.hDC(), 2, 2), 0x000000FFu);
    EXPECT_EQ(GetPixel(probe.hDC(), 9, 9), 0x000000FFu);
    EXPECT_EQ(GetPixel(probe.hDC(), 10, 10), 0x00FFFFFFu);
    EXPECT_THROW(probe.PaintPicture(nullptr, 0, 0, 1, 1, 0, 0, 1, 1), VbError);
}

TEST_F(Fixture, ScaleUnitsAndSizeInTwips) {
    Create();
    EXPECT_EQ(probe.ScaleWidth(), 91);
    EXPECT_EQ(probe.ScaleHeight(), 28);
    EXPECT_DOUBLE_EQ(probe.ScaleX(2540, vbHimetric, vbPixels), 96);
    EXPECT_DOUBLE_EQ(probe.ScaleY(1440, vbTwips, vbPixels), 96);
    EXPECT_DOUBLE_EQ(probe.ScaleX(1, vbInches, vbPoints), 72);
    EXPECT_DOUBLE_EQ(probe.Width(), 91 * 15);
    probe.ScaleMode(vbTwips);
    EXPECT_DOUBLE_EQ(probe.ScaleWidth(), 91 * 15);
    probe.log.clear();
    probe.Width(150);
    EXPECT_EQ(probe.log, std::vector<std::string>{"Resize"});
    RECT r{};
    GetClientRect(probe.hWnd(), &r);
    EXPECT_EQ(r.right, 10);
}

TEST_F(Fixture, ReleaseReachesTheControlAfterThePointerLeft) {
    Create();
    probe.log.clear();
    const POINT inside = ScreenPoint(40, 14), outside = ScreenPoint(200, 100);
    Send({Key(VK_SHIFT, false), MouseAt(inside, 0), MouseAt(inside, MOUSEEVENTF_RIGHTDOWN),
          MouseAt(outside, 0), MouseAt(outside, MOUSEEVENTF_RIGHTUP), Key(VK_SHIFT, true)});
    EXPECT_EQ(probe.log, (std::vector<std::string>{"FocusEnter", "Down 2 1 in", "Up 2 1 out", "KeyUp 16 0"}));
    EXPECT_EQ(GetCapture(), nullptr);

    probe.log.clear();
    Send({MouseAt(inside, MOUSEEVENTF_LEFTDOWN), MouseAt(inside, MOUSEEVENTF_LEFTUP),
          MouseAt(inside, MOUSEEVENTF_LEFTDOWN), MouseAt(inside, MOUSEEVENTF_LEFTUP)});
    EXPECT_EQ(probe.log, (std::vector<std::string>{"Down 1 0 in", "Up 1 0 in", "DoubleClick", "Up 1 0 in"}));
}

TEST_F(Fixture, KeysFocusAndAccessKey) {
    Create();
    probe.AccessKeys(L"k");
    probe.log.clear();
    SetFocus(probe.hWnd());
    SendMessageW(probe.hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(probe.hWnd(), WM_CHAR, L' ', 0);
    SendMessageW(probe.hWnd(), WM_KEYUP, VK_SPACE, 0);
    SetFocus(window.hwnd());
    EXPECT_EQ(probe.log, (std::vector<std::string>{"FocusEnter", "KeyDown 32 0", "KeyPress 32", "KeyUp 32 0",
                                                   "FocusExit"}));

    probe.log.clear();
    Send({Key(VK_MENU, false), Key('K', false), Key('K', true), Key(VK_MENU, true)});
    EXPECT_EQ(probe.log, std::vector<std::string>{"AccessKey 107"});
    probe.log.clear();
    EXPECT_FALSE(UserControl::RouteAccessKey(window.hwnd(), L'x'));
    EXPECT_TRUE(UserControl::RouteAccessKey(window.hwnd(), L'K'));
    EXPECT_EQ(probe.log, std::vector<std::string>{"AccessKey 75"});
    // From a message loop, whichever window has the focus; hidden controls take no access key.
    probe.log.clear();
    MSG msg{probe.hWnd(), WM_SYSCHAR, L'k', 0, 0, {}};
    EXPECT_TRUE(UserControl::PreTranslateAccessKey(msg));
    ShowWindow(probe.hWnd(), SW_HIDE);
    EXPECT_FALSE(UserControl::PreTranslateAccessKey(msg));
    EXPECT_EQ(probe.log, std::vector<std::string>{"AccessKey 107"});
}

TEST_F(Fixture, CustomPointerShowsTheIconOrTheArrow) {
    Create();
    auto cursorAfterSetCursor = [&] {
        SendMessageW(probe.hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(probe.hWnd()),
                     MAKELPARAM(HTCLIENT, 0));
        return GetCursor();
    };
    probe.UcMousePointer(vbCustom);
    EXPECT_EQ(cursorAfterSetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    PicturePtr icon = Picture::FromIcon(LoadIconW(nullptr, IDI_APPLICATION), false);
    probe.UcMouseIcon(icon);
    EXPECT_EQ(cursorAfterSetCursor(), reinterpret_cast<HCURSOR>(icon->Handle()));
    probe.UcMousePointer(11);
    EXPECT_EQ(cursorAfterSetCursor(), LoadCursorW(nullptr, IDC_WAIT));
}

TEST_F(Fixture, ChildTimerTicksThroughTheControlWindow) {
    Create();
    int ticks = 0;
    probe.timer.Tick = [&] { ++ticks; };
    probe.timer.SetOwner(probe.hWnd());
    probe.timer.Interval(10);
    PumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PumpMessages();
    EXPECT_EQ(ticks, 0); // created disabled
    probe.timer.Enabled(true);
    for (int i = 0; i < 100 && ticks == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        probe.DoEvents();
    }
    EXPECT_GT(ticks, 0);
    probe.timer.Enabled(false);
}
