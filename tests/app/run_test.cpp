// The maintenance run against fakes: a folder tree in memory and window parts that write what is done
// to them into one log, so that both the effects and their order are checked.
#include "app/MaintenanceRun.h"
#include "toolkit/Variant.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>

namespace {

using app::FolderPtr;

const std::wstring R = L"C:\\Zenfora Programları\\Morbeka\\firma\\";
const std::wstring Busy = L"Bakım Yapılan Firma : ";

struct Node {
    std::vector<std::wstring> folders; // in enumeration order
    std::vector<std::wstring> files;
};

// Folder paths without a trailing separator; the root is R without its backslash.
struct Tree {
    std::map<std::wstring, Node> nodes;
    std::set<std::wstring> unlistable;     // folders whose file list cannot be read
    std::set<std::wstring> unenumerable;   // folders whose sub folders cannot be enumerated
    std::set<std::wstring> failingRepairs; // files whose repair throws

    static std::wstring Key(std::wstring p) {
        if (!p.empty() && p.back() == L'\\')
            p.pop_back();
        return p;
    }
    // Adds "A\B\file" relative to the root, making the folders on the way in order.
    void Add(const std::wstring& relative, bool isFolder = false) {
        std::wstring parent = Key(R);
        nodes[parent];
        std::size_t start = 0;
        for (;;) {
            const std::size_t cut = relative.find(L'\\', start);
            const std::wstring part = relative.substr(start, cut - start);
            const bool last = cut == std::wstring::npos;
            Node& node = nodes[parent];
            if (last && !isFolder) {
                node.files.push_back(part);
                return;
            }
            if (std::find(node.folders.begin(), node.folders.end(), part) == node.folders.end())
                node.folders.push_back(part);
            parent += L"\\" + part;
            nodes[parent];
            if (last)
                return;
            start = cut + 1;
        }
    }
};

[[noreturn]] void Fail(int number = 76) {
    throw tk::VbError(number, "Path not found");
}

class FakeFolder : public app::Folder {
public:
    FakeFolder(const Tree& t, std::wstring path, std::wstring name)
        : t_(t), path_(std::move(path)), name_(std::move(name)) {}
    std::wstring Name() const override { return name_; }
    std::vector<FolderPtr> SubFolders() const override {
        if (t_.unenumerable.count(path_))
            Fail(70);
        std::vector<FolderPtr> out;
        for (const auto& f : t_.nodes.at(path_).folders)
            out.push_back(std::make_shared<FakeFolder>(t_, path_ + L"\\" + f, f));
        return out;
    }

private:
    const Tree& t_;
    std::wstring path_, name_;
};

class FakeFileSystem : public app::FileSystem {
public:
    explicit FakeFileSystem(const Tree& t) : t_(t) {}
    FolderPtr GetFolder(const std::wstring& path) override {
        const std::wstring key = Tree::Key(path);
        if (!t_.nodes.count(key))
            Fail();
        return std::make_shared<FakeFolder>(t_, key, key.substr(key.rfind(L'\\') + 1));
    }

private:
    const Tree& t_;
};

bool IsMdb(const std::wstring& name) {
    if (name.size() < 4)
        return false;
    std::wstring ext = name.substr(name.size() - 4);
    for (auto& c : ext)
        c = static_cast<wchar_t>(std::towlower(c));
    return ext == L".mdb";
}

struct Harness : app::FileListPort, app::ProgressPort, app::LabelPort, app::TimerPort, app::DatabaseEngine {
    struct Button : app::VisibilityPort {
        Button(Harness* owner, std::wstring n) : h(owner), name(std::move(n)) {}
        Harness* h;
        std::wstring name;
        void Visible(bool on) override { h->log.push_back((on ? L"show " : L"hide ") + name); }
    };

    Tree tree;
    std::vector<std::wstring> log;
    std::vector<std::wstring> list{L"stale.mdb"}; // what the list held before the run
    float max = 100, value = 0;
    int enginesMade = 0;
    bool engineCreationFails = false;
    int fileSystemsMade = 0;
    std::function<void()> onYield;

    Button command1{this, L"Command1"}, command2{this, L"Command2"};
    app::WalkVariables walk;
    app::EngineHolder engine{[this]() -> std::unique_ptr<app::DatabaseEngine> {
        if (engineCreationFails)
            throw tk::VbError(429, "cannot create the engine");
        ++enginesMade;
        struct Forward : app::DatabaseEngine {
            Harness* h;
            explicit Forward(Harness* hh) : h(hh) {}
            void RepairDatabase(const std::wstring& p) override { h->RepairDatabase(p); }
        };
        return std::make_unique<Forward>(this);
    }};
    std::unique_ptr<app::FileSystem> fso;
    app::MaintenanceRun run{app::MainWindowParts{*this, *this, *this, command1, command2, *this,
                                                 [this] {
                                                     log.push_back(L"yield");
                                                     if (onYield)
                                                         onYield();
                                                 },
                                                 [this] {
                                                     ++fileSystemsMade;
                                                     return std::make_unique<FakeFileSystem>(tree);
                                                 },
                                                 fso},
                            walk, engine};

