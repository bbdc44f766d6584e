// The main window built from its design resource, in this process: layout, stored settings, the run
// through the window's real controls, and the ways the program ends.
#include "app/Form1.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <filesystem>

namespace {

struct Ends {
    std::vector<UINT> codes;
    std::vector<std::pair<int, std::wstring>> errors;
};

void Pump(DWORD ms = 0) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        tk::Form::DoEvents();
        if (ms)
            Sleep(10);
    } while (GetTickCount64() < end);
}

RECT ChildRect(HWND form, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(form, id), &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring Text(HWND w) {
    wchar_t buffer[256] = {};
    GetWindowTextW(w, buffer, 256);
    return buffer;
}

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, tmp);
        root_ = std::filesystem::path(tmp) / (L"firmabakim-window-" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::create_directories(root_);
    }
    void TearDown() override {
        form_.reset();
        std::filesystem::remove_all(root_);
    }
    app::Form1& Make(const std::wstring& root) {
        form_ = std::make_unique<app::Form1>(app::LoadDesignResource(), engine_, root);
        form_->End = [this](UINT code) { ends_.codes.push_back(code); };
        form_->ReportUnhandledError = [this](int n, const std::wstring& d) {
            ends_.errors.emplace_back(n, d);
        };
        form_->Show();
        Pump();
        return *form_;
    }

    std::filesystem::path root_;
    app::EngineHolder engine_{
        []() -> std::unique_ptr<app::DatabaseEngine> { throw tk::VbError(429, "none"); }};
    std::unique_ptr<app::Form1> form_;
    Ends ends_;
};

TEST_F(Window, OpensAsDesigned) {
    app::Form1& f = Make(root_.wstring() + L"\\");
    HWND w = f.hWnd();
    RECT client{}, frame{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 362); // 5430 x 3225 twips at 15 twips per pixel
    EXPECT_EQ(client.bottom, 215);
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_SYSMENU);
    GetWindowRect(w, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(Text(w), L"Güncelleme Kontrol");

    struct Expect {
        int id;
        RECT rect;
        const wchar_t* text;
        bool visible;
    };
    for (const Expect& e : std::vector<Expect>{
             {102, {12, 126, 328, 142}, L"Başla Butonuna Basınız", true},
             {103, {9, 72, 301, 98}, L"Morbeka Programı Veri Kontrol Sistemi", true},
             {104, {-3, -3, 364, 58}, L"", true},
             {109, {78, 12, 331, 38}, L"Güncelleme Kontrol", true},
             {105, {6, 189, 352, 202}, L"", true},
             {110, {165, 153, 256, 181}, nullptr, false},
             {111, {267, 153, 352, 181}, nullptr, false},
         }) {
        SCOPED_TRACE(e.id);
        HWND c = GetDlgItem(w, e.id);
        ASSERT_TRUE(c);
        const RECT r = ChildRect(w, e.id);
        EXPECT_TRUE(EqualRect(&r, &e.rect)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        if (e.text) {
            EXPECT_EQ(Text(c), e.text);
        }
        EXPECT_EQ(IsWindowVisible(c) != FALSE, e.visible);
    }
    HWND bar = GetDlgItem(w, 105);
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
    EXPECT_TRUE(f.GetTimer(L"Timer1").Enabled());
    EXPECT_EQ(f.GetTimer(L"Timer1").Interval(), 1000u);
    EXPECT_EQ(f.GetFileList(L"File1").Pattern(), L"*.mdb");

    for (butonum::Butonum* b : {&f.Command1(), &f.Command2()}) {
        EXPECT_EQ(b->BackColor(), 0x00C0FFC0);
        EXPECT_EQ(b->ButtonStyle(), 3);
        EXPECT_EQ(b->XPColor_Pressed(), 0x00FFFF80);
        EXPECT_EQ(b->XPColor_Hover(), 0x00FF8080);
        EXPECT_EQ(b->MousePointer(), 99);
        EXPECT_EQ(b->State().OriginalPicSizeW, 0);
        ASSERT_TRUE(b->Font());
        EXPECT_EQ(b->Font()->Name(), L"MS Sans Serif");
        EXPECT_EQ(b->Font()->Charset(), 162);
        EXPECT_FALSE(b->Font()->Bold());
    }
    EXPECT_EQ(f.Command1().Caption(), L"&Başla");
    EXPECT_EQ(f.Command2().Caption(), L"&Kapat");
}

TEST_F(Window, EmptyRootFinishesAndAltKOrTheCloseBoxEnds) {
    app::Form1& f = Make(root_.wstring() + L"\\");
    HWND w = f.hWnd();
    SendMessageW(w, WM_SYSCHAR, 'k', 1 << 29); // Command2 is still hidden: nothing happens
    EXPECT_TRUE(ends_.codes.empty());

    f.Run().Timer1_Timer();
    Pump();
    EXPECT_EQ(Text(GetDlgItem(w, 102)), L"İşlem Bitti");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, 111)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(w, 110)));
    EXPECT_FALSE(f.GetTimer(L"Timer1").Enabled());
    EXPECT_EQ(f.GetProgressBar(L"ProgressBar1").Max(), 100);

    SendMessageW(w, WM_SYSCHAR, 'k', 1 << 29);
    EXPECT_EQ(ends_.codes, std::vector<UINT>{0});
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(ends_.codes, (std::vector<UINT>{0, 0}));
}

TEST_F(Window, MissingRootIsReportedByTheTimerTickWithNothingChanged) {
    app::Form1& f = Make((root_ / L"yok").wstring() + L"\\");
    ASSERT_TRUE(f.GetTimer(L"Timer1").Enabled());
    Pump(2500);
    ASSERT_EQ(ends_.errors.size(), 1u);
    EXPECT_EQ(ends_.errors[0].first, 76);
    EXPECT_EQ(Text(GetDlgItem(f.hWnd(), 102)), L"Başla Butonuna Basınız");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(f.hWnd(), 111)));
}

} // namespace
