// Picture objects: an OLE picture (bitmap, icon, ...) with its handle, kind and HIMETRIC size.
#pragma once

#include "toolkit/Variant.h"

#include <windows.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace tk {

// OLE picture kinds, as the picture's Type reports them.
inline constexpr std::int16_t PicTypeNone = 0;
inline constexpr std::int16_t PicTypeBitmap = 1;
inline constexpr std::int16_t PicTypeMetafile = 2;
inline constexpr std::int16_t PicTypeIcon = 3;
inline constexpr std::int16_t PicTypeEnhMetafile = 4;

class Picture {
public:
    // A picture object without an image (Type 0, Handle 0): not the same as "none".
    static PicturePtr Empty();
    // Loads a .bmp, .ico or .gif file; throws VbError when the file cannot be read as a picture.
    static PicturePtr FromFile(const std::wstring& path);
    // Loads a picture from the bytes of such a file.
    static PicturePtr FromBytes(const std::vector<unsigned char>& bytes);
    // Wraps a bitmap or icon; with own = true the picture deletes the handle when it goes.
    static PicturePtr FromBitmap(HBITMAP bitmap, bool own);
    static PicturePtr FromIcon(HICON icon, bool own);

    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    UINT_PTR Handle() const; // HBITMAP or HICON; 0 for an empty picture
    std::int16_t Type() const;
    long Width() const;                    // HIMETRIC
    long Height() const;                   // HIMETRIC
    IPicture* Get() const { return pic_; } // not owned by the caller; null for an empty picture

    // The picture as file bytes: those it was loaded from, or the picture saved in its own format.
    std::vector<unsigned char> Bytes() const;
    // The file FromFile read, as it was given; empty for pictures made otherwise.
    const std::wstring& SourcePath() const { return sourcePath_; }
    // Two pictures show the same image: the same object, both none, both empty, or the same kind
    // with the same bytes.
    static bool SameImage(const PicturePtr& a, const PicturePtr& b);

    explicit Picture(IPicture* pic); // takes over the reference

private:
    IPicture* pic_;                    // owned: one reference
    std::vector<unsigned char> bytes_; // the file bytes it was loaded from, if any
    std::wstring sourcePath_;
};

} // namespace tk
