// A top-level form built from a design text: caption, client size, font, icon and the controls with
// their places, captions, fonts and stored property sets. Labels and images are drawn by the form in
// the order the design lists them (back to front); the windowed controls lie above them. Each user
// control gets a site of its own through which it reads ambient, extender and parent values.
//
// Design text (UTF-8): blocks of property lines in the property store's text form, each block
//
//     begin <Kind> <Name>[(<index>)]
//     name = value
//     ...
//     end
//
// The first block is the form (kind Form). Places are in twips: left, top, width, height. Every kind
// knows tabindex, visible and id (the child window's identifier). Kinds and their own entries:
//   Form         caption, clientwidth, clientheight, font, backcolor, icon (an icon group resource)
//   Label        caption, font, forecolor, backcolor, backstyle (0 transparent), borderstyle (1 line)
//   Image        resource (an RCDATA resource holding the picture file)
//   ProgressBar  min, max, value
//   FileList     pattern
//   Timer        interval, enabled
//   any kind registered with RegisterUserControl: the remaining entries are its stored property set.
#pragma once

#include "toolkit/ControlSite.h"
#include "toolkit/FileList.h"
#include "toolkit/Font.h"
#include "toolkit/Label.h"
#include "toolkit/Picture.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/PropertyBag.h"
#include "toolkit/Timer.h"
#include "toolkit/UserControl.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tk {

class Form {
public:
    using UserControlFactory = std::function<std::unique_ptr<UserControl>()>;

    // Parses the design; throws VbError (invalid file format) on a malformed one. The window is made
    // by Create.
    explicit Form(const std::string& design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    void RegisterUserControl(const std::wstring& kind, UserControlFactory factory);
    // Creates the window, hidden and centred on the screen, and its controls in tab order; user
    // controls read their stored property sets.
    void Create();
    void Show();

    HWND hWnd() const { return hwnd_; }
    std::wstring Caption() const { return caption_; }
    FontPtr Font() const { return font_; }

    Label& GetLabel(const std::wstring& name);
    ProgressBar& GetProgressBar(const std::wstring& name);
    FileList& GetFileList(const std::wstring& name);
    Timer& GetTimer(const std::wstring& name);
    UserControl& GetUserControl(const std::wstring& name);
    void SetVisible(const std::wstring& name, bool on); // a windowed control

    // Processes all pending messages once, then returns.
    static void DoEvents();
    // For the message loop: Tab and Shift+Tab move the focus in tab order; true when handled.
    bool PreTranslate(const MSG& msg);

    // What ends the program: a click on the close box, and unhandled errors after they are shown.
    // The default ends the process at once with the given code.
    std::function<void(UINT exitCode)> End;
    // Shows an error that no handler took (number and description) and then calls End(1). Tests
    // replace it.
    std::function<void(int number, const std::wstring& description)> ReportUnhandledError;

    // Paints the form's own layer (back colour, labels and images in design order) into dc, whose
    // origin is the form's client origin.
    void DrawScene(HDC dc, const RECT& area) const;

    static int TwipsToPixelsX(double twips);
    static int TwipsToPixelsY(double twips);

protected:
    virtual void Form_Load() {}

private:
    struct Entry;
    class Site;
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    Entry& Find(const std::wstring& name);
    void RunGuarded(const std::function<void()>& handler);

    std::wstring caption_;
    int clientWidthTwips_ = 0, clientHeightTwips_ = 0;
    OLE_COLOR backColor_ = static_cast<OLE_COLOR>(0x8000000F);
    FontPtr font_;
    std::wstring iconResource_;
    std::vector<std::unique_ptr<Entry>> entries_; // design order: back to front
    std::map<std::wstring, UserControlFactory> factories_;
    std::vector<HWND> tabOrder_;
    HWND hwnd_ = nullptr;                           // owned
    HFONT formFont_ = nullptr;                      // owned
    HICON bigIcon_ = nullptr, smallIcon_ = nullptr; // owned
};

} // namespace tk
