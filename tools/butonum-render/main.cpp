// butonum-render: draws one Butonum off screen in a given state and writes its back image, draws a
// labelled sheet of every style in every state, or measures redraws per second.
#include "tools/butonum-render/RenderHost.h"

#include "butonum/Butonum.h"
#include "toolkit/Font.h"
#include "toolkit/Picture.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const wchar_t kHelp[] =
    L"usage: butonum-render [options] --out FILE\n"
    L"       butonum-render [options] --gallery FILE\n"
    L"       butonum-render --bench\n"
    L"\n"
    L"Draws a Butonum button off screen and writes the control's back image.\n"
    L"\n"
    L"  --size WxH            size of the control in pixels (default 85x28)\n"
    L"  --set NAME=VALUE      sets a property through its public setter; repeatable, applied in\n"
    L"                        the order given. Numbers in decimal or 0x hexadecimal (colours such as\n"
    L"                        0x8000000F name system colours), booleans true/false, text as is.\n"
    L"                        Picture=@FILE, PictureHover=@FILE and MouseIcon=@FILE load a .bmp,\n"
    L"                        .ico or .gif file; an empty value sets none.\n"
    L"                        Font=NAME,SIZE[,bold][,italic][,CHARSET] sets a new font.\n"
    L"                        Properties: Enabled Font MousePointer MouseIcon ShowFocusRect URL\n"
    L"                        Caption ButtonStyle PicturePosition Picture PictureWidth\n"
    L"                        PictureHeight PictureSize PictureHover XPColor_Pressed XPColor_Hover\n"
    L"                        XPDefaultColors BackColor ForeColor SoundOver SoundClick version\n"
    L"                        DefCurHand XPShowBorderAlways MaskColor TransparentBG BEVEL BEVELDEPTH\n"
    L"  --over                the pointer is over the button\n"
    L"  --down                the button is pressed\n"
    L"  --focus               the button has the focus\n"
    L"  --default             the host has made it its default button\n"
    L"  --design-mode         drawn as a form designer shows it (ambient user mode false)\n"
    L"                        A disabled button is --set Enabled=false.\n"
    L"  --parent-picture FILE the parent's background picture (.bmp), parent scale in pixels;\n"
    L"  --left X --top Y      the control's position on the parent, in pixels. Takes effect with\n"
    L"                        --set TransparentBG=true.\n"
    L"  --out FILE            writes the back image as a 24-bit .bmp\n"
    L"  --gallery FILE        writes one labelled sheet of the five styles in every state (normal,\n"
    L"                        hover, pressed, focused, default, disabled, design) after the --set\n"
    L"                        settings; .png (through GDI+) or .bmp by the file's extension. Style 3\n"
    L"                        cells are clipped to the control's window shape.\n"
    L"  --bench               prints redraws per second of an 85x28 button in each style and state\n"
    L"                        and of a 200x60 button with a picture and a caption\n"
    L"  --help                this text\n";

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string Narrow(const std::wstring& s) {
    std::string out;
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::int64_t ParseNumber(const std::wstring& text) {
    std::wstring t = text;
    bool negative = false;
    if (!t.empty() && (t[0] == L'-' || t[0] == L'+')) {
        negative = t[0] == L'-';
        t.erase(0, 1);
    }
    int base = 10;
    if (t.size() > 2 && t[0] == L'0' && (t[1] == L'x' || t[1] == L'X')) {
        base = 16;
        t.erase(0, 2);
    }
    if (t.empty())
        throw UsageError("not a number: " + Narrow(text));
    wchar_t* end = nullptr;
    errno = 0;
    const unsigned long long v = std::wcstoull(t.c_str(), &end, base);
    if (*end != L'\0' || errno == ERANGE || v > 0xFFFFFFFFull)
        throw UsageError("not a number: " + Narrow(text));
    return negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
}

std::int32_t ParseLong(const std::wstring& text) {
    const std::int64_t v = ParseNumber(text);
    if (v < INT32_MIN)
        throw UsageError("out of range: " + Narrow(text));
    // 0x80000000 and above are written as unsigned colour values; they wrap like the colour type.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::int16_t ParseInteger(const std::wstring& text) {
    const std::int64_t v = ParseNumber(text);
    if (v < INT16_MIN || v > INT16_MAX)
        throw UsageError("out of range: " + Narrow(text));
    return static_cast<std::int16_t>(v);
}

tk::VbBool ParseBool(const std::wstring& text) {
    const std::wstring t = Lower(text);
    if (t == L"true")
        return tk::vbTrue;
    if (t == L"false")
        return tk::vbFalse;
    throw UsageError("not true or false: " + Narrow(text));
}

tk::PicturePtr ParsePicture(const std::wstring& text) {
    if (text.empty())
        return nullptr;
    if (text[0] != L'@')
        throw UsageError("a picture is given as @FILE: " + Narrow(text));
    return tk::Picture::FromFile(text.substr(1));
}

tk::FontPtr ParseFont(const std::wstring& text) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(L',', start);
        parts.push_back(text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() < 2)
        throw UsageError("a font is given as NAME,SIZE[,bold][,italic][,CHARSET]");
    wchar_t* end = nullptr;
    const double size = std::wcstod(parts[1].c_str(), &end);
    if (*end != L'\0' || size <= 0)
        throw UsageError("not a font size: " + Narrow(parts[1]));
    tk::FontPtr font = tk::StdFont::Create(parts[0], size);
    for (std::size_t i = 2; i < parts.size(); ++i) {
        const std::wstring p = Lower(parts[i]);
        if (p == L"bold")
            font->Bold(true);
        else if (p == L"italic")
            font->Italic(true);
        else
            font->Charset(ParseInteger(p));
    }
    return font;
}

