// Healthy real files, refusals, the engine adapter and the command-line tool.
#include "helpers.h"

#include "jet/DBEngine.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace testing_jet;

TEST(JetFixtures, HealthyFilesCheckCleanAndRepairLeavesThemUntouched) {
    REQUIRE_FIXTURES();
    const auto files = fixtures(false);
    ASSERT_GE(files.size(), 10u);
    for (const auto& f : files) {
        SCOPED_TRACE(f.string());
        const jet::Report check = jet::checkDatabase(f);
        EXPECT_EQ(check.outcome, jet::Outcome::clean) << check.message << "\n" << findingsText(check);
        EXPECT_GT(check.tables, 0u);

        ScratchDir dir;
        const fs::path copy = dir.copy(f);
        const Bytes before = readFile(copy);
        const auto stamp = mtime(copy);
        const jet::Report repair = jet::repairDatabase(copy);
        EXPECT_EQ(repair.outcome, jet::Outcome::clean) << repair.message;
        EXPECT_EQ(readFile(copy), before);
        EXPECT_EQ(mtime(copy), stamp);
        EXPECT_TRUE(strayFiles(dir.path(), {"db.mdb"}).empty());
    }
}

TEST(JetFixtures, EncodedFilesAreRefusedUntouched) {
    REQUIRE_FIXTURES();
    const auto files = fixtures(true);
    ASSERT_FALSE(files.empty());
    for (const auto& f : files) {
        SCOPED_TRACE(f.string());
        ScratchDir dir;
        const fs::path copy = dir.copy(f);
        const Bytes before = readFile(copy);
        const jet::Report r = jet::repairDatabase(copy);
        EXPECT_EQ(r.outcome, jet::Outcome::refused);
        EXPECT_EQ(r.error, jet::ErrorCode::encoded);
        EXPECT_EQ(readFile(copy), before);
        EXPECT_EQ(jet::checkDatabase(f).error, jet::ErrorCode::encoded);
    }
}

namespace {

// Holds a file the way another program would: Jet with share mode 0 on Windows, a lock here.
class OtherHolder {
public:
    explicit OtherHolder(const fs::path& p) {
#ifdef _WIN32
        h_ = CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
#else
        fd_ = ::open(p.c_str(), O_RDWR);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX);
        }
#endif
    }
    ~OtherHolder() {
#ifdef _WIN32
        if (h_ != INVALID_HANDLE_VALUE) {
            CloseHandle(h_);
        }
#else
        if (fd_ >= 0) {
            ::close(fd_);
        }
#endif
    }
    OtherHolder(const OtherHolder&) = delete;
    OtherHolder& operator=(const OtherHolder&) = delete;

private:
#ifdef _WIN32
    HANDLE h_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
};

struct RefusalCase {
    const char* name;
    jet::ErrorCode expected;
    // Prepares db.mdb in the folder (or not) and returns the path to repair.
    fs::path (*prepare)(const ScratchDir& dir);
};

fs::path healthyJet4(const ScratchDir& dir) {
    return dir.copy(fixture("jet4/meza-test.mdb"));
}

fs::path withHeader(const ScratchDir& dir, const char* engine, std::uint8_t version) {
    fs::path p = healthyJet4(dir);
    Bytes b = readFile(p);
    std::copy(engine, engine + 15, b.begin() + 4);
    b[0x14] = version;
    writeFile(p, b);
    return p;
}

