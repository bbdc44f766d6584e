// The real program under Wine, driven and read only from outside its process: this test program
// lays out a data root in the prefix, starts FirmaBakim.exe, reads its windows' texts and visibility
// and sends it keyboard input, as a user or a screen reader would.
#include "tools/fbdriver/DriverSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifdef HAVE_JETGEN
#include "jetgen/database_writer.h"
#endif
#ifdef HAVE_JET
#include "jet/Jet.h"
#endif

namespace fs = std::filesystem;

namespace {

const fs::path Base = L"C:\\Zenfora Programları";
const fs::path Root = L"C:\\Zenfora Programları\\Morbeka\\firma";
// Left in the data root's parent so that a data root this test did not make is never touched.
const fs::path Marker = L"C:\\Zenfora Programları\\Morbeka\\e2e-test-data.txt";

constexpr int IdLabel = 102, IdCommand1 = 110, IdCommand2 = 111;

void MakeDatabase(const fs::path& path, std::uint64_t seed) {
    fs::create_directories(path.parent_path());
#ifdef HAVE_JETGEN
    jetgen::SampleOptions options;
    options.seed = seed;
    options.rows_per_table = 40;
    options.target_bytes = 0;
    jetgen::write_sample_database(path, options);
#else
    driver::WriteFile(path, "\x00\x01\x00\x00Standard Jet DB" + std::string(4096, static_cast<char>(seed)));
#endif
}

bool IsClean(const fs::path& path) {
#ifdef HAVE_JET
    return jet::checkDatabase(path).outcome == jet::Outcome::clean;
#else
    (void)path;
    return true;
#endif
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (fs::exists(Base) && !fs::exists(Marker))
            GTEST_SKIP() << "a data root that this test did not make is present; it is left alone";
        driver::RemoveTree(Base);
    }
    void TearDown() override {
        if (fs::exists(Marker))
            driver::RemoveTree(Base);
    }
};

TEST_F(EndToEnd, RepairsTheDatabasesTwoLevelsDownAndEndsWithAltK) {
    fs::create_directories(Root);
    driver::WriteFile(Marker, "made by the end-to-end test\n");
    const fs::path acme = Root / L"Acme Ltd", turkish = Root / L"Çağlayan Şirketi";
    MakeDatabase(acme / L"2012" / L"data.mdb", 1);
    MakeDatabase(acme / L"2013" / L"DATA2.MDB", 2);
    MakeDatabase(turkish / L"Yıl 2014" / L"kayıt.mdb", 3);
    MakeDatabase(turkish / L"Yıl 2014" / L"bozuk.mdb", 4);
    MakeDatabase(turkish / L"Yıl 2014" / L"salt okunur.mdb", 5);
    fs::create_directories(Root / L"Boş Firma");
    // Files the run must leave alone.
    const std::vector<fs::path> untouched{
        Root / L"kök.mdb",
        acme / L"doğrudan.mdb",
        acme / L"2012" / L"arşiv" / L"derin.mdb",
        acme / L"2012" / L"notlar.txt",
        acme / L"2012" / L"eski.mdbx",
    };
    for (std::size_t i = 0; i < untouched.size(); ++i)
        MakeDatabase(untouched[i], 10 + i);
    driver::Damage(turkish / L"Yıl 2014" / L"bozuk.mdb");
    const fs::path readOnly = turkish / L"Yıl 2014" / L"salt okunur.mdb";
    driver::Damage(readOnly);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);

    std::map<fs::path, std::string> before;
    for (const fs::path& p : untouched)
        before[p] = driver::ReadFile(p);
    before[readOnly] = driver::ReadFile(readOnly);
#ifdef HAVE_JET
    ASSERT_FALSE(IsClean(turkish / L"Yıl 2014" / L"bozuk.mdb")) << "the damage was not seen";
