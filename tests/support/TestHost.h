// A host for user-control tests: a visible top-level window to place controls in, and a control site
// that records what the control announces and asks for, with ambient values, extender members and
// parent members the test sets.
#pragma once

#include "toolkit/ControlSite.h"
#include "toolkit/Font.h"
#include "toolkit/Picture.h"
#include "toolkit/Variant.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace testhost {

// A top-level window that routes Alt+key to the user controls inside it, as a form does.
class TestWindow {
public:
    explicit TestWindow(int clientWidth = 400, int clientHeight = 300);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr; // owned
};

class TestSite : public tk::ControlSite {
public:
    explicit TestSite(HWND parent = nullptr);

    // Ambient values.
    bool userMode = true;
    std::wstring displayName = L"Command1";
    tk::FontPtr ambientFont; // handed out as a copy on each request; null answers "none"

    // Members by lower-case name; a name absent from the map is a missing member.
    std::map<std::wstring, tk::Variant> extender;
    std::map<std::wstring, tk::Variant> parentMembers;
    HWND parentWindow = nullptr;

    // What the control did.
    std::vector<std::wstring> changes; // PropertyChanged names, in order
    struct Navigation {
        std::wstring target, location, frame;
    };
    std::vector<Navigation> navigations;
    std::vector<std::pair<HWND, std::wstring>> shellOpens;
    std::vector<std::pair<std::wstring, DWORD>> sounds;
    bool soundResult = true;

    int Count(const std::wstring& name) const; // times `name` was announced

    bool AmbientUserMode() const override { return userMode; }
    std::wstring AmbientDisplayName() const override { return displayName; }
    tk::FontPtr AmbientFont() const override;
    tk::Variant ExtenderMember(const std::wstring& name) override;
    tk::Variant ParentMember(const std::wstring& name) override;
    HWND ParentWindow() const override { return parentWindow; }
    void PropertyChanged(const std::wstring& name) override { changes.push_back(name); }
    void NavigateTo(const std::wstring& target, const std::wstring& location,
                    const std::wstring& frame) override;
    void ShellOpen(HWND owner, const std::wstring& link) override;
    bool PlaySoundFile(const std::wstring& file, DWORD flags) override;
};

// Processes the messages waiting for this thread.
void PumpMessages();
// True under Wine; only for skipping a check of a known Wine difference.
bool RunningUnderWine();
// GDI objects held by this process (under Wine counted by scanning its handle table).
DWORD GdiObjects();

} // namespace testhost