using Setter = std::function<void(butonum::Butonum&, const std::wstring&)>;

const std::map<std::wstring, Setter>& Setters() {
    using B = butonum::Butonum;
    static const std::map<std::wstring, Setter> table = {
        {L"enabled", [](B& b, const std::wstring& v) { b.Enabled(ParseBool(v)); }},
        {L"font", [](B& b, const std::wstring& v) { b.Font(ParseFont(v)); }},
        {L"mousepointer", [](B& b, const std::wstring& v) { b.MousePointer(ParseLong(v)); }},
        {L"mouseicon", [](B& b, const std::wstring& v) { b.MouseIcon(ParsePicture(v)); }},
        {L"showfocusrect", [](B& b, const std::wstring& v) { b.ShowFocusRect(ParseBool(v)); }},
        {L"url", [](B& b, const std::wstring& v) { b.URL(v); }},
        {L"caption", [](B& b, const std::wstring& v) { b.Caption(v); }},
        {L"buttonstyle", [](B& b, const std::wstring& v) { b.ButtonStyle(ParseLong(v)); }},
        {L"pictureposition", [](B& b, const std::wstring& v) { b.PicturePosition(ParseLong(v)); }},
        {L"picture", [](B& b, const std::wstring& v) { b.Picture(ParsePicture(v)); }},
        {L"picturewidth", [](B& b, const std::wstring& v) { b.PictureWidth(ParseLong(v)); }},
        {L"pictureheight", [](B& b, const std::wstring& v) { b.PictureHeight(ParseLong(v)); }},
        {L"picturesize", [](B& b, const std::wstring& v) { b.PictureSize(ParseLong(v)); }},
        {L"picturehover", [](B& b, const std::wstring& v) { b.PictureHover(ParsePicture(v)); }},
        {L"xpcolor_pressed", [](B& b, const std::wstring& v) { b.XPColor_Pressed(ParseLong(v)); }},
        {L"xpcolor_hover", [](B& b, const std::wstring& v) { b.XPColor_Hover(ParseLong(v)); }},
        {L"xpdefaultcolors", [](B& b, const std::wstring& v) { b.XPDefaultColors(ParseBool(v)); }},
        {L"backcolor", [](B& b, const std::wstring& v) { b.BackColor(ParseLong(v)); }},
        {L"forecolor", [](B& b, const std::wstring& v) { b.ForeColor(ParseLong(v)); }},
        {L"soundover", [](B& b, const std::wstring& v) { b.SoundOver(tk::Variant(v)); }},
        {L"soundclick", [](B& b, const std::wstring& v) { b.SoundClick(v); }},
        {L"version", [](B& b, const std::wstring& v) { b.version(v); }},
        {L"defcurhand", [](B& b, const std::wstring& v) { b.DefCurHand(ParseBool(v)); }},
        {L"xpshowborderalways", [](B& b, const std::wstring& v) { b.XPShowBorderAlways(ParseBool(v)); }},
        {L"maskcolor", [](B& b, const std::wstring& v) { b.MaskColor(ParseLong(v)); }},
        {L"transparentbg", [](B& b, const std::wstring& v) { b.TransparentBG(ParseBool(v)); }},
        {L"bevel", [](B& b, const std::wstring& v) { b.BEVEL(ParseInteger(v)); }},
        {L"beveldepth", [](B& b, const std::wstring& v) { b.BEVELDEPTH(ParseInteger(v)); }},
    };
    return table;
}

