// A Butonum placed in a test window, with the site recording what it announces.
#pragma once

#include "butonum/Butonum.h"
#include "tests/support/TestHost.h"
#include "toolkit/Font.h"
#include "toolkit/Picture.h"

#include <gtest/gtest.h>

#include <functional>

namespace butonum_test {

inline tk::PicturePtr MakeBitmap(int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    return tk::Picture::FromBitmap(bitmap, true);
}

// The error number a call raised, 0 when it raised none.
inline int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const tk::VbError& e) {
        return e.Number();
    }
    return 0;
}

template <class Control = butonum::Butonum> struct PlacedButton : testing::Test {
    testhost::TestWindow window{400, 300};
    testhost::TestSite site{window.hwnd()};
    Control b;

    // 1365 x 420 twips, the size of the main window's first button.
    void Create(const tk::PropertyBag* stored = nullptr, int width = 91, int height = 28) {
        b.Create(site, window.hwnd(), 10, 10, width, height, true, stored);
        testhost::PumpMessages();
        site.changes.clear();
    }
    RECT ClientRect() const {
        RECT r{};
        GetClientRect(b.hWnd(), &r);
        return r;
    }
};

} // namespace butonum_test
