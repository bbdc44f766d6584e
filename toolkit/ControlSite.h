// What a host window offers each user control it places: ambient values, the extender and parent
// members reached by name, the change announcement, and the services that leave the process
// (links, the shell, sounds), which tests replace to observe them.
#pragma once

#include "toolkit/Variant.h"

#include <windows.h>

#include <string>

namespace tk {

class ControlSite {
public:
    virtual ~ControlSite() = default;

    virtual bool AmbientUserMode() const = 0;
    virtual std::wstring AmbientDisplayName() const = 0;
    // A font object of the caller's own, with the container's attributes: the control keeps it and
    // changes it, which must not change the container's font.
    virtual FontPtr AmbientFont() const = 0;

    // Members of the control's extender ("Default", "Left", "Top", "Name", "Visible", ...) and of its
    // parent form ("ScaleMode", "Picture", "hWnd", ...). A member the host does not have throws
    // VbError(err::NoSuchMember).
    virtual Variant ExtenderMember(const std::wstring& name) = 0;
    virtual Variant ParentMember(const std::wstring& name) = 0;
    virtual HWND ParentWindow() const = 0;

    virtual void PropertyChanged(const std::wstring& name) = 0;

    // Services leaving the process. Defaults: the desktop's handler for the link, ShellExecuteW,
    // PlaySoundW.
    virtual void NavigateTo(const std::wstring& target, const std::wstring& location,
                            const std::wstring& frame);
    virtual void ShellOpen(HWND owner, const std::wstring& link);
    virtual bool PlaySoundFile(const std::wstring& file, DWORD flags);
};

} // namespace tk