void ApplySetting(butonum::Butonum& b, const std::wstring& assignment) {
    const std::size_t eq = assignment.find(L'=');
    if (eq == std::wstring::npos)
        throw UsageError("--set needs NAME=VALUE: " + Narrow(assignment));
    const std::wstring name = Lower(assignment.substr(0, eq));
    const auto it = Setters().find(name);
    if (it == Setters().end())
        throw UsageError("no such property: " + Narrow(assignment.substr(0, eq)));
    it->second(b, assignment.substr(eq + 1));
}

struct Options {
    int width = 85, height = 28;
    std::vector<std::wstring> settings;
    bool over = false, down = false, focus = false, isDefault = false, design = false;
    std::wstring parentPicture;
    double left = 0, top = 0;
    std::wstring out, gallery;
    bool bench = false, help = false;
};

Options ParseOptions(int argc, wchar_t** argv) {
    Options o;
    auto value = [&](int& i) -> std::wstring {
        if (i + 1 >= argc)
            throw UsageError(Narrow(argv[i]) + " needs a value");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--size") {
            const std::wstring v = value(i);
            const std::size_t x = Lower(v).find(L'x');
            if (x == std::wstring::npos)
                throw UsageError("--size needs WxH");
            o.width = ParseLong(v.substr(0, x));
            o.height = ParseLong(v.substr(x + 1));
            if (o.width < 1 || o.height < 1 || o.width > 4096 || o.height > 4096)
                throw UsageError("--size out of range");
        } else if (a == L"--set") {
            o.settings.push_back(value(i));
        } else if (a == L"--over") {
            o.over = true;
        } else if (a == L"--down") {
            o.down = true;
        } else if (a == L"--focus") {
            o.focus = true;
        } else if (a == L"--default") {
            o.isDefault = true;
        } else if (a == L"--design-mode") {
            o.design = true;
        } else if (a == L"--parent-picture") {
            o.parentPicture = value(i);
        } else if (a == L"--left") {
            o.left = ParseLong(value(i));
        } else if (a == L"--top") {
            o.top = ParseLong(value(i));
        } else if (a == L"--out") {
            o.out = value(i);
        } else if (a == L"--gallery") {
            o.gallery = value(i);
        } else if (a == L"--bench") {
            o.bench = true;
        } else if (a == L"--help" || a == L"-h" || a == L"/?") {
            o.help = true;
        } else {
            throw UsageError("unknown option: " + Narrow(a));
        }
    }
    if (!o.help && !o.bench && o.out.empty() && o.gallery.empty())
        throw UsageError("nothing to do: give --out, --gallery, --bench or --help");
    return o;
}

// One control on the hidden host, created as a finished program would create it.
struct Rig {
    render::HostWindow host;
    render::Site site;
    butonum::Butonum button;

    Rig(const Options& o, int width, int height) {
        site.parent = host.hwnd();
        site.userMode = !o.design;
        site.isDefault = o.isDefault;
        site.left = o.left;
        site.top = o.top;
        if (!o.parentPicture.empty())
            site.parentPicture = tk::Picture::FromFile(o.parentPicture);
        button.Create(site, host.hwnd(), static_cast<int>(o.left), static_cast<int>(o.top), width, height,
                      true, nullptr);
    }

