// The base of a user control: a child window with its own drawing surface (a persistent back image
// that the window shows and repaints from), the built-in members a control forwards to, and the
// host's notifications delivered to overridable handlers.
#pragma once

#include "toolkit/ControlSite.h"
#include "toolkit/Font.h"
#include "toolkit/Gdi.h"
#include "toolkit/Picture.h"
#include "toolkit/PropertyBag.h"
#include "toolkit/Variant.h"

#include <windows.h>

#include <string>

namespace tk {

// Scale units of ScaleMode, ScaleX and ScaleY.
inline constexpr std::int16_t vbUser = 0;
inline constexpr std::int16_t vbTwips = 1;
inline constexpr std::int16_t vbPoints = 2;
inline constexpr std::int16_t vbPixels = 3;
inline constexpr std::int16_t vbInches = 5;
inline constexpr std::int16_t vbMillimeters = 6;
inline constexpr std::int16_t vbCentimeters = 7;
inline constexpr std::int16_t vbHimetric = 8;

// Mouse pointer codes.
inline constexpr std::int16_t vbDefault = 0;
inline constexpr std::int16_t vbCustom = 99;

// An invisible image holding a picture (a control's child component).
struct Image {
    PicturePtr Picture;
    bool Visible = false;
};

class UserControl {
public:
    UserControl();
    virtual ~UserControl();
    UserControl(const UserControl&) = delete;
    UserControl& operator=(const UserControl&) = delete;

    // Creates the child window at the given pixel rectangle of the parent, then runs the lifecycle:
    // HandleInitialize; HandleReadProperties with `stored` when given, HandleInitProperties otherwise;
    // then the window is shown (if visible) and its size reported (HandleResize).
    void Create(ControlSite& site, HWND parent, int x, int y, int width, int height, bool visible,
                const PropertyBag* stored);
    // Destroys the window (HandleTerminate runs). A derived control calls it from its own destructor,
    // so that HandleTerminate still reaches the derived handler; the base destructor calls it too.
    void Destroy();
    // Asks the control to save itself into `bag` (HandleWriteProperties).
    void SaveProperties(PropertyBag& bag);

    // Built-in members kept by the host for the control.
    HWND hWnd() const { return hwnd_; }
    bool UcEnabled() const;
    void UcEnabled(bool on);
    std::int16_t UcMousePointer() const { return mousePointer_; }
    void UcMousePointer(std::int16_t code);
    PicturePtr UcMouseIcon() const { return mouseIcon_; }
    void UcMouseIcon(const PicturePtr& icon);
    std::wstring Tag() const { return tag_; }
    void Tag(const std::wstring& v) { tag_ = v; }
    std::wstring AccessKeys() const { return accessKeys_; }
    void AccessKeys(const std::wstring& keys);

    // The drawing surface.
    FontPtr UcFont() const { return font_; }
    void UcFont(const FontPtr& font); // takes the font's attributes onto the surface
    OLE_COLOR UcBackColor() const { return backColor_; }
    void UcBackColor(OLE_COLOR c); // repaints the whole surface in that colour
    OLE_COLOR UcForeColor() const { return foreColor_; }
    void UcForeColor(OLE_COLOR c);
    bool AutoRedraw() const { return autoRedraw_; }
    // All drawing goes to the back image. While auto-redraw is on the window keeps showing the last
    // finished image; switching it off shows the new one, and drawing while it is off shows at once.
    void AutoRedraw(bool on);
    void Cls(); // fills the back image with the back colour
    HDC hDC() const { return backDc_.get(); }
    std::int16_t ScaleMode() const { return scaleMode_; }
    void ScaleMode(std::int16_t mode);
    double ScaleWidth() const;  // client width in the ScaleMode unit
    double ScaleHeight() const; // client height in the ScaleMode unit
    double ScaleX(double value, std::int16_t from, std::int16_t to) const;
    double ScaleY(double value, std::int16_t from, std::int16_t to) const;
    // Draws a picture scaled (x, y, w, h in the ScaleMode unit; the source rectangle too); icons
    // keep their transparency.
    void PaintPicture(const PicturePtr& picture, double x, double y, double width, double height, double srcX,
                      double srcY, double srcWidth, double srcHeight);

