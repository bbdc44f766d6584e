// Repair never writes the original: it copies the file beside itself, fixes the copy, checks the
// copy again, makes it durable and only then swaps it in. Until the swap the original is the
// file; after it the repaired copy is. Nothing in between is ever visible under its name.
#include "Bytes.h"
#include "Check.h"
#include "File.h"
#include "Jet.h"

#include <algorithm>
#include <vector>

namespace jet {

std::string_view invariantName(Invariant inv) {
    static constexpr std::string_view names[] = {"I1", "I2", "I3", "I4",  "I5", "I6",
                                                 "I7", "I8", "I9", "I10", "I11"};
    const auto i = static_cast<std::size_t>(inv) - 1;
    return i < std::size(names) ? names[i] : "I?";
}

std::string_view errorName(ErrorCode code) {
    switch (code) {
    case ErrorCode::none:
        return "none";
    case ErrorCode::notFound:
        return "not-found";
    case ErrorCode::isFolder:
        return "is-folder";
    case ErrorCode::inUse:
        return "in-use";
    case ErrorCode::readOnly:
        return "read-only";
    case ErrorCode::accessDenied:
        return "access-denied";
    case ErrorCode::notDatabase:
        return "not-a-database";
    case ErrorCode::unsupportedFormat:
        return "unsupported-format";
    case ErrorCode::encoded:
        return "encoded";
    case ErrorCode::catalogUnreadable:
        return "catalog-unreadable";
    case ErrorCode::damaged:
        return "damaged";
    case ErrorCode::ioError:
        return "io-error";
    case ErrorCode::noSpace:
        return "no-space";
    case ErrorCode::verifyFailed:
        return "verify-failed";
    }
    return "unknown";
}

std::string_view outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::clean:
        return "clean";
    case Outcome::repairable:
        return "repairable";
    case Outcome::repaired:
        return "repaired";
    case Outcome::refused:
        return "refused";
    case Outcome::damaged:
        return "damaged";
    case Outcome::failed:
        return "failed";
    }
    return "unknown";
}

std::string describe(const Finding& f) {
    std::string s = "[";
    s += invariantName(f.invariant);
    s += "]";
    if (f.page != noPage) {
        s += " page " + std::to_string(f.page);
    }
    if (f.row >= 0) {
        s += " row " + std::to_string(f.row);
    }
    if (f.byte >= 0) {
        s += " byte " + std::to_string(f.byte);
    }
    if (!f.table.empty()) {
        s += " (" + f.table + ")";
    }
    s += ": " + f.message;
    s += f.fix ? " [fixable]" : " [not fixed]";
    return s;
}

std::filesystem::path temporaryPathFor(const std::filesystem::path& database) {
    std::filesystem::path p = database;
    p += ".jetrepair~";
    return p;
}

namespace {

ErrorCode fromIo(IoErrc code) {
    switch (code) {
    case IoErrc::notFound:
        return ErrorCode::notFound;
    case IoErrc::isDirectory:
        return ErrorCode::isFolder;
    case IoErrc::inUse:
        return ErrorCode::inUse;
    case IoErrc::readOnly:
        return ErrorCode::readOnly;
    case IoErrc::accessDenied:
        return ErrorCode::accessDenied;
    case IoErrc::noSpace:
        return ErrorCode::noSpace;
    default:
        return ErrorCode::ioError;
    }
}

std::string openMessage(ErrorCode code, const IoResult& r) {
    switch (code) {
    case ErrorCode::notFound:
        return "file not found";
    case ErrorCode::isFolder:
        return "is a folder, not a database file";
    case ErrorCode::inUse:
        return "in use by another program (" + r.detail + ")";
    case ErrorCode::readOnly:
        return "file is read-only";
    case ErrorCode::accessDenied:
        return "access denied (" + r.detail + ")";
    default:
        return "cannot open: " + r.detail;
    }
}

Report refusedReport(ErrorCode code, std::string message) {
    Report r;
    r.outcome = Outcome::refused;
    r.error = code;
    r.message = std::move(message);
    return r;
}

// Summarises check results into an outcome; returns true when every finding has a fix.
bool allFixable(const Report& r) {
    return r.totalFindings == r.findings.size() &&
           std::all_of(r.findings.begin(), r.findings.end(),
                       [](const Finding& f) { return f.fix.has_value(); });
}

std::string damageMessage(const Report& r) {
    std::size_t unfixed = 0;
    const Finding* first = nullptr;
    for (const auto& f : r.findings) {
        if (!f.fix) {
            ++unfixed;
            if (first == nullptr) {
                first = &f;
            }
        }
    }
    std::string s = std::to_string(r.totalFindings) + " finding(s), file not written";
    if (first != nullptr) {
        s += ", first that cannot be fixed: " + describe(*first);
    }
    return s;
}

// Copies, fixes, verifies and flushes the temporary file. Returns the failure, if any.
Report writeFixedCopy(File& original, File& temp, const Report& found, const Options& options) {
    Report out;
    std::uint64_t size = 0;
    IoResult io = original.size(size);
    if (io.ok()) {
        io = temp.copyFrom(original, size);
    }
    const std::uint32_t pageSize = found.jetVersion == 3 ? 2048 : 4096;
    for (const auto& f : found.findings) {
        if (!io.ok()) {
            break;
        }
        const Fix& fix = *f.fix;
        std::uint8_t bytes[4]{};
        const std::uint64_t at = static_cast<std::uint64_t>(fix.page) * pageSize + fix.offset;
        switch (fix.kind) {
        case Fix::Kind::truncateFile:
            io = temp.truncate(fix.newSize);
            break;
        case Fix::Kind::writeU16:
            putU16(bytes, static_cast<std::uint16_t>(fix.value));
            io = temp.writeAt(at, std::span<const std::uint8_t>(bytes, 2));
            break;
        case Fix::Kind::writeU32:
            putU32(bytes, fix.value);
            io = temp.writeAt(at, std::span<const std::uint8_t>(bytes, 4));
            break;
        }
        ++out.fixesApplied;
    }
    if (io.ok()) {
        io = temp.copyPermissionsFrom(original);
    }
    if (!io.ok()) {
        out.outcome = Outcome::failed;
        out.error = fromIo(io.code) == ErrorCode::noSpace ? ErrorCode::noSpace : ErrorCode::ioError;
        out.message = "writing the repaired copy failed: " + io.detail;
        return out;
    }
    // The disk writes the copy while the check below reads it back from memory; the flush after
    // the check then only waits for what is left.
    temp.startWriteback();
    // The copy must pass the whole check before it may replace anything.
    Report again;
    const ErrorCode code = checkOpenFile(temp, options, again);
    if (code != ErrorCode::none || again.totalFindings != 0) {
        out.outcome = Outcome::failed;
        out.error = ErrorCode::verifyFailed;
        out.message = "the repaired copy did not pass the check";
        if (!again.findings.empty()) {
            out.message += ": " + describe(again.findings.front());
        } else if (!again.message.empty()) {
            out.message += ": " + again.message;
        }
        return out;
    }
    io = temp.flush();
    if (!io.ok()) {
        out.outcome = Outcome::failed;
        out.error = fromIo(io.code) == ErrorCode::noSpace ? ErrorCode::noSpace : ErrorCode::ioError;
        out.message = "flushing the repaired copy failed: " + io.detail;
        return out;
    }
    out.outcome = Outcome::repaired;
    return out;
}

} // namespace

