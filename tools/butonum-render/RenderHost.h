// A minimal host for rendering a Butonum off screen: a hidden parent window, a control site whose
// ambient, extender and parent values the caller sets, and image output.
#pragma once

#include "butonum/Butonum.h"
#include "toolkit/ControlSite.h"

#include <windows.h>

#include <memory>
#include <string>

namespace render {

class Site : public tk::ControlSite {
public:
    bool userMode = true;
    bool isDefault = false;
    double left = 0, top = 0; // in the parent's unit, pixels
    tk::PicturePtr parentPicture;
    HWND parent = nullptr;

    bool AmbientUserMode() const override { return userMode; }
    std::wstring AmbientDisplayName() const override { return L"Butonum1"; }
    tk::FontPtr AmbientFont() const override;
    tk::Variant ExtenderMember(const std::wstring& name) override;
    tk::Variant ParentMember(const std::wstring& name) override;
    HWND ParentWindow() const override { return parent; }
    void PropertyChanged(const std::wstring&) override {}
    // A renderer leaves the process alone: no links, no shell, no sounds.
    void NavigateTo(const std::wstring&, const std::wstring&, const std::wstring&) override {}
    void ShellOpen(HWND, const std::wstring&) override {}
    bool PlaySoundFile(const std::wstring&, DWORD) override { return true; }
};

// A hidden top-level window to place controls in.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr; // owned
};

// A 24-bit top-down image in memory, drawable through its DC.
class Image {
public:
    Image(int width, int height);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    // Writes a 24-bit .bmp; or, when the name ends in .png, a PNG through GDI+. False on failure.
    bool Save(const std::wstring& path) const;

private:
    bool SaveBmp(const std::wstring& path) const;
    bool SavePng(const std::wstring& path) const;
    int width_, height_;
    HDC dc_ = nullptr;         // owned
    HBITMAP bitmap_ = nullptr; // owned, selected into dc_
    HGDIOBJ oldBitmap_ = nullptr;
    void* bits_ = nullptr; // owned by bitmap_
};

} // namespace render
