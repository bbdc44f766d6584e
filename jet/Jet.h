// Public face of the engine: check and repair of Jet 3 / Jet 4 database files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jet {

// The structural rules a healthy file obeys. Each finding names the one it breaks.
enum class Invariant : std::uint8_t {
    I1 = 1, // file size is a whole number of pages
    I2,     // header identifies the format and decodes
    I3,     // data page slots and rows are sane, free space matches
    I4,     // overflow rows lead to their relocated data
    I5,     // table definition chains
    I6,     // usage maps decode and own only pages of their table
    I7,     // user-table row counts
    I8,     // autonumber counter not below the largest value
    I9,     // long values are reachable and complete
    I10,    // index leaf entries point at live rows
    I11,    // nothing in use is marked free in the global map
};
std::string_view invariantName(Invariant inv);

// A change the repair may make. Only provable fixes are ever proposed.
struct Fix {
    enum class Kind : std::uint8_t { truncateFile, writeU16, writeU32 };
    Kind kind = Kind::writeU16;
    std::uint32_t page = 0;
    std::uint32_t offset = 0; // byte inside the page
    std::uint32_t value = 0;
    std::uint64_t newSize = 0; // truncateFile
};

inline constexpr std::uint32_t noPage = 0xFFFFFFFFu;

struct Finding {
    Invariant invariant = Invariant::I1;
    std::uint32_t page = noPage; // noPage: the file as a whole
    int row = -1;                // -1: no particular row
    std::int64_t byte = -1;      // byte inside the page (or file offset for I1), -1: none
    std::string table;           // table it concerns, if any
    std::string message;
    std::optional<Fix> fix; // set when the repair can correct it
};
std::string describe(const Finding& f);

enum class ErrorCode : std::uint8_t {
    none,
    notFound,
    isFolder,
    inUse,
    readOnly,
    accessDenied,
    notDatabase,
    unsupportedFormat,
    encoded,
    catalogUnreadable,
    damaged, // damage found that the engine does not repair
    ioError,
    noSpace,
    verifyFailed, // the repaired copy did not pass the check; nothing was replaced
};
std::string_view errorName(ErrorCode code);

enum class Outcome : std::uint8_t {
    clean,      // nothing wrong; the file was not written
    repairable, // check only: every finding can be fixed
    repaired,   // fixed and swapped in
    refused,    // not examined or not touched for a reason in error
    damaged,    // findings the engine does not fix; the file was not written
    failed,     // an I/O failure during repair; the original is unchanged
};
std::string_view outcomeName(Outcome outcome);

struct Report {
    Outcome outcome = Outcome::clean;
    ErrorCode error = ErrorCode::none;
    std::string message;           // one line, for people
    int jetVersion = 0;            // 3 or 4 once the header was read
    std::uint64_t pages = 0;       // whole pages in the file
    std::size_t tables = 0;        // tables examined
    std::vector<Finding> findings; // at most the cap
    std::size_t totalFindings = 0; // including those beyond the cap
    std::size_t fixesApplied = 0;
    std::vector<std::string> notes; // things worth knowing that are not damage
};

struct Options {
    std::size_t findingCap = 1000;
};

// Reads the file (shared, read-only) and reports what is wrong with it. Never writes.
Report checkDatabase(const std::filesystem::path& path, const Options& options = {});

// Checks the file under an exclusive hold and, when every finding can be fixed, writes a fixed
// copy beside it, verifies it and swaps it in. A clean file is not written at all; any failure
// leaves the original byte-identical and no temporary file behind.
Report repairDatabase(const std::filesystem::path& path, const Options& options = {});

// Name of the temporary copy for a database; it never ends in the database's own extension.
std::filesystem::path temporaryPathFor(const std::filesystem::path& database);

} // namespace jet
