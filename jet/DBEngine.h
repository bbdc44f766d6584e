// The database engine object the maintenance run calls: repairs one database file in place and
// reports anything else as an exception.
#pragma once

#include "Jet.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace jet {

class RepairError : public std::runtime_error {
public:
    RepairError(ErrorCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ErrorCode code() const { return code_; }

private:
    ErrorCode code_;
};

class DBEngine {
public:
    // Returns when the file was clean or has been repaired; throws RepairError otherwise (the
    // file is then unchanged).
    void RepairDatabase(const std::filesystem::path& path) {
        Report r = repairDatabase(path);
        if (r.outcome != Outcome::clean && r.outcome != Outcome::repaired) {
            throw RepairError(r.error, std::string(outcomeName(r.outcome)) + ": " + r.message);
        }
    }
};

} // namespace jet
