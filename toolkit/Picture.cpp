#include "toolkit/Picture.h"

#include "toolkit/Gdi.h"

#include <ocidl.h>
#include <ole2.h>

#include <cstring>

namespace tk {
namespace {

// Owns one COM reference.
template <class T> class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p_)
            p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }

private:
    T* p_ = nullptr;
};

[[noreturn]] void InvalidPicture() {
    throw VbError(481, "Invalid picture");
}

} // namespace

Picture::Picture(IPicture* pic) : pic_(pic) {}

Picture::~Picture() {
    if (pic_)
        pic_->Release();
}

PicturePtr Picture::Empty() {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_NONE;
    IPicture* pic = nullptr;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&pic))))
        pic = nullptr; // an object without an image either way
    return std::make_shared<Picture>(pic);
}

PicturePtr Picture::FromBytes(const std::vector<unsigned char>& bytes) {
    if (bytes.empty())
        InvalidPicture();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!mem)
        throw VbError(7, "Out of memory");
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, stream.Out()))) {
        GlobalFree(mem);
        throw VbError(7, "Out of memory");
    }
    ComRef<IPicture> pic;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(pic.Out()))) ||
        !pic.Get())
        InvalidPicture();
    auto result = std::make_shared<Picture>(pic.Detach());
    result->bytes_ = bytes;
    return result;
}

PicturePtr Picture::FromFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw VbError(53, "File not found");
    std::vector<unsigned char> bytes;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30);
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
             read == bytes.size();
    }
    CloseHandle(file);
    if (!ok)
        InvalidPicture();
    auto result = FromBytes(bytes);
    result->sourcePath_ = path;
    return result;
}

namespace {
PicturePtr FromDesc(PICTDESC& desc, bool own) {
    IPicture* pic = nullptr;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, own ? TRUE : FALSE,
                                        reinterpret_cast<void**>(&pic))))
        InvalidPicture();
    return std::make_shared<Picture>(pic);
}
} // namespace

PicturePtr Picture::FromBitmap(HBITMAP bitmap, bool own) {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap;
    return FromDesc(desc, own);
}

PicturePtr Picture::FromIcon(HICON icon, bool own) {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = icon;
    return FromDesc(desc, own);
}

UINT_PTR Picture::Handle() const {
    OLE_HANDLE h = 0;
    if (!pic_ || FAILED(pic_->get_Handle(&h)))
        return 0;
    return static_cast<UINT_PTR>(h);
}

std::int16_t Picture::Type() const {
    SHORT t = PICTYPE_NONE;
    if (!pic_ || FAILED(pic_->get_Type(&t)))
        return PicTypeNone;
    // The uninitialised kind (-1) reads as none.
    return t < 0 ? PicTypeNone : static_cast<std::int16_t>(t);
}

long Picture::Width() const {
    OLE_XSIZE_HIMETRIC w = 0;
    if (!pic_ || FAILED(pic_->get_Width(&w)))
        return 0;
    return static_cast<long>(w);
}

long Picture::Height() const {
    OLE_YSIZE_HIMETRIC h = 0;
    if (!pic_ || FAILED(pic_->get_Height(&h)))
        return 0;
    return static_cast<long>(h);
}

namespace {
// A bitmap as the bytes of a 32-bit .bmp file.
std::vector<unsigned char> BitmapFileBytes(HBITMAP bitmap) {
    std::vector<unsigned char> out;
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return out;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = bm.bmWidth;
    info.biHeight = bm.bmHeight;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const std::size_t pixels =
        static_cast<std::size_t>(bm.bmWidth) * static_cast<std::size_t>(bm.bmHeight) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels);
    out.resize(file.bfSize);
    std::memcpy(out.data(), &file, sizeof file);
    std::memcpy(out.data() + sizeof file, &info, sizeof info);
    WindowDc screen(nullptr);
    const int lines =
        GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), out.data() + file.bfOffBits,
                  reinterpret_cast<BITMAPINFO*>(out.data() + sizeof file), DIB_RGB_COLORS);
    if (lines != bm.bmHeight)
        out.clear();
    return out;
}

