// The file list and the file-system object on real folders of the Wine prefix: names with Turkish
// letters, paths longer than MAX_PATH, the pattern against long names only, and the walk of the
// maintenance run over such a tree.
#include "app/MaintenanceRun.h"
#include "app/WinFileSystem.h"
#include "toolkit/FileList.h"
#include "toolkit/Variant.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A fresh folder under the temporary folder, removed with its contents at the end.
class TempTree {
public:
    TempTree() {
        wchar_t tmp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, tmp);
        root_ = fs::path(tmp) / (L"firmabakim-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(GetTickCount64()));
        fs::create_directories(Long(root_));
    }
    ~TempTree() {
        std::error_code ec;
        fs::remove_all(Long(root_), ec);
    }
    const fs::path& Root() const { return root_; }
    // Creates a file (and its folders) below the root.
    fs::path File(const fs::path& relative) const {
        const fs::path p = root_ / relative;
        fs::create_directories(Long(p.parent_path()));
        std::ofstream(Long(p)) << "x";
        return p;
    }
    static fs::path Long(const fs::path& p) { return tk::ExtendedPath(p.wstring()); }

private:
    fs::path root_;
};

std::vector<std::wstring> Names(const tk::FileList& list) {
    std::vector<std::wstring> out;
    for (std::int16_t i = 0; i < list.ListCount(); ++i)
        out.push_back(list.List(i));
    return out;
}

// Deep enough that the full path passes MAX_PATH, with Turkish letters on the way.
fs::path LongFolder() {
    fs::path p;
    for (int i = 0; i < 6; ++i)
        p /= L"Çok uzun klasör adı ığüşöç " + std::to_wstring(i) + L" " + std::wstring(20, L'x');
    return p;
}

TEST(FileList, AdmitsOnlyTheExactExtensionInAnyCaseSorted) {
    TempTree t;
    for (const wchar_t* name : {L"b.mdb", L"A.MDB", L"ğ kayıt.Mdb", L"eski.mdbx", L"yedek.mdb.bak",
                                L"notlar.txt", L"mdb", L"gizli.mdb"})
        t.File(name);
    SetFileAttributesW(TempTree::Long(t.Root() / L"gizli.mdb").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directories(TempTree::Long(t.Root() / L"klasör.mdb"));

    tk::FileList list(L"*.mdb");
    list.Path(t.Root().wstring());

    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"A.MDB", L"b.mdb", L"ğ kayıt.Mdb"}));
}

TEST(FileList, ListsAFolderBeyondMaxPathAndKeepsItsListWhenAFolderCannotBeListed) {
    TempTree t;
    const fs::path folder = t.Root() / LongFolder();
    ASSERT_GT(folder.wstring().size(), static_cast<std::size_t>(MAX_PATH));
    t.File(folder / L"veri.mdb");

    tk::FileList list(L"*.mdb");
    list.Path(folder.wstring());
    EXPECT_EQ(Names(list), std::vector<std::wstring>{L"veri.mdb"});

    for (const fs::path& bad : {t.Root() / L"yok", t.Root() / LongFolder() / L"veri.mdb" / L"x"}) {
        try {
            list.Path(bad.wstring());
            ADD_FAILURE() << "listed a folder that is not there";
        } catch (const tk::VbError& e) {
            EXPECT_EQ(e.Number(), 76);
        }
        EXPECT_EQ(Names(list), std::vector<std::wstring>{L"veri.mdb"});
        EXPECT_EQ(list.Path(), folder.wstring());
    }
}

TEST(WinFileSystem, OpensAndEnumeratesFoldersBeyondMaxPath) {
    TempTree t;
    const fs::path deep = t.Root() / LongFolder();
    fs::create_directories(TempTree::Long(deep / L"İkinci"));
    fs::create_directories(TempTree::Long(deep / L"Birinci"));
    t.File(deep / L"dosya.mdb");

    app::WinFileSystem fso;
    const app::FolderPtr folder = fso.GetFolder(deep.wstring());
    EXPECT_EQ(folder->Name(), deep.filename().wstring());
    std::vector<std::wstring> names;
    for (const auto& sub : folder->SubFolders())
        names.push_back(sub->Name());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Birinci", L"İkinci"}));

    EXPECT_THROW(fso.GetFolder((t.Root() / L"yok").wstring()), tk::VbError);
    EXPECT_THROW(fso.GetFolder((deep / L"dosya.mdb").wstring()), tk::VbError);
}

// The run's walk over real folders: only the database files two levels down reach the engine, with
// the paths the run builds from the names the platform delivers.
TEST(MaintenanceRunOnDisk, RepairsExactlyTheFilesTwoLevelsDown) {
    TempTree t;
    const fs::path company = L"Çağlayan Şirketi";
    // Two long names take the path past MAX_PATH within the two levels.
    const fs::path longCompany =
        fs::path(L"Uzun Firma Adı " + std::wstring(110, L'ş')) / std::wstring(120, L'ğ');
    std::vector<std::wstring> expected;
    for (const fs::path& p : {company / L"Yıl 2014" / L"kayıt.mdb", company / L"Yıl 2014" / L"İKİ.MDB",
                              longCompany / L"uzak.mdb"})
        expected.push_back(t.File(p).wstring());
    for (const fs::path& p :
         {fs::path(L"kök.mdb"), company / L"doğrudan.mdb", company / L"Yıl 2014" / L"alt" / L"derin.mdb",
          company / L"Yıl 2014" / L"eski.mdbx"})
        t.File(p);

    struct Nothing : app::FileListPort,
                     app::ProgressPort,
                     app::LabelPort,
                     app::VisibilityPort,
                     app::TimerPort {
        void Path(const std::wstring&) override {}
        std::int16_t ListCount() const override { return 0; }
        std::wstring List(std::int16_t) const override { return {}; }
        void Max(float) override {}
        void Value(float) override {}
        void Caption(const std::wstring&) override {}
        void Refresh() override {}
        void Visible(bool) override {}
        void Enabled(bool) override {}
    } nothing;
    struct Adapter : app::FileListPort {
        tk::FileList list{L"*.mdb"};
        void Path(const std::wstring& p) override { list.Path(p); }
        std::int16_t ListCount() const override { return list.ListCount(); }
        std::wstring List(std::int16_t i) const override { return list.List(i); }
    } file1;
    std::vector<std::wstring> repaired;
    struct Recorder : app::DatabaseEngine {
        std::vector<std::wstring>* out;
        explicit Recorder(std::vector<std::wstring>* o) : out(o) {}
        void RepairDatabase(const std::wstring& p) override {
            if (GetFileAttributesW(tk::ExtendedPath(p).c_str()) == INVALID_FILE_ATTRIBUTES)
                throw tk::VbError(3024, "not found");
            out->push_back(p);
        }
    };
    app::EngineHolder engine([&] { return std::make_unique<Recorder>(&repaired); });
    std::unique_ptr<app::FileSystem> fso;
    app::WalkVariables walk;
    app::MaintenanceRun run(app::MainWindowParts{file1, nothing, nothing, nothing, nothing, nothing, [] {},
                                                 [] { return std::make_unique<app::WinFileSystem>(); }, fso},
                            walk, engine, t.Root().wstring() + L"\\");
    run.Timer1_Timer();

    ASSERT_GT(expected.back().size(), static_cast<std::size_t>(MAX_PATH));
    std::sort(repaired.begin(), repaired.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(repaired, expected);
}

} // namespace