const RefusalCase refusalCases[] = {
    {"missing", jet::ErrorCode::notFound, [](const ScratchDir& d) { return d / "absent.mdb"; }},
    {"folder", jet::ErrorCode::isFolder,
     [](const ScratchDir& d) {
         fs::create_directory(d / "folder.mdb");
         return d / "folder.mdb";
     }},
    {"read-only", jet::ErrorCode::readOnly,
     [](const ScratchDir& d) {
         fs::path p = healthyJet4(d);
         fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
         return p;
     }},
    {"garbage", jet::ErrorCode::notDatabase,
     [](const ScratchDir& d) {
         Bytes b(16384);
         std::mt19937 rng(7);
         for (auto& x : b) {
             x = static_cast<std::uint8_t>(rng());
         }
         writeFile(d / "db.mdb", b);
         return d / "db.mdb";
     }},
    {"too short", jet::ErrorCode::notDatabase,
     [](const ScratchDir& d) {
         writeFile(d / "db.mdb", Bytes(100, 0));
         return d / "db.mdb";
     }},
    {"newer engine (ACE)", jet::ErrorCode::unsupportedFormat,
     [](const ScratchDir& d) { return withHeader(d, "Standard ACE DB", 2); }},
    {"newer version byte", jet::ErrorCode::unsupportedFormat,
     [](const ScratchDir& d) { return withHeader(d, "Standard Jet DB", 3); }},
    {"catalog unreadable", jet::ErrorCode::catalogUnreadable,
     [](const ScratchDir& d) {
         fs::path p = healthyJet4(d);
         Bytes b = readFile(p);
         b[2 * 4096] = 0x00; // the catalog's definition page loses its type
         writeFile(p, b);
         return p;
     }},
    {"encoded", jet::ErrorCode::encoded,
     [](const ScratchDir& d) { return d.copy(fixture("jet4/jackcessencrypt-db-enc.mdb")); }},
};

} // namespace

TEST(JetRefusals, EachReasonIsNamedAndTheFileStaysUnchanged) {
    REQUIRE_FIXTURES();
    for (const auto& c : refusalCases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const fs::path p = c.prepare(dir);
        const bool isFile = fs::is_regular_file(p);
        const Bytes before = isFile ? readFile(p) : Bytes{};
        const auto stamp = isFile ? mtime(p) : fs::file_time_type{};
        const jet::Report r = jet::repairDatabase(p);
        EXPECT_EQ(r.outcome, jet::Outcome::refused) << r.message;
        EXPECT_EQ(r.error, c.expected) << r.message;
        EXPECT_FALSE(r.message.empty());
        if (isFile) {
            EXPECT_EQ(readFile(p), before);
            EXPECT_EQ(mtime(p), stamp);
        }
        EXPECT_FALSE(fs::exists(jet::temporaryPathFor(p)));
    }
}

TEST(JetRefusals, FileInUseByAnotherProgram) {
    REQUIRE_FIXTURES();
    ScratchDir dir;
    // A damaged file, so that only the hold can keep the engine from writing.
    fs::path p = healthyJet4(dir);
    Bytes b = readFile(p);
    b.resize(b.size() + 100, 0xEE);
    writeFile(p, b);
    {
        OtherHolder holder(p);
        const jet::Report r = jet::repairDatabase(p);
        EXPECT_EQ(r.outcome, jet::Outcome::refused);
        EXPECT_EQ(r.error, jet::ErrorCode::inUse) << r.message;
    }
    EXPECT_EQ(readFile(p), b);
    EXPECT_EQ(jet::repairDatabase(p).outcome, jet::Outcome::repaired);
}

TEST(JetEngine, RepairDatabaseReturnsOnSuccessAndThrowsWithTheReason) {
    REQUIRE_FIXTURES();
    ScratchDir dir;
    jet::DBEngine engine;
    const fs::path clean = dir.copy(fixture("jet3/testV1997.mdb"), "clean.mdb");
    EXPECT_NO_THROW(engine.RepairDatabase(clean));

    const fs::path damaged = dir.copy(fixture("jet3/testV1997.mdb"), "partial.mdb");
    Bytes b = readFile(damaged);
    b.resize(b.size() + 700, 0x11);
    writeFile(damaged, b);
    EXPECT_NO_THROW(engine.RepairDatabase(damaged));
    EXPECT_EQ(readFile(damaged), readFile(clean));

    try {
        engine.RepairDatabase(dir / "missing.mdb");
        FAIL() << "no error for a missing file";
    } catch (const jet::RepairError& e) {
        EXPECT_EQ(e.code(), jet::ErrorCode::notFound);
        EXPECT_NE(std::string(e.what()).find("not found"), std::string::npos);
    }
    const fs::path encoded = dir.copy(fixture("jet3/jackcessencrypt-db97-enc.mdb"), "enc.mdb");
    try {
        engine.RepairDatabase(encoded);
        FAIL() << "no error for an encoded file";
    } catch (const jet::RepairError& e) {
        EXPECT_EQ(e.code(), jet::ErrorCode::encoded);
    }
}

