// Butonum: an owner-drawn push button. One class; its procedures are spread over the files of
// butonum/ (model, persistence, redraw, input, hover) and butonum/paint/ (face and content), and all
// of them read and write the state record `rec` directly.
#pragma once

#include "butonum/paint/Gdi.h"
#include "toolkit/Timer.h"
#include "toolkit/UserControl.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace butonum {

using tk::FontPtr;
using tk::OLE_COLOR;
using tk::PicturePtr;
using tk::VbBool;

// Colour parts of the shading arithmetic: whole numbers 0..255 as built by SplitColor.
struct ColorParts {
    double Red = 0;
    double Green = 0;
    double Blue = 0;
};

// The container's handlers. Every argument is passed by reference.
struct ButonumEvents {
    std::function<void()> Click;
    std::function<void(std::int16_t& KeyCode, std::int16_t& Shift)> KeyDown;
    std::function<void(std::int16_t& KeyAscii)> KeyPress;
    std::function<void(std::int16_t& KeyCode, std::int16_t& Shift)> KeyUp;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseDown;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseMove;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseUp;
    std::function<void(std::int16_t& Shift)> MouseIn;
    std::function<void(std::int16_t& Shift)> MouseOut;
};

// The state record of one instance, fields in their order.
struct ButonumState {
    HRGN g_Region = nullptr; // owned until applied to the window; the window owns it afterwards
    std::int32_t g_WidthPx = 0, g_HeightPx = 0;
    RECT g_InnerRect{};
    RECT g_PictureRect{};
    RECT g_CaptionRect{};
    RECT g_SavedRect{};
    RECT g_FocusRect{};
    RECT g_ClientRect{};
    std::int32_t OriginalPicSizeW = 0, OriginalPicSizeH = 0;
    PicturePtr g_NormalPicture;
    PicturePtr PictureHover;
    std::wstring Caption;
    std::int32_t PicturePosition = 0;
    std::int32_t ButtonStyle = 0;
    PicturePtr Picture;
    std::int32_t PictureWidth = 0, PictureHeight = 0;
    std::int32_t PictureSize = 0;
    DRAWTEXTPARAMS g_TextParams{};
    std::uint8_t g_HasFocus = 0;
    std::uint8_t g_IsDown = 0;
    std::uint8_t g_IsOver = 0;
    std::int16_t g_LastMouseButton = 0, g_LastMouseShift = 0;
    float g_LastMouseX = 0, g_LastMouseY = 0;
    std::uint8_t g_SpaceLatch = 0;
    std::wstring URL;
    VbBool ShowFocusRect = 0;
    std::int16_t BEVEL = 0;
    std::int16_t BEVELDEPTH = 0;
    VbBool TransparentBG = 0;
    OLE_COLOR MaskColor = 0;
    VbBool XPShowBorderAlways = 0;
    VbBool DefCurHand = 0;
    std::wstring SoundOver, SoundClick;
    OLE_COLOR ForeColor = 0;
    OLE_COLOR BackColor = 0;
    VbBool XPDefaultColors = 0;
    OLE_COLOR XPColor_Pressed = 0;
    OLE_COLOR XPColor_Hover = 0;
    FontPtr g_Font;
};

class Butonum : public tk::UserControl {
public:
    Butonum();
    ~Butonum() override;

    ButonumEvents Events;

    // Public members, in their fixed order (get before set).
    void Refresh();
    VbBool Enabled() const;
    void Enabled(VbBool New_Enabled);
    FontPtr Font() const;
    void Font(const FontPtr& New_Font);
    HWND hwnd() const;
    std::int32_t MousePointer() const;
    void MousePointer(std::int32_t New_MousePointer);
    PicturePtr MouseIcon() const;
    void MouseIcon(const PicturePtr& New_MouseIcon);
    VbBool ShowFocusRect() const;
    void ShowFocusRect(VbBool New_ShowFocusRect);
    void GoToURL();
    std::wstring URL() const;
    void URL(const std::wstring& New_URL);
    std::wstring Caption() const;
    void Caption(const std::wstring& New_Caption);
    std::int32_t ButtonStyle() const;
    void ButtonStyle(std::int32_t New_ButtonStyle);
    std::int32_t PicturePosition() const;
    void PicturePosition(std::int32_t New_PicturePosition);
    PicturePtr Picture() const;
    void Picture(const PicturePtr& New_Picture);
    std::int32_t PictureWidth() const;
    void PictureWidth(std::int32_t New_PictureWidth);
    std::int32_t PictureHeight() const;
    void PictureHeight(std::int32_t New_PictureHeight);
    std::int32_t PictureSize() const;
    void PictureSize(std::int32_t New_PictureSize);
    PicturePtr PictureHover() const;
    void PictureHover(const PicturePtr& New_PictureHover);
    OLE_COLOR XPColor_Pressed() const;
    void XPColor_Pressed(OLE_COLOR New_XPColor_Pressed);
    OLE_COLOR XPColor_Hover() const;
    void XPColor_Hover(OLE_COLOR New_XPColor_Hover);
    VbBool XPDefaultColors() const;
    void XPDefaultColors(VbBool New_XPDefaultColors);
    OLE_COLOR BackColor() const;
    void BackColor(OLE_COLOR New_BackColor);
    OLE_COLOR ForeColor() const;
    void ForeColor(OLE_COLOR New_ForeColor);
    tk::Variant SoundOver() const;
    void SoundOver(const tk::Variant& New_SoundOver);
    std::wstring SoundClick() const;
    void SoundClick(const std::wstring& New_SoundClick);
    std::wstring version() const;
    void version(const std::wstring& New_version);
    VbBool DefCurHand() const;
    void DefCurHand(VbBool New_DefCurHand);
    VbBool XPShowBorderAlways() const;
    void XPShowBorderAlways(VbBool New_XPShowBorderAlways);
    OLE_COLOR MaskColor() const;
    void MaskColor(OLE_COLOR New_MaskColor);
    VbBool TransparentBG() const;
    void TransparentBG(VbBool New_TransparentBG);
    std::int16_t BEVEL() const;
    void BEVEL(std::int16_t New_BEVEL);
    std::int16_t BEVELDEPTH() const;
    void BEVELDEPTH(std::int16_t New_BEVELDEPTH);