    void Path(const std::wstring& folder) override {
        log.push_back(L"path " + folder);
        if (tree.unlistable.count(folder) || !tree.nodes.count(folder))
            Fail();
        list.clear();
        for (const auto& f : tree.nodes.at(folder).files)
            if (IsMdb(f))
                list.push_back(f);
    }
    std::int16_t ListCount() const override { return static_cast<std::int16_t>(list.size()); }
    std::wstring List(std::int16_t i) const override { return list.at(static_cast<std::size_t>(i)); }
    void Max(float v) override {
        log.push_back(L"max " + std::to_wstring(static_cast<int>(v)));
        max = v;
    }
    void Value(float v) override {
        log.push_back(L"value " + std::to_wstring(static_cast<int>(v)));
        value = v;
    }
    void Caption(const std::wstring& text) override { log.push_back(L"caption " + text); }
    void Refresh() override { log.push_back(L"refresh"); }
    void Enabled(bool on) override { log.push_back(on ? L"timer on" : L"timer off"); }
    void RepairDatabase(const std::wstring& path) override {
        log.push_back(L"repair " + path);
        if (tree.failingRepairs.count(path))
            throw tk::VbError(3049, "cannot repair");
    }

    std::vector<std::wstring> Repairs() const {
        std::vector<std::wstring> out;
        for (const auto& l : log)
            if (l.rfind(L"repair ", 0) == 0)
                out.push_back(l.substr(7));
        return out;
    }
    std::vector<std::wstring> Tail(std::size_t n) const {
        return {log.end() - static_cast<std::ptrdiff_t>(std::min(n, log.size())), log.end()};
    }
};

const std::vector<std::wstring> Ending{L"show Command2", L"caption İşlem Bitti", L"timer off"};

TEST(MaintenanceRun, RepairsOnlyDatabaseFilesTwoLevelsDown) {
    Harness h;
    h.tree.Add(L"root.mdb");
    h.tree.Add(L"ACME\\direct.mdb");
    h.tree.Add(L"ACME\\2012\\data.mdb");
    h.tree.Add(L"ACME\\2012\\b.txt");
    h.tree.Add(L"ACME\\2012\\arşiv\\deep.mdb");
    h.tree.Add(L"Çağrı Ltd\\Yıl 2013\\KAYIT.MDB");
    h.tree.Add(L"Çağrı Ltd\\Yıl 2013\\notes.mdbx");
    h.tree.Add(L"Empty Co", true);

    h.run.Timer1_Timer();

    EXPECT_EQ(h.Repairs(), (std::vector<std::wstring>{R + L"ACME\\2012\\data.mdb",
                                                      R + L"Çağrı Ltd\\Yıl 2013\\KAYIT.MDB"}));
    // The list is pointed at the second-level folder itself, without a trailing separator, and the
    // label names the company, not the second-level folder.
    EXPECT_NE(std::find(h.log.begin(), h.log.end(), L"path " + R + L"ACME\\2012"), h.log.end());
    EXPECT_NE(std::find(h.log.begin(), h.log.end(), L"caption " + Busy + L"Çağrı Ltd"), h.log.end());
    EXPECT_EQ(h.Tail(3), Ending);
    EXPECT_EQ(h.enginesMade, 1);
    EXPECT_EQ(h.fileSystemsMade, 1);
}

TEST(MaintenanceRun, OrdersProgressRepairAndLabelAndNeverResetsTheBar) {
    Harness h;
    for (const wchar_t* f : {L"a.mdb", L"b.mdb", L"c.mdb"})
        h.tree.Add(std::wstring(L"ACME\\A\\") + f);
    h.tree.Add(L"ACME\\B", true); // no files: the bar keeps 3 of 3
    for (const wchar_t* f : {L"d.mdb", L"e.mdb"})
        h.tree.Add(std::wstring(L"ACME\\C\\") + f);

    h.run.Timer1_Timer();

    const std::wstring acme = L"caption " + Busy + L"ACME";
    const std::wstring a = L"repair " + R + L"ACME\\A\\", c = L"repair " + R + L"ACME\\C\\";
    const std::vector<std::wstring> expected{L"hide Command1",
                                             L"yield",
                                             L"path " + R + L"ACME\\A",
                                             L"max 3",
                                             L"value 1",
                                             a + L"a.mdb",
                                             acme,
                                             L"refresh",
                                             L"value 2",
                                             a + L"b.mdb",
                                             acme,
                                             L"refresh",
                                             L"value 3",
                                             a + L"c.mdb",
                                             acme,
                                             L"refresh",
                                             L"path " + R + L"ACME\\B",
                                             L"path " + R + L"ACME\\C",
                                             L"max 2",
                                             L"value 1",
                                             c + L"d.mdb",
                                             acme,
                                             L"refresh",
                                             L"value 2",
                                             c + L"e.mdb",
                                             acme,
                                             L"refresh",
                                             L"show Command2",
                                             L"caption İşlem Bitti",
                                             L"timer off"};
    EXPECT_EQ(h.log, expected);
    EXPECT_EQ(h.max, 2);
    EXPECT_EQ(h.value, 2);
}

TEST(MaintenanceRun, EmptyRootEndsAtOnceWithoutMakingTheEngine) {
    Harness h;
    h.tree.Add(L"stray.mdb");

    h.run.Timer1_Timer();

    EXPECT_EQ(h.log,
              (std::vector<std::wstring>{L"hide Command1", L"yield", Ending[0], Ending[1], Ending[2]}));
    EXPECT_EQ(h.enginesMade, 0);
    EXPECT_EQ(h.max, 100);
    EXPECT_EQ(h.value, 0);
}

TEST(MaintenanceRun, MissingRootIsPassedOnBeforeAnythingChanges) {
    Harness h; // no nodes at all
    try {
        h.run.Timer1_Timer();
        FAIL() << "expected the opening failure";
    } catch (const tk::VbError& e) {
        EXPECT_EQ(e.Number(), 76);
    }
    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.enginesMade, 0);
}

