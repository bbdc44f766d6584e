// Owners of GDI handles: each releases what it holds the way it was acquired. Move-only; release()
// hands the handle on where the system takes it over (a region given to SetWindowRgn).
#pragma once

#include <windows.h>

#include <utility>

namespace tk {

// A pen, brush, bitmap, font or region: DeleteObject.
template <class H> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& o) noexcept : h_(o.release()) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H get() const { return h_; }
    H release() { return std::exchange(h_, nullptr); }
    void reset(H h = nullptr) {
        if (h_)
            DeleteObject(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_ = nullptr;
};

// A memory device context: DeleteDC.
class MemoryDc {
public:
    MemoryDc() = default;
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() { reset(); }
    MemoryDc(MemoryDc&& o) noexcept : dc_(std::exchange(o.dc_, nullptr)) {}
    MemoryDc& operator=(MemoryDc&& o) noexcept {
        if (this != &o) {
            reset();
            dc_ = std::exchange(o.dc_, nullptr);
        }
        return *this;
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }
    void reset() {
        if (dc_)
            DeleteDC(dc_);
        dc_ = nullptr;
    }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
};

// A window's (or with null, the screen's) device context: ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a device context and selects back what it replaced when it goes.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace tk
