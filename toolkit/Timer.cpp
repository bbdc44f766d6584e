#include "toolkit/Timer.h"

namespace tk {
namespace {
// Timer ids unique in the process, so that several timers can share one owner window.
UINT_PTR NextTimerId() {
    static UINT_PTR next = 0x7000;
    return ++next;
}
} // namespace

Timer::Timer(HWND owner, UINT interval) : owner_(owner), interval_(interval), id_(NextTimerId()) {}

Timer::~Timer() {
    if (owner_ && IsWindow(owner_))
        KillTimer(owner_, id_);
}

void Timer::SetOwner(HWND owner) {
    if (owner_ && IsWindow(owner_))
        KillTimer(owner_, id_);
    owner_ = owner;
    Apply();
}

void Timer::Interval(UINT ms) {
    interval_ = ms;
    Apply();
}

void Timer::Enabled(bool on) {
    enabled_ = on;
    Apply();
}

bool Timer::OnTimer(UINT_PTR id) {
    if (id != id_)
        return false;
    if (enabled_ && interval_ > 0 && Tick)
        Tick();
    return true;
}

// An interval of 0 stops the timer as disabling does.
void Timer::Apply() {
    if (!owner_)
        return;
    if (enabled_ && interval_ > 0)
        SetTimer(owner_, id_, interval_, nullptr);
    else
        KillTimer(owner_, id_);
}

} // namespace tk