TEST(MaintenanceRun, UnlistableFolderRetriesThePreviousNamesInItsOwnPath) {
    Harness h;
    h.tree.Add(L"ACME\\A\\first.mdb");
    h.tree.Add(L"ACME\\B\\other.mdb");
    h.tree.unlistable.insert(R + L"ACME\\B");

    h.run.Timer1_Timer();

    EXPECT_EQ(h.Repairs(), (std::vector<std::wstring>{R + L"ACME\\A\\first.mdb", R + L"ACME\\B\\first.mdb"}));
    EXPECT_EQ(h.Tail(3), Ending);
}

TEST(MaintenanceRun, FailuresAfterTheStartAreSkipped) {
    struct Case {
        const char* name;
        std::function<void(Harness&)> arrange;
        std::vector<std::wstring> repairs;
        int labelUpdates;
    };
    const std::wstring a = R + L"ACME\\A\\", b = R + L"Beta\\B\\";
    const std::vector<Case> cases{
        {"a failing repair",
         [&](Harness& h) { h.tree.failingRepairs.insert(a + L"1.mdb"); },
         {a + L"1.mdb", a + L"2.mdb", b + L"3.mdb"},
         3},
        {"an engine that cannot be made is tried for each file",
         [](Harness& h) { h.engineCreationFails = true; },
         {},
         3},
        {"a company whose sub folders cannot be enumerated",
         [](Harness& h) { h.tree.unenumerable.insert(R + L"ACME"); },
         {b + L"3.mdb"},
         1},
        {"a root whose sub folders cannot be enumerated",
         [](Harness& h) { h.tree.unenumerable.insert(R.substr(0, R.size() - 1)); },
         {},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.tree.Add(L"ACME\\A\\1.mdb");
        h.tree.Add(L"ACME\\A\\2.mdb");
        h.tree.Add(L"Beta\\B\\3.mdb");
        c.arrange(h);

        h.run.Timer1_Timer();

        EXPECT_EQ(h.Repairs(), c.repairs);
        EXPECT_EQ(std::count_if(h.log.begin(), h.log.end(),
                                [](const std::wstring& l) { return l.rfind(L"caption " + Busy, 0) == 0; }),
                  c.labelUpdates);
        EXPECT_EQ(h.Tail(3), Ending);
    }
}

TEST(MaintenanceRun, RunsOnlyOnceEvenWhenTicksArriveDuringItsYield) {
    Harness h;
    h.tree.Add(L"ACME\\A\\1.mdb");
    h.onYield = [&] { h.run.Timer1_Timer(); };

    h.run.Timer1_Timer();
    h.run.Timer1_Timer();

    EXPECT_EQ(h.Repairs().size(), 1u);
    EXPECT_EQ(std::count(h.log.begin(), h.log.end(), L"yield"), 1);
}

} // namespace