TEST(JetEngine, StaleTemporaryFromAKilledRunIsRemovedNeverUsed) {
    REQUIRE_FIXTURES();
    ScratchDir dir;
    const fs::path p = dir.copy(fixture("jet4/overflowTestV2000.mdb"));
    const Bytes before = readFile(p);
    writeFile(jet::temporaryPathFor(p), Bytes(4096 * 3, 0x42));
    EXPECT_EQ(jet::repairDatabase(p).outcome, jet::Outcome::clean);
    EXPECT_EQ(readFile(p), before);
    EXPECT_TRUE(strayFiles(dir.path(), {"db.mdb"}).empty());
    // The temporary name never looks like a database to a "*.mdb" listing.
    EXPECT_NE(jet::temporaryPathFor(p).extension(), ".mdb");
}

#ifndef _WIN32
namespace {
int runTool(const std::string& args, std::string* out = nullptr) {
    const std::string cmd = std::string("'") + MDBREPAIR_PATH + "' " + args + " 2>&1";
    FILE* pipe = popen(cmd.c_str(), "r");
    std::string text;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
        text.append(buf, n);
    }
    const int status = pclose(pipe);
    if (out != nullptr) {
        *out = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST(MdbRepairTool, ExitCodesTellTheOutcomesApart) {
    REQUIRE_FIXTURES();
    ScratchDir dir;
    const fs::path clean = dir.copy(fixture("jet4/meza-test.mdb"), "clean.mdb");
    const fs::path partial = dir.copy(fixture("jet4/meza-test.mdb"), "partial.mdb");
    Bytes b = readFile(partial);
    b.resize(b.size() + 10, 0);
    writeFile(partial, b);
    const fs::path broken = dir.copy(fixture("jet4/meza-test.mdb"), "broken.mdb");
    Bytes c = readFile(broken);
    const auto tables = inspect(broken);
    for (const auto& t : tables) {
        if (t.user && !t.dataPages.empty()) {
            put16(c, t.dataPages[0] * 4096u + 0x0E, 0x1FFF); // first row slot out of the page
            break;
        }
    }
    writeFile(broken, c);

    std::string out;
    EXPECT_EQ(runTool("--help", &out), 0);
    EXPECT_NE(out.find("usage:"), std::string::npos);
    EXPECT_EQ(runTool(""), 64);
    EXPECT_EQ(runTool("frobnicate x.mdb"), 64);
    EXPECT_EQ(runTool("check --bogus x.mdb"), 64);
    EXPECT_EQ(runTool("check '" + clean.string() + "'", &out), 0);
    EXPECT_NE(out.find(clean.string() + ": clean"), std::string::npos) << out;
    EXPECT_EQ(runTool("check '" + partial.string() + "'", &out), 1);
    EXPECT_NE(out.find("[I1]"), std::string::npos) << out;
    EXPECT_EQ(runTool("check '" + (dir.path() / "nope.mdb").string() + "'"), 2);
    EXPECT_EQ(runTool("repair '" + broken.string() + "'", &out), 3);
    EXPECT_NE(out.find("[I3] page"), std::string::npos) << out;
    EXPECT_EQ(runTool("repair '" + partial.string() + "'", &out), 1);
    EXPECT_EQ(runTool("check -q -r '" + dir.path().string() + "'", &out), 3);
    EXPECT_NE(out.find("broken.mdb: damaged"), std::string::npos) << out;
    EXPECT_NE(out.find("partial.mdb: clean"), std::string::npos) << out;
    EXPECT_EQ(out.find("  ["), std::string::npos) << "quiet prints no findings";
}
#endif
