// The checker over an open file; shared by the check and by the repair (which runs it on the
// original and again on the fixed copy).
#pragma once

#include "File.h"
#include "Jet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace jet {

// What the checker learnt about one table; for tests and diagnostics.
struct TableInfo {
    std::string name;
    std::uint32_t definitionPage = 0;
    bool user = false;
    std::vector<std::uint32_t> dataPages; // owned data pages, in map order
    std::uint64_t liveRows = 0;
    bool hasAutonumber = false;
    std::int64_t maxAutonumber = 0;
    bool hasLongValues = false;
    std::size_t indexes = 0;
    std::uint32_t ownedMapPointer = 0; // row pointer of the owned-pages map
};

// Fills report.findings / totalFindings / jetVersion / pages / tables / notes. Returns
// ErrorCode::none when the file could be examined, else the reason it was refused (with
// report.message set).
ErrorCode checkOpenFile(const File& file, const Options& options, Report& report,
                        std::vector<TableInfo>* tables = nullptr);

} // namespace jet
