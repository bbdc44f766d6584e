// The engine's only contact with the file system: exclusive open, positioned reads and writes,
// flush, and the atomic swap of a repaired copy. FilePosix.cpp and FileWin32.cpp implement it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace jet {

enum class IoErrc {
    ok,
    notFound,
    isDirectory,
    inUse,
    readOnly,
    accessDenied,
    noSpace,
    exists,
    other,
};

struct IoResult {
    IoErrc code = IoErrc::ok;
    std::string detail; // the system's own words, for the report

    bool ok() const { return code == IoErrc::ok; }
};

// Steps that change the disk. Tests make any one of them fail through the fault hook.
enum class FaultPoint { createTemp, writeTemp, truncateTemp, flushTemp, replace, syncDirectory, removeTemp };

// Called before each step; returning true makes the step fail as if the system had refused it
// (as a full disk for writes). The hook is process-wide and meant for tests only.
using FaultHook = bool (*)(FaultPoint point, void* context);
void setFaultHook(FaultHook hook, void* context);
bool faultInjected(FaultPoint point);

enum class OpenMode {
    readShared,     // others may read, nobody may write (check)
    writeExclusive, // nobody else may open the file at all (repair)
};

class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing file. Refuses folders, files held by another process, and (for
    // writeExclusive) files marked read-only, each with its own code.
    static IoResult open(const std::filesystem::path& path, OpenMode mode, File& out);
    // Creates a new file that must not exist yet, open for writing by us alone.
    static IoResult createNew(const std::filesystem::path& path, File& out);

    bool isOpen() const;
    IoResult size(std::uint64_t& out) const;
    // Reads exactly bytes.size() bytes; a short read is an error.
    IoResult readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) const;
    IoResult writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Writes the first size bytes of source at the same offsets here, by the cheapest means the
    // system has (an in-kernel copy where it can, else large buffered reads and writes).
    IoResult copyFrom(const File& source, std::uint64_t size);
    // Asks the system to start writing this file's changes to disk without waiting, so that the
    // flush() that must follow finds most of the work done. Only a hint: it makes nothing durable.
    void startWriteback();
    IoResult truncate(std::uint64_t size);
    IoResult flush();
    // Gives this file the permissions (and, where allowed, the owner) of another one.
    IoResult copyPermissionsFrom(const File& source);
    void close();

private:
    std::intptr_t handle_ = -1;
};

// Puts replacement in place of target in one step that either happens completely or not at
// all, and makes the change durable. The replacement's name is gone afterwards.
// swapped tells whether the swap itself happened (making it durable may still fail after it).
IoResult replaceFile(const std::filesystem::path& target, const std::filesystem::path& replacement,
                     bool& swapped);
// File::copyFrom's portable way: buffered reads and writes of [from, size).
IoResult copyByBuffer(const File& source, File& target, std::uint64_t from, std::uint64_t size);
IoResult removeFile(const std::filesystem::path& path);
bool pathExists(const std::filesystem::path& path);

// UTF-8 text of a path for messages.
std::string displayPath(const std::filesystem::path& path);

} // namespace jet