#endif

    driver::Program program;
    HWND form = program.WaitForWindow(L"TkForm");
    ASSERT_TRUE(form);
    EXPECT_EQ(driver::Text(form), L"Güncelleme Kontrol");
    HWND label = GetDlgItem(form, IdLabel), command1 = GetDlgItem(form, IdCommand1),
         command2 = GetDlgItem(form, IdCommand2);
    ASSERT_TRUE(label && command1 && command2);
    EXPECT_FALSE(IsWindowVisible(command2));

    ASSERT_TRUE(driver::WaitFor([&] { return driver::Text(label) == L"İşlem Bitti"; }, 60000))
        << "label reads: " << driver::Narrow(driver::Text(label));
    EXPECT_TRUE(IsWindowVisible(command2));
    EXPECT_FALSE(IsWindowVisible(command1));
    EXPECT_TRUE(program.Running());

    EXPECT_TRUE(IsClean(turkish / L"Yıl 2014" / L"bozuk.mdb"));
    for (const fs::path& p :
         {acme / L"2012" / L"data.mdb", acme / L"2013" / L"DATA2.MDB", turkish / L"Yıl 2014" / L"kayıt.mdb"})
        EXPECT_TRUE(IsClean(p)) << driver::Narrow(p.wstring());
    for (const auto& [path, bytes] : before)
        EXPECT_EQ(driver::ReadFile(path), bytes) << driver::Narrow(path.wstring()) << " changed";

    driver::SendAltKey(form, 'K');
    ASSERT_TRUE(program.WaitForExit(10000)) << "Alt+K did not end the program";
    EXPECT_EQ(program.ExitCode(), 0u);
}

// A real mouse click on "&Kapat": the pointer moves onto the button, then presses and releases there.
TEST_F(EndToEnd, AClickOnKapatEndsTheProgram) {
    fs::create_directories(Root);
    driver::WriteFile(Marker, "made by the end-to-end test\n");
    MakeDatabase(Root / L"Acme Ltd" / L"2012" / L"data.mdb", 1);

    driver::Program program;
    HWND form = program.WaitForWindow(L"TkForm");
    ASSERT_TRUE(form);
    HWND label = GetDlgItem(form, IdLabel), command2 = GetDlgItem(form, IdCommand2);
    ASSERT_TRUE(label && command2);
    ASSERT_TRUE(driver::WaitFor([&] { return driver::Text(label) == L"İşlem Bitti"; }, 60000))
        << "label reads: " << driver::Narrow(driver::Text(label));
    ASSERT_TRUE(IsWindowVisible(command2));

    SetForegroundWindow(form);
    Sleep(200);
    RECT r{};
    GetWindowRect(command2, &r);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const LONG x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    auto mouse = [&](DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = (x * 65535 + w / 2) / (w - 1);
        in.mi.dy = (y * 65535 + h / 2) / (h - 1);
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        return in;
    };
    INPUT move = mouse(0);
    SendInput(1, &move, sizeof(INPUT));
    Sleep(100);
    INPUT click[] = {mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)};
    SendInput(2, click, sizeof(INPUT));
    ASSERT_TRUE(program.WaitForExit(10000)) << "the click did not end the program";
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(EndToEnd, MissingDataRootShowsTheErrorAndEnds) {
    driver::Program program;
    HWND form = program.WaitForWindow(L"TkForm");
    ASSERT_TRUE(form);
    HWND box = program.WaitForWindow(L"#32770", 15000);
    ASSERT_TRUE(box) << "no error box";
    const std::wstring message = driver::AllTexts(box);
    EXPECT_NE(message.find(L"76"), std::wstring::npos) << driver::Narrow(message);
    // Nothing changed on the window before the error.
    EXPECT_EQ(driver::Text(GetDlgItem(form, IdLabel)), L"Başla Butonuna Basınız");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(form, IdCommand2)));

    driver::PressDialogButton(box);
    ASSERT_TRUE(program.WaitForExit(10000)) << "the program did not end after the error";
    EXPECT_NE(program.ExitCode(), 0u);
    EXPECT_FALSE(fs::exists(Base));
}

} // namespace
