// Small owners for the GDI objects the painting procedures create. Each releases exactly what it
// acquired, and a selection is always undone before the object or the device context goes.
#pragma once

#include <windows.h>

#include <utility>

namespace butonum::paint {

// Owns one pen, brush, bitmap or region: DeleteObject when it goes.
template <class H> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    H Get() const { return h_; }
    void Reset() {
        if (h_)
            DeleteObject(h_);
        h_ = nullptr;
    }

private:
    H h_ = nullptr;
};

using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

// Owns a memory device context: DeleteDC when it goes.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() { Reset(); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }
    void Reset() {
        if (dc_)
            DeleteDC(dc_);
        dc_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
};

// Selects an object into a device context and selects back what it replaced, once.
class Selection {
public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() { Undo(); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    void Undo() {
        if (dc_ && previous_)
            SelectObject(dc_, previous_);
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// A work surface: a memory DC compatible with `compatibleWith`, holding a new bitmap of its own
// (colour, compatible with `compatibleWith`; or monochrome). Release selects the DC's first bitmap
// back, deletes the new bitmap, then the DC.
class WorkSurface {
public:
    enum class Kind { Colour, Monochrome };
    WorkSurface(HDC compatibleWith, int width, int height, Kind kind = Kind::Colour)
        : dc_(compatibleWith),
          bitmap_(kind == Kind::Colour ? CreateCompatibleBitmap(compatibleWith, width, height)
                                       : CreateBitmap(width, height, 1, 1, nullptr)),
          selection_(dc_.Get(), bitmap_.Get()) {}
    ~WorkSurface() { Release(); }
    WorkSurface(const WorkSurface&) = delete;
    WorkSurface& operator=(const WorkSurface&) = delete;

    HDC Dc() const { return dc_.Get(); }
    HBITMAP BitmapHandle() const { return bitmap_.Get(); }
    // Takes the bitmap out of the DC (so it can be drawn as an image); doing it twice changes nothing.
    void Deselect() { selection_.Undo(); }
    void Release() {
        selection_.Undo();
        bitmap_.Reset();
        dc_.Reset();
    }

private:
    MemoryDc dc_;
    Bitmap bitmap_;
    Selection selection_;
};

// The pen the last line drawing left selected in the control's surface. It stays selected between
// redraws; replacing it deletes the one before, and when the owner goes the pen is taken out of the
// surface (if the surface still holds it) and deleted.
class LinePen {
public:
    LinePen() = default;
    ~LinePen() { Reset(); }
    LinePen(const LinePen&) = delete;
    LinePen& operator=(const LinePen&) = delete;

    // Selects `pen` into `dc` and deletes the pen this owner held before (never the surface's own).
    void Select(HDC dc, HPEN pen) {
        SelectObject(dc, pen);
        if (pen_ && pen_ != pen)
            DeleteObject(pen_);
        pen_ = pen;
        dc_ = dc;
    }
    HPEN Get() const { return pen_; }
    void Reset() {
        if (!pen_)
            return;
        // The surface may already be gone (its DC deleted), in which case the pen is free.
        if (dc_ && GetObjectType(dc_) == OBJ_MEMDC && GetCurrentObject(dc_, OBJ_PEN) == pen_)
            SelectObject(dc_, GetStockObject(BLACK_PEN));
        DeleteObject(pen_);
        pen_ = nullptr;
        dc_ = nullptr;
    }

private:
    HPEN pen_ = nullptr; // owned
    HDC dc_ = nullptr;   // not owned: the surface it was selected into
};

} // namespace butonum::paint
