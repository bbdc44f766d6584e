// Shared by the engine tests: fixtures, scratch folders, byte-level file access, oracle dumps.
#pragma once

#include "jet/Bytes.h"
#include "jet/Check.h"
#include "jet/File.h"
#include "jet/Jet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace testing_jet {

inline fs::path fixtureDir() {
    std::string dir = JET_FIXTURE_DIR;
#ifdef _WIN32
    // Wine maps the Linux root to drive Z:.
    if (!dir.empty() && dir[0] == '/') {
        std::replace(dir.begin(), dir.end(), '/', '\\');
        dir = "Z:" + dir;
    }
#endif
    return fs::path(dir);
}

inline bool haveFixtures() {
    return fs::exists(fixtureDir() / "MANIFEST.md");
}

#define REQUIRE_FIXTURES()                                                                                   \
    do {                                                                                                     \
        if (!testing_jet::haveFixtures()) {                                                                  \
            GTEST_SKIP() << "fixture folder " << testing_jet::fixtureDir().string()                          \
                         << " is absent; the real-file tests need ../shared/fixtures/mdb";                   \
        }                                                                                                    \
    } while (0)

inline bool isEncodedFixture(const fs::path& p) {
    return p.filename().string().find("-enc") != std::string::npos;
}

inline std::vector<fs::path> fixtures(bool encoded) {
    std::vector<fs::path> out;
    if (!haveFixtures()) {
        return out;
    }
    for (const char* sub : {"jet3", "jet4"}) {
        for (const auto& e : fs::directory_iterator(fixtureDir() / sub)) {
            if (e.path().extension() == ".mdb" && isEncodedFixture(e.path()) == encoded) {
                out.push_back(e.path());
            }
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

inline fs::path fixture(const char* relative) {
    return fixtureDir() / fs::path(relative);
}

using Bytes = std::vector<std::uint8_t>;

inline Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const fs::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A folder of its own per test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        static std::atomic<int> counter{0};
        std::random_device rd;
        path_ = fs::temp_directory_path() /
                ("jet-test-" + std::to_string(rd()) + "-" + std::to_string(counter.fetch_add(1)));
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        for (auto& e : fs::recursive_directory_iterator(path_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const char* name) const { return path_ / name; }

    // A writable copy of a file in this folder.
    fs::path copy(const fs::path& from, const char* name = "db.mdb") const {
        fs::path to = path_ / name;
        writeFile(to, readFile(from));
        return to;
    }

private:
    fs::path path_;
};

// Files in a folder other than the given ones: a repair must leave nothing behind.
inline std::vector<std::string> strayFiles(const fs::path& dir, std::initializer_list<const char*> expected) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (std::find_if(expected.begin(), expected.end(), [&](const char* x) { return name == x; }) ==
            expected.end()) {
            out.push_back(name);
        }
    }
    return out;
}

inline std::vector<jet::TableInfo> inspect(const fs::path& p, jet::Report* reportOut = nullptr) {
    jet::File f;
    EXPECT_TRUE(jet::File::open(p, jet::OpenMode::readShared, f).ok());
    jet::Report r;
    std::vector<jet::TableInfo> tables;
    EXPECT_EQ(jet::checkOpenFile(f, {}, r, &tables), jet::ErrorCode::none) << r.message;
    if (reportOut != nullptr) {
        *reportOut = r;
    }
    return tables;
}

inline std::uint32_t pageSizeOf(const Bytes& b) {
    return b.size() > 0x14 && b[0x14] == 0 ? 2048u : 4096u;
}
inline bool isJet4(const Bytes& b) {
    return pageSizeOf(b) == 4096;
}

inline std::uint16_t get16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t get32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16)) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    jet::putU16(b.data() + at, v);
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    jet::putU32(b.data() + at, v);
}

// Names of the findings' invariants, for messages and matching.
inline std::string findingsText(const jet::Report& r) {
    std::string s;
    for (const auto& f : r.findings) {
        s += jet::describe(f) + "\n";
    }
    return s;
}

inline bool hasFinding(const jet::Report& r, jet::Invariant inv) {
    return std::any_of(r.findings.begin(), r.findings.end(),
                       [&](const jet::Finding& f) { return f.invariant == inv; });
}

inline fs::file_time_type mtime(const fs::path& p) {
    return fs::last_write_time(p);
}

#ifndef _WIN32
// The oracle's view of every user table: table names, then each table's rows sorted. Empty
// when mdbtools is not installed.
inline bool haveMdbTools() {
    return std::system("command -v mdb-export >/dev/null 2>&1") == 0;
}

inline std::string runCapture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
        out.append(buf, n);
    }
    pclose(pipe);
    return out;
}

inline std::string oracleDump(const fs::path& p) {
    const std::string file = "'" + p.string() + "'";
    std::string tables = runCapture("LC_ALL=C.UTF-8 mdb-tables -1 " + file + " 2>/dev/null");
    std::string dump = "tables:\n" + tables;
    std::size_t start = 0;
    while (start < tables.size()) {
        std::size_t end = tables.find('\n', start);
        if (end == std::string::npos) {
            end = tables.size();
        }
        const std::string name = tables.substr(start, end - start);
        start = end + 1;
        if (name.empty()) {
            continue;
        }
        std::string rows = runCapture(
            "LC_ALL=C.UTF-8 mdb-export -H -e -b hex -0 NULL -D '%Y-%m-%d' -T '%Y-%m-%d %H:%M:%S' " + file +
            " '" + name + "' 2>&1");
        std::vector<std::string> lines;
        std::size_t a = 0;
        while (a < rows.size()) {
            std::size_t b = rows.find('\n', a);
            if (b == std::string::npos) {
                b = rows.size();
            }
            lines.push_back(rows.substr(a, b - a));
            a = b + 1;
        }
        std::sort(lines.begin(), lines.end());
        dump += "== " + name + " (" + std::to_string(lines.size()) + " rows)\n";
        for (const auto& l : lines) {
            dump += l + "\n";
        }
    }
    return dump;
}
#endif

} // namespace testing_jet