    // The control's size as its extender holds it, in twips.
    double Width() const;
    void Width(double twips);
    double Height() const;
    void Height(double twips);

    // Host services.
    ControlSite& Site() const { return *site_; }
    void PropertyChanged(const std::wstring& name);
    void DoEvents(); // processes all pending messages once, then returns
    void CaptureMouse();

protected:
    // Notifications from the host. Arguments are the host's own variables, passed on by reference.
    virtual void HandleInitialize() {}
    virtual void HandleInitProperties() {}
    virtual void HandleReadProperties(PropertyBag&) {}
    virtual void HandleWriteProperties(PropertyBag&) {}
    virtual void HandleTerminate() {}
    virtual void HandleResize() {}
    virtual void HandleFocusEnter() {}
    virtual void HandleFocusExit() {}
    virtual void HandleAccessKey(std::int16_t& /*KeyAscii*/) {}
    virtual void HandleAmbientChange(const std::wstring& /*PropertyName*/) {}
    virtual void HandleMouseDown(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/,
                                 float& /*Y*/) {}
    virtual void HandleMouseMove(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/,
                                 float& /*Y*/) {}
    virtual void HandleMouseUp(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/,
                               float& /*Y*/) {}
    virtual void HandleDoubleClick() {}
    virtual void HandleKeyDown(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
    virtual void HandleKeyPress(std::int16_t& /*KeyAscii*/) {}
    virtual void HandleKeyUp(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
    // WM_TIMER for a timer owned by this control's window; true when handled.
    virtual bool HandleTimerMessage(UINT_PTR /*id*/) { return false; }

public:
    // Called by the host window when the user presses Alt with one of AccessKeys.
    void DeliverAccessKey(wchar_t key);
    void DeliverAmbientChange(const std::wstring& name);

    // For a host window's WM_SYSCHAR (or its message loop): delivers Alt+key to the first enabled,
    // visible user control below `root` whose AccessKeys hold the key. True when one took it.
    static bool RouteAccessKey(HWND root, wchar_t key);
    // For a host's message loop: routes a WM_SYSCHAR, wherever the focus is, to the user controls of
    // the message's top-level window. True when a control took it (the message is then consumed).
    static bool PreTranslateAccessKey(const MSG& msg);
    // The user control that owns a window of the user-control class, or null.
    static UserControl* FromWindow(HWND hwnd);
    static const wchar_t* ClassName() { return L"TkUserControl"; }
    // Twips per pixel of the screen (15 at 96 dots per inch).
    static double TwipsPerPixelX();
    static double TwipsPerPixelY();

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void ResizeBackImage();
    void PaintFromBackImage(HDC target);
    void ApplySurfaceFont();
    void SurfaceChanged(); // shows drawing done while auto-redraw is off
    float ToScaleX(int px) const;
    float ToScaleY(int px) const;
    void OnMouseButton(UINT msg, WPARAM wp, LPARAM lp);

    ControlSite* site_ = nullptr; // not owned
    HWND hwnd_ = nullptr;         // owned: destroyed by Destroy()
    // The back image. Destroy() selects the DC's own objects back before anything is deleted.
    MemoryDc backDc_;                 // owned
    GdiObject<HBITMAP> backBitmap_;   // owned, selected into backDc_
    HGDIOBJ backOldBitmap_ = nullptr; // the DC's own bitmap, selected back at the end
    GdiObject<HFONT> surfaceFont_;    // owned, selected into backDc_
    HGDIOBJ backOldFont_ = nullptr;   // the DC's own font
    int backWidth_ = 0, backHeight_ = 0;
    bool enabled_ = true;
    std::int16_t mousePointer_ = vbDefault;
    PicturePtr mouseIcon_;
    std::wstring tag_;
    std::wstring accessKeys_;
    FontPtr font_;
    OLE_COLOR backColor_ = static_cast<OLE_COLOR>(0x8000000F);
    OLE_COLOR foreColor_ = static_cast<OLE_COLOR>(0x80000012);
    bool autoRedraw_ = false;
    std::int16_t scaleMode_ = vbTwips;
    int fontSubscription_ = 0; // on font_, rebuilding surfaceFont_ after each attribute change
    bool ready_ = false;       // the lifecycle ran: size changes reach HandleResize
    bool terminated_ = false;
};

} // namespace tk
