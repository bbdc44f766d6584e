#include "tools/butonum-render/RenderHost.h"

#include "toolkit/Font.h"

#include <gdiplus.h>

#include <cstdio>
#include <cwctype>
#include <vector>

namespace render {
namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

[[noreturn]] void NoSuchMember() {
    throw tk::VbError(tk::err::NoSuchMember, "Object doesn't support this property or method");
}

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && Lower(s.substr(s.size() - tail.size())) == tail;
}

} // namespace

tk::FontPtr Site::AmbientFont() const {
    return tk::StdFont::Create();
}

tk::Variant Site::ExtenderMember(const std::wstring& name) {
    const std::wstring n = Lower(name);
    if (n == L"default")
        return tk::Variant::Boolean(isDefault);
    if (n == L"left")
        return tk::Variant(left);
    if (n == L"top")
        return tk::Variant(top);
    if (n == L"name")
        return tk::Variant(L"Butonum1");
    if (n == L"visible")
        return tk::Variant::Boolean(true);
    NoSuchMember();
}

tk::Variant Site::ParentMember(const std::wstring& name) {
    const std::wstring n = Lower(name);
    if (n == L"scalemode")
        return tk::Variant(tk::vbPixels);
    if (n == L"picture")
        return parentPicture ? tk::Variant(parentPicture) : tk::Variant(tk::Picture::Empty());
    if (n == L"hwnd")
        return tk::Variant(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(parent)));
    NoSuchMember();
}

HostWindow::HostWindow() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ButonumRenderHost";
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    hwnd_ = CreateWindowExW(0, L"ButonumRenderHost", L"butonum-render", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            0, 0, 800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

Image::Image(int width, int height) : width_(width), height_(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (dc_ && bitmap_)
        oldBitmap_ = SelectObject(dc_, bitmap_);
}

Image::~Image() {
    if (dc_ && oldBitmap_)
        SelectObject(dc_, oldBitmap_);
    if (dc_)
        DeleteDC(dc_);
    if (bitmap_)
        DeleteObject(bitmap_);
}

bool Image::Save(const std::wstring& path) const {
    if (!bits_)
        return false;
    GdiFlush();
    return EndsWith(path, L".png") ? SavePng(path) : SaveBmp(path);
}

bool Image::SaveBmp(const std::wstring& path) const {
    const DWORD stride = (static_cast<DWORD>(width_) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height_);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42; // "BM"
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + imageSize;
    ih.biSize = sizeof ih;
    ih.biWidth = width_;
    ih.biHeight = height_; // bottom-up on disk, the common form
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = imageSize;
    ih.biXPelsPerMeter = ih.biYPelsPerMeter = 3780; // 96 dots per inch

    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, &fh, sizeof fh, &written, nullptr) && written == sizeof fh;
    ok = ok && WriteFile(file, &ih, sizeof ih, &written, nullptr) && written == sizeof ih;
    const auto* rows = static_cast<const unsigned char*>(bits_);
    for (int y = height_ - 1; ok && y >= 0; --y) {
        ok = WriteFile(file, rows + static_cast<std::size_t>(y) * stride, stride, &written, nullptr) &&
             written == stride;
    }
    CloseHandle(file);
    return ok;
}

bool Image::SavePng(const std::wstring& path) const {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool ok = false;
    // GDI+ reads a bitmap only while no device context holds it.
    SelectObject(dc_, oldBitmap_);
    {
        Gdiplus::GpBitmap* bitmap = nullptr;
        if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap_, nullptr, &bitmap) == Gdiplus::Ok) {
            // The PNG encoder's class id.
            const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
            ok = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, path.c_str(), &png, nullptr) == Gdiplus::Ok;
            Gdiplus::DllExports::GdipDisposeImage(bitmap);
        }
    }
    SelectObject(dc_, bitmap_);
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

} // namespace render