    // Read-only views for tests and tools; the procedures use `rec` directly.
    const ButonumState& State() const { return rec; }
    ButonumState& MutableState() { return rec; }
    // How many times Refresh ran since the instance was made (tests count redraws with it).
    int RefreshCount() const { return refreshCount_; }

protected:
    void HandleInitProperties() override;
    void HandleReadProperties(tk::PropertyBag& PropBag) override;
    void HandleTerminate() override;
    void HandleWriteProperties(tk::PropertyBag& PropBag) override;

public: // tests and the render tool drive layout and painting steps directly
    void LayoutContent();

protected:
    void HandleInitialize() override;
    void HandleAccessKey(std::int16_t& KeyAscii) override;
    void HandleAmbientChange(const std::wstring& PropertyName) override;
    void HandleFocusEnter() override;
    void HandleFocusExit() override;
    void HandleResize() override;
    void HandleDoubleClick() override;
    void HandleKeyDown(std::int16_t& KeyCode, std::int16_t& Shift) override;
    void HandleKeyPress(std::int16_t& KeyAscii) override;
    void HandleKeyUp(std::int16_t& KeyCode, std::int16_t& Shift) override;
    void HandleMouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;
    void HandleMouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;
    void HandleMouseUp(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;
    bool HandleTimerMessage(UINT_PTR id) override;

public: // painting procedures, public so that pixel tests can run each one on its own
    void g_Font_FontChanged(const std::wstring& PropertyName);
    void DrawRaisedBevel(COLORREF color, std::int16_t depth, std::int16_t shade);
    void DrawSunkenBevel(COLORREF color, std::int16_t depth, std::int16_t shade);
    void DrawDefaultFrame();
    void ApplyStateColors();
    void DrawBorder();
    void OverTimer_Timer();
    void OpenLink(HWND parent, const std::wstring& link);
    // Virtual only so that layout tests can substitute a measurement of known size.
    virtual void MeasureCaption();
    void DrawCaption();
    void DrawBitmapPicture(std::uint8_t EnabledLook, const RECT& Target, std::uint8_t ShadowLook);
    void DrawIconPicture(std::uint8_t EnabledLook, const RECT& Target, std::uint8_t ShadowLook);
    void DrawPicture();
    void CopyParentBackground();
    std::uint8_t PlaySoundFile(std::wstring& name);
    ColorParts SplitColor(COLORREF color) const;
    COLORREF TranslateColor(OLE_COLOR color) const;
    COLORREF ShiftColor(COLORREF color, std::int32_t amount) const;
    void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, COLORREF color);
    void DrawRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  OLE_COLOR color, std::uint8_t Mode);
    void DrawXPFace(std::uint8_t FaceState, std::uint8_t HoverRing);
    void ShapeWindow();
    void MaskedBlt(HDC destination, HDC background, HDC source, std::int32_t srcLeft, std::int32_t srcTop,
                   std::int32_t srcRight, std::int32_t srcBottom, std::int32_t destX, std::int32_t destY,
                   OLE_COLOR maskColor);
    void UpdateAccessKey();

    // Child components created with the control.
    tk::Timer OverTimer;
    tk::Image imgHAND;

private:
    void HoverEntry(std::int16_t& Shift);
    void ReleaseRegion();
    // Makes `font` the control's g_Font, moving the change notifications over to it.
    void BindFont(const FontPtr& font);

    ButonumState rec;
    int fontSubscription_ = 0;
    int refreshCount_ = 0;
    // g_Region has not been handed to the window (building it or applying it failed), so the control
    // still frees it; once applied, the window owns it.
    bool regionOwned_ = false;
    paint::LinePen linePen_; // owned: the pen the last DrawLine left selected in hDC()
};

} // namespace butonum
