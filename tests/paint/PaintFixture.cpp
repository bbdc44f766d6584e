#include "tests/paint/PaintFixture.h"

#include <iomanip>

namespace painttest {

void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << int(GetRValue(c.value)) << ", " << int(GetGValue(c.value)) << ", "
        << int(GetBValue(c.value)) << ")";
}

void PrintTo(const Box& b, std::ostream* os) {
    *os << "[" << b.left << ", " << b.top << " .. " << b.right << ", " << b.bottom << "]";
}

butonum::Butonum& PaintTest::Make(int width, int height, std::int32_t style) {
    W = width;
    H = height;
    button = std::make_unique<butonum::Butonum>();
    button->Create(site, window.hwnd(), 10, 10, width, height, true, nullptr);
    button->Caption(L"");
    button->ButtonStyle(style);
    return *button;
}

void PaintTest::Show(bool over, bool down, bool focus) {
    rec().g_IsOver = over ? 1 : 0;
    rec().g_IsDown = down ? 1 : 0;
    rec().g_HasFocus = focus ? 1 : 0;
    button->Refresh();
}

std::vector<COLORREF> PaintTest::Snapshot() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            all.push_back(GetPixel(button->hDC(), x, y));
    return all;
}

Box PaintTest::Find(COLORREF colour) const {
    Box b{W, H, -1, -1};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (GetPixel(button->hDC(), x, y) == colour) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

tk::PicturePtr BitmapPicture(int width, int height, const std::function<COLORREF(int, int)>& pixel) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelV(dc, x, y, pixel(x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return tk::Picture::FromBitmap(bitmap, true);
}

tk::PicturePtr IconPicture(int width, int height, COLORREF colour,
                           const std::function<bool(int, int)>& opaque) {
    HDC screen = GetDC(nullptr);
    HBITMAP colourBits = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP maskBits = CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(dc, colourBits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelV(dc, x, y, opaque(x, y) ? colour : RGB(0, 0, 0));
    SelectObject(dc, maskBits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelV(dc, x, y, opaque(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colourBits;
    info.hbmMask = maskBits;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colourBits);
    DeleteObject(maskBits);
    return tk::Picture::FromIcon(icon, true);
}

DWORD GdiObjectCount() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return n;
    // Wine answers 0 here (not implemented). Its handle table accepts a handle without the
    // generation bits, so the live objects can be counted by probing every table index.
    DWORD n = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)))
            ++n;
    return n;
}

} // namespace painttest
