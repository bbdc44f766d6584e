// Owners for the GDI objects the painting procedures create, on top of the toolkit's: a selection
// that can be undone early (a bitmap is drawn as an image only once no DC holds it), a work surface
// with a bitmap of its own, and the pen the last line leaves selected.
#pragma once

#include "toolkit/Gdi.h"

#include <windows.h>

#include <utility>

namespace butonum::paint {

using Brush = tk::GdiObject<HBRUSH>;
using Bitmap = tk::GdiObject<HBITMAP>;
using tk::MemoryDc;

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
        if (dc_ && previous_ && previous_ != HGDI_ERROR)
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
          selection_(dc_.get(), bitmap_.get()) {}
    ~WorkSurface() { Release(); }
    WorkSurface(const WorkSurface&) = delete;
    WorkSurface& operator=(const WorkSurface&) = delete;

    HDC Dc() const { return dc_.get(); }
    HBITMAP BitmapHandle() const { return bitmap_.get(); }
    // Takes the bitmap out of the DC (so it can be drawn as an image); doing it twice changes nothing.
    void Deselect() { selection_.Undo(); }
    void Release() {
        selection_.Undo();
        bitmap_.reset();
        dc_.reset();
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