    void SetState(bool over, bool down, bool focus) {
        auto& rec = button.MutableState();
        rec.g_IsOver = over ? 1 : 0;
        rec.g_IsDown = down ? 1 : 0;
        rec.g_HasFocus = focus ? 1 : 0;
        button.Refresh();
    }

    // Copies the back image onto `dc` at (x, y); with `shaped`, clipped to the window's region.
    void CopyTo(HDC dc, int x, int y, int width, int height, bool shaped) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const bool clip = shaped && GetWindowRgn(button.hWnd(), region) != ERROR;
        if (clip) {
            OffsetRgn(region, x, y);
            SelectClipRgn(dc, region);
        }
        BitBlt(dc, x, y, width, height, button.hDC(), 0, 0, SRCCOPY);
        if (clip)
            SelectClipRgn(dc, nullptr);
        DeleteObject(region);
    }
};

int RenderOne(const Options& o) {
    Rig rig(o, o.width, o.height);
    for (const auto& s : o.settings)
        ApplySetting(rig.button, s);
    rig.SetState(o.over, o.down, o.focus);
    render::Image image(o.width, o.height);
    rig.CopyTo(image.Dc(), 0, 0, o.width, o.height, false);
    if (!image.Save(o.out)) {
        std::fprintf(stderr, "butonum-render: cannot write %s\n", Narrow(o.out).c_str());
        return 1;
    }
    return 0;
}

struct StateCase {
    const wchar_t* label;
    bool over, down, focus, isDefault, disabled, design;
};

const StateCase kStates[] = {
    {L"normal", false, false, false, false, false, false},
    {L"hover", true, false, false, false, false, false},
    {L"pressed", true, true, false, false, false, false},
    {L"focused", false, false, true, false, false, false},
    {L"default", false, false, false, true, false, false},
    {L"disabled", false, false, false, false, true, false},
    {L"design", false, false, false, false, false, true},
};

