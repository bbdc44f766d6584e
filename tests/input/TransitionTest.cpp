// The input transitions played straight into the handlers: per input sequence, everything the
// control did in order and the flags it was left with.
#include "tests/input/ButtonHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using inputtest::ButtonHost;
using inputtest::Probe;

namespace {

using Step = std::function<void(ButtonHost&)>;

Step Down(std::int16_t button, std::int16_t shift, float x, float y) {
    return [=](ButtonHost& h) {
        std::int16_t b = button, s = shift;
        float fx = x, fy = y;
        h.button.HandleMouseDown(b, s, fx, fy);
    };
}
Step Up(std::int16_t button, std::int16_t shift, float x, float y) {
    return [=](ButtonHost& h) {
        std::int16_t b = button, s = shift;
        float fx = x, fy = y;
        h.button.HandleMouseUp(b, s, fx, fy);
    };
}
Step DoubleClick() {
    return [](ButtonHost& h) {
        h.button.HandleDoubleClick();
        if (GetCapture() == h.button.hWnd())
            h.log.push_back("captured");
    };
}
Step KeyDown(std::int16_t key, std::int16_t shift) {
    return [=](ButtonHost& h) {
        std::int16_t k = key, s = shift;
        h.button.HandleKeyDown(k, s);
    };
}
Step KeyUp(std::int16_t key, std::int16_t shift) {
    return [=](ButtonHost& h) {
        std::int16_t k = key, s = shift;
        h.button.HandleKeyUp(k, s);
    };
}
Step KeyPress(std::int16_t ascii) {
    return [=](ButtonHost& h) {
        std::int16_t a = ascii;
        h.button.HandleKeyPress(a);
    };
}
Step AccessKey() {
    return [](ButtonHost& h) {
        std::int16_t k = 'k';
        h.button.HandleAccessKey(k);
    };
}
Step FocusIn() {
    return [](ButtonHost& h) { h.button.HandleFocusEnter(); };
}
Step FocusOut() {
    return [](ButtonHost& h) { h.button.HandleFocusExit(); };
}
Step Ambient() {
    return [](ButtonHost& h) { h.button.HandleAmbientChange(L"ForeColor"); };
}

struct Flags {
    int down, over, focus, latch;
    bool operator==(const Flags&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Flags& f) {
    return o << "down " << f.down << " over " << f.over << " focus " << f.focus << " latch " << f.latch;
}

struct Row {
    const char* name;
    std::function<void(ButtonHost&)> setup; // before recording starts
    std::vector<Step> steps;
    std::vector<std::string> expected;
    Flags after;
};

constexpr float W = ButtonHost::kWidth, H = ButtonHost::kHeight;

// The click that ends a release inside: sound first, then the event, then the link.
const std::vector<std::string> kClick = {"sound click.wav", "Click", "navigate http://example.test/"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

const Row kRows[] = {
    {"left click inside, released just inside the bottom-right corner",
     nullptr,
     {Down(1, 0, 5, 6), Up(1, 0, W - 0.5f, H - 0.5f)},
     Join({{"redraw D..", "MouseDown 1 0 5 6", "redraw ..."}, kClick, {"MouseUp 1 0 119.5 39.5"}}),
     {0, 0, 0, 0}},
    {"middle click inside acts as the left button",
     nullptr,
     {Down(4, 2, 7, 8), Up(4, 2, 7, 8)},
     Join({{"redraw D..", "MouseDown 4 2 7 8", "redraw ..."}, kClick, {"MouseUp 4 2 7 8"}}),
     {0, 0, 0, 0}},
    {"right click inside neither presses nor clicks",
     nullptr,
     {Down(2, 0, 7, 8), Up(2, 0, 7, 8)},
     {"MouseDown 2 0 7 8", "MouseUp 2 0 7 8"},
     {0, 0, 0, 0}},
    {"right release during a left press clears the press without a redraw",
     nullptr,
     {Down(1, 0, 7, 8), Up(2, 0, 7, 8)},
     {"redraw D..", "MouseDown 1 0 7 8", "MouseUp 2 0 7 8"},
     {0, 0, 0, 0}},
    {"press inside, release on the right edge (outside)",
     nullptr,
     {Down(1, 0, 5, 5), Up(1, 0, W, 5)},
     {"redraw D..", "MouseDown 1 0 5 5", "redraw ...", "MouseUp 1 0 120 5"},
     {0, 0, 0, 0}},
    {"press inside, release on the bottom edge and above the top (outside)",
     nullptr,
     {Down(1, 0, 5, 5), Up(1, 0, 5, H), Down(1, 0, 5, 5), Up(1, 0, 5, -1)},
     {"redraw D..", "MouseDown 1 0 5 5", "redraw ...", "MouseUp 1 0 5 40", "redraw D..", "MouseDown 1 0 5 5",
      "redraw ...", "MouseUp 1 0 5 -1"},
     {0, 0, 0, 0}},
    {"double click: the second press repeats the first one's arguments and captures the mouse",
     nullptr,
     {Down(1, 1, 10, 12), Up(1, 0, 10, 12), DoubleClick(), Up(1, 0, 11, 12)},
     Join({{"redraw D..", "MouseDown 1 1 10 12", "redraw ..."},
           kClick,
           {"MouseUp 1 0 10 12", "redraw D..", "MouseDown 1 1 10 12", "captured", "redraw ..."},
           kClick,
           {"MouseUp 1 0 11 12"}}),
     {0, 0, 0, 0}},
    {"space held with repeats presses once and clicks once",
     nullptr,
     {KeyDown(32, 1), KeyDown(32, 1), KeyDown(32, 1), KeyPress(32), KeyUp(32, 1)},
     Join({{"redraw DO.", "KeyDown 32 1", "KeyDown 32 1", "KeyDown 32 1", "KeyPress 32", "redraw ...",
            "redraw ..."},
           kClick,
           {"MouseUp 1 1 0 0", "KeyUp 32 1"}}),
     {0, 0, 0, 0}},
    {"space while another key is held: no pressed look, the release still clicks",
     nullptr,
     {KeyDown(65, 0), KeyDown(32, 0), KeyUp(32, 0), KeyUp(65, 0)},
     Join({{"KeyDown 65 0", "KeyDown 32 0", "redraw ...", "redraw ..."},
           kClick,
           {"MouseUp 1 0 0 0", "KeyUp 32 0", "KeyUp 65 0"}}),
     {0, 0, 0, 0}},
    {"another key held: the latch stays until that key goes up",
     nullptr,
     {KeyDown(65, 0), KeyDown(66, 0)},
     {"KeyDown 65 0", "KeyDown 66 0"},
     {0, 0, 0, 1}},
    {"access key on an enabled control clicks without sound or redraw",
     nullptr,
     {AccessKey()},
     {"Click", "navigate http://example.test/"},
     {0, 0, 0, 0}},
    {"access key on a disabled control does nothing",
     [](ButtonHost& h) { h.button.UcEnabled(false); },
     {AccessKey()},
     {},
     {0, 0, 0, 0}},
    {"focus lost while pressed cancels the look; releasing inside still clicks",
     nullptr,
     {FocusIn(), Down(1, 0, 5, 5), FocusOut(), Up(1, 0, 5, 5)},
     Join({{"redraw ..F", "redraw D.F", "MouseDown 1 0 5 5", "redraw ...", "redraw ..."},
           kClick,
           {"MouseUp 1 0 5 5"}}),
     {0, 0, 0, 0}},
    {"focus kept while pressed",
     nullptr,
     {FocusIn(), Down(1, 0, 5, 5)},
     {"redraw ..F", "redraw D.F", "MouseDown 1 0 5 5"},
     {1, 0, 1, 0}},
    {"ambient change redraws", nullptr, {Ambient()}, {"redraw ..."}, {0, 0, 0, 0}},
    {"no link: the click opens nothing",
     [](ButtonHost& h) { h.button.MutableState().URL.clear(); },
     {Down(1, 0, 5, 5), Up(1, 0, 5, 5)},
     {"redraw D..", "MouseDown 1 0 5 5", "redraw ...", "sound click.wav", "Click", "MouseUp 1 0 5 5"},
     {0, 0, 0, 0}},
};

TEST(Transitions, EachInputSequenceDoesWhatTheTableSays) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        ButtonHost host;
        if (row.setup)
            row.setup(host);
        testhost::PumpMessages();
        host.log.clear();
        const int refreshesBefore = host.button.RefreshCount();
        for (const Step& step : row.steps)
            step(host);
        EXPECT_EQ(host.log, row.expected);
        // Every repaint seen came from one Refresh, and no Refresh went unseen.
        EXPECT_EQ(host.button.RefreshCount() - refreshesBefore,
                  std::count_if(host.log.begin(), host.log.end(),
                                [](const std::string& e) { return e.rfind("redraw ", 0) == 0; }));
        const auto& s = host.button.State();
        EXPECT_EQ((Flags{s.g_IsDown, s.g_IsOver, s.g_HasFocus, s.g_SpaceLatch}), row.after);
    }
}

// The container's handlers receive the host's own variables: what they change, the host sees.
TEST(Transitions, EventArgumentsAreTheHostsVariables) {
    ButtonHost host;
    host.button.Events.KeyDown = [](std::int16_t& k, std::int16_t& s) {
        k = 0;
        s = 4;
    };
    host.button.Events.MouseDown = [](std::int16_t& b, std::int16_t&, float& x, float&) {
        b = 4;
        x = 99;
    };
    std::int16_t key = 65, shift = 0;
    host.button.HandleKeyDown(key, shift);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(shift, 4);

    std::int16_t b = 1, s = 0;
    float x = 3, y = 3;
    host.button.HandleMouseDown(b, s, x, y);
    EXPECT_EQ(b, 4);
    EXPECT_EQ(x, 99);
    // The double click passes the stored press itself, so a handler's change lands in it.
    host.button.HandleDoubleClick();
    EXPECT_EQ(host.button.State().g_LastMouseButton, 4);
    EXPECT_EQ(host.button.State().g_LastMouseX, 99);
}

} // namespace