Report checkDatabase(const std::filesystem::path& path, const Options& options) {
    File file;
    IoResult io = File::open(path, OpenMode::readShared, file);
    if (!io.ok()) {
        const ErrorCode code = fromIo(io.code);
        return refusedReport(code, openMessage(code, io));
    }
    Report r;
    const ErrorCode code = checkOpenFile(file, options, r);
    if (code != ErrorCode::none) {
        r.outcome = Outcome::refused;
        r.error = code;
        return r;
    }
    if (r.totalFindings == 0) {
        r.outcome = Outcome::clean;
        r.message = "clean";
    } else if (allFixable(r)) {
        r.outcome = Outcome::repairable;
        r.message = std::to_string(r.totalFindings) + " finding(s), all fixable";
    } else {
        r.outcome = Outcome::damaged;
        r.error = ErrorCode::damaged;
        r.message = damageMessage(r);
    }
    return r;
}

Report repairDatabase(const std::filesystem::path& path, const Options& options) {
    File original;
    IoResult io = File::open(path, OpenMode::writeExclusive, original);
    if (!io.ok()) {
        const ErrorCode code = fromIo(io.code);
        return refusedReport(code, openMessage(code, io));
    }
    // We hold the database exclusively, so a temporary file of this name can only be left over
    // from a run that was killed. It never becomes a database; remove it.
    const std::filesystem::path tempPath = temporaryPathFor(path);
    if (pathExists(tempPath)) {
        io = removeFile(tempPath);
        if (!io.ok()) {
            return refusedReport(ErrorCode::ioError, "cannot remove the stale temporary file " +
                                                         displayPath(tempPath) + ": " + io.detail);
        }
    }
    Report r;
    const ErrorCode code = checkOpenFile(original, options, r);
    if (code != ErrorCode::none) {
        r.outcome = Outcome::refused;
        r.error = code;
        return r;
    }
    if (r.totalFindings == 0) {
        r.outcome = Outcome::clean;
        r.message = "clean";
        return r;
    }
    if (!allFixable(r)) {
        r.outcome = Outcome::damaged;
        r.error = ErrorCode::damaged;
        r.message = damageMessage(r);
        return r;
    }

    File temp;
    io = File::createNew(tempPath, temp);
    if (!io.ok()) {
        r.outcome = Outcome::failed;
        r.error = fromIo(io.code) == ErrorCode::noSpace ? ErrorCode::noSpace : ErrorCode::ioError;
        r.message = "cannot create the temporary copy: " + io.detail;
        return r;
    }
    Report written = writeFixedCopy(original, temp, r, options);
    temp.close();
    if (written.outcome != Outcome::repaired) {
        removeFile(tempPath);
        r.outcome = written.outcome;
        r.error = written.error;
        r.message = written.message;
        return r;
    }
#ifdef _WIN32
    // ReplaceFileW must open the original itself, which our share mode 0 would forbid.
    original.close();
#endif
    bool swapped = false;
    io = replaceFile(path, tempPath, swapped);
    original.close();
    if (!swapped) {
        removeFile(tempPath);
        r.outcome = Outcome::failed;
        r.error = fromIo(io.code) == ErrorCode::inUse ? ErrorCode::inUse : ErrorCode::ioError;
        r.message = "replacing the database failed, original kept: " + io.detail;
        return r;
    }
    r.outcome = Outcome::repaired;
    r.fixesApplied = written.fixesApplied;
    r.message = std::to_string(written.fixesApplied) + " fix(es) applied";
    if (!io.ok()) {
        // Both the old and the new file are whole; only the durability of the swap is unsure.
        r.notes.push_back("the folder could not be synced after the swap: " + io.detail);
    }
    return r;
}

} // namespace jet
