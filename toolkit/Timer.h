// A timer owned by a window: ticks are delivered through the event loop to Tick.
#pragma once

#include <windows.h>

#include <functional>

namespace tk {

class Timer {
public:
    explicit Timer(HWND owner = nullptr, UINT interval = 0);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetOwner(HWND owner);
    UINT Interval() const { return interval_; }
    void Interval(UINT ms);
    bool Enabled() const { return enabled_; }
    void Enabled(bool on);
    // Called by the owner's window procedure for WM_TIMER; returns true when the id was this timer's.
    bool OnTimer(UINT_PTR id);

    std::function<void()> Tick;

private:
    void Apply();
    HWND owner_;
    UINT interval_;
    bool enabled_ = false;
    UINT_PTR id_;
};

} // namespace tk