void Label(HDC dc, const wchar_t* text, RECT r, UINT flags) {
    DrawTextW(dc, text, -1, &r, flags | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

int Gallery(const Options& o) {
    const int labelWidth = 64, headerHeight = 22, pad = 10;
    const int cellW = o.width + 2 * pad, cellH = o.height + 2 * pad;
    const int columns = static_cast<int>(std::size(kStates));
    render::Image sheet(labelWidth + columns * cellW, headerHeight + 5 * cellH);
    RECT all{0, 0, sheet.Width(), sheet.Height()};
    FillRect(sheet.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(sheet.Dc(), TRANSPARENT);
    SetTextColor(sheet.Dc(), RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(sheet.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    for (int c = 0; c < columns; ++c)
        Label(sheet.Dc(), kStates[c].label,
              RECT{labelWidth + c * cellW, 0, labelWidth + (c + 1) * cellW, headerHeight}, DT_CENTER);

    Options plain = o;
    plain.design = plain.isDefault = false;
    Rig rig(plain, o.width, o.height);
    rig.button.Caption(L"&Kapat");
    for (const auto& s : o.settings)
        ApplySetting(rig.button, s);
    const tk::VbBool enabled = rig.button.Enabled();
    for (int style = 0; style < 5; ++style) {
        rig.button.ButtonStyle(style);
        const int y = headerHeight + style * cellH;
        wchar_t name[32];
        std::swprintf(name, std::size(name), L"style %d", style);
        Label(sheet.Dc(), name, RECT{6, y, labelWidth, y + cellH}, DT_LEFT);
        for (int c = 0; c < columns; ++c) {
            const StateCase& s = kStates[c];
            rig.site.userMode = !s.design;
            rig.site.isDefault = s.isDefault;
            rig.button.Enabled(s.disabled ? tk::vbFalse : enabled);
            rig.SetState(s.over, s.down, s.focus);
            rig.CopyTo(sheet.Dc(), labelWidth + c * cellW + pad, y + pad, o.width, o.height, true);
        }
    }
    SelectObject(sheet.Dc(), oldFont);
    if (!sheet.Save(o.gallery)) {
        std::fprintf(stderr, "butonum-render: cannot write %s\n", Narrow(o.gallery).c_str());
        return 1;
    }
    return 0;
}

double RedrawsPerSecond(butonum::Butonum& b) {
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    long long n = 0;
    do {
        for (int i = 0; i < 25; ++i)
            b.Refresh();
        n += 25;
        QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < freq.QuadPart / 2);
    return static_cast<double>(n) * static_cast<double>(freq.QuadPart) /
           static_cast<double>(now.QuadPart - start.QuadPart);
}

// A 32 x 32 test picture: a blue disc with a magenta (mask colour) surround.
tk::PicturePtr BenchPicture() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    RECT r{0, 0, 32, 32};
    FillRect(dc, &r, magenta);
    DeleteObject(magenta);
    HBRUSH blue = CreateSolidBrush(RGB(30, 80, 200));
    HGDIOBJ oldBrush = SelectObject(dc, blue);
    Ellipse(dc, 2, 2, 30, 30);
    SelectObject(dc, oldBrush);
    DeleteObject(blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tk::Picture::FromBitmap(bitmap, true);
}

int Bench() {
    Options o;
    std::printf("redraws per second (Refresh of the whole control into its back image)\n");
    std::printf("%-26s", "85x28 \"&Kapat\"");
    for (const auto& s : kStates)
        std::printf("%10s", Narrow(s.label).c_str());
    std::printf("\n");
    {
        Rig rig(o, 85, 28);
        rig.button.Caption(L"&Kapat");
        for (int style = 0; style < 5; ++style) {
            rig.button.ButtonStyle(style);
            std::printf("  style %-18d", style);
            for (const auto& s : kStates) {
                rig.site.userMode = !s.design;
                rig.site.isDefault = s.isDefault;
                rig.button.Enabled(s.disabled ? tk::vbFalse : tk::vbTrue);
                auto& rec = rig.button.MutableState();
                rec.g_IsOver = s.over;
                rec.g_IsDown = s.down;
                rec.g_HasFocus = s.focus;
                std::printf("%10.0f", RedrawsPerSecond(rig.button));
            }
            std::printf("\n");
        }
    }
    {
        Rig rig(o, 200, 60);
        rig.button.Caption(L"&Kapat");
        rig.button.Picture(BenchPicture());
        rig.button.MaskColor(0x00FF00FF);
        std::printf("200x60 picture 32x32 + caption\n");
        for (int style : {2, 3}) {
            rig.button.ButtonStyle(style);
            std::printf("  style %-18d", style);
            for (const auto& s : kStates) {
                rig.site.userMode = !s.design;
                rig.site.isDefault = s.isDefault;
                rig.button.Enabled(s.disabled ? tk::vbFalse : tk::vbTrue);
                auto& rec = rig.button.MutableState();
                rec.g_IsOver = s.over;
                rec.g_IsDown = s.down;
                rec.g_HasFocus = s.focus;
                std::printf("%10.0f", RedrawsPerSecond(rig.button));
            }
            std::printf("\n");
        }
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options o;
    try {
        o = ParseOptions(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "butonum-render: %s\n(see --help)\n", e.what());
        return 2;
    }
    if (o.help) {
        std::fputs(Narrow(kHelp).c_str(), stdout);
        return 0;
    }
    const HRESULT com = OleInitialize(nullptr);
    int rc = 0;
    try {
        if (o.bench)
            rc = Bench();
        if (rc == 0 && !o.out.empty())
            rc = RenderOne(o);
        if (rc == 0 && !o.gallery.empty())
            rc = Gallery(o);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "butonum-render: %s\n(see --help)\n", e.what());
        rc = 2;
    } catch (const tk::VbError& e) {
        std::fprintf(stderr, "butonum-render: error %d: %s\n", e.Number(), e.what());
        rc = 1;
    }
    if (SUCCEEDED(com))
        OleUninitialize();
    return rc;
}