// An icon as the bytes of a one-image .ico file (32-bit colour and its mask).
std::vector<unsigned char> IconFileBytes(HICON icon) {
    std::vector<unsigned char> out;
    ICONINFO ii{};
    if (!GetIconInfo(icon, &ii))
        return out;
    // GetIconInfo hands over copies of the two bitmaps.
    const GdiObject<HBITMAP> colour(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    const bool ok = ii.hbmColor && GetObjectW(ii.hbmColor, sizeof bm, &bm) && bm.bmWidth > 0 &&
                    bm.bmHeight > 0 && bm.bmWidth <= 256 && bm.bmHeight <= 256;
    if (ok) {
        const int w = bm.bmWidth, h = bm.bmHeight;
        const std::size_t colourBytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
        const std::size_t maskStride = static_cast<std::size_t>((w + 31) / 32 * 4);
        const std::size_t maskBytes = maskStride * static_cast<std::size_t>(h);
        const std::size_t imageOffset = 6 + 16;
        const std::size_t imageBytes = sizeof(BITMAPINFOHEADER) + colourBytes + maskBytes;
        out.assign(imageOffset + imageBytes, 0);
        unsigned char* p = out.data();
        p[2] = 1; // icon
        p[4] = 1; // one image
        p[6] = static_cast<unsigned char>(w & 0xff);
        p[7] = static_cast<unsigned char>(h & 0xff);
        p[10] = 1;  // planes
        p[12] = 32; // bits per pixel
        const auto size32 = static_cast<std::uint32_t>(imageBytes),
                   offset32 = static_cast<std::uint32_t>(imageOffset);
        std::memcpy(p + 14, &size32, 4);
        std::memcpy(p + 18, &offset32, 4);

        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];
        } info{};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = w;
        info.header.biHeight = h;
        info.header.biPlanes = 1;
        info.header.biBitCount = 32;
        WindowDc screen(nullptr);
        bool copied = GetDIBits(screen.get(), ii.hbmColor, 0, static_cast<UINT>(h),
                                p + imageOffset + sizeof info.header, reinterpret_cast<BITMAPINFO*>(&info),
                                DIB_RGB_COLORS) == h;
        info.header = BITMAPINFOHEADER{};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = w;
        info.header.biHeight = h;
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        copied = copied && GetDIBits(screen.get(), ii.hbmMask, 0, static_cast<UINT>(h),
                                     p + imageOffset + sizeof info.header + colourBytes,
                                     reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == h;
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = w;
        header.biHeight = h * 2; // colour and mask together
        header.biPlanes = 1;
        header.biBitCount = 32;
        std::memcpy(p + imageOffset, &header, sizeof header);
        if (!copied)
            out.clear();
    }
    return out;
}

} // namespace

std::vector<unsigned char> Picture::Bytes() const {
    if (!bytes_.empty() || !pic_ || Type() == PicTypeNone)
        return bytes_;
    if (Type() == PicTypeBitmap)
        return BitmapFileBytes(reinterpret_cast<HBITMAP>(Handle()));
    if (Type() == PicTypeIcon) {
        auto icon = IconFileBytes(reinterpret_cast<HICON>(Handle()));
        if (!icon.empty())
            return icon;
    }
    std::vector<unsigned char> out;
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out())))
        return out;
    LONG size = 0;
    if (FAILED(pic_->SaveAsFile(stream.Get(), TRUE, &size)))
        return out;
    HGLOBAL mem = nullptr;
    if (FAILED(GetHGlobalFromStream(stream.Get(), &mem)))
        return out;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return out;
    const auto n = static_cast<std::size_t>(stat.cbSize.QuadPart);
    if (const void* p = GlobalLock(mem)) {
        out.assign(static_cast<const unsigned char*>(p), static_cast<const unsigned char*>(p) + n);
        GlobalUnlock(mem);
    }
    return out;
}

bool Picture::SameImage(const PicturePtr& a, const PicturePtr& b) {
    if (a == b)
        return true;
    // An empty picture shows nothing, like none.
    const bool aBlank = !a || a->Type() == PicTypeNone;
    const bool bBlank = !b || b->Type() == PicTypeNone;
    if (aBlank || bBlank)
        return aBlank && bBlank;
    return a->Type() == b->Type() && a->Width() == b->Width() && a->Height() == b->Height() &&
           a->Bytes() == b->Bytes();
}

} // namespace tk
