// An invisible file list: the names of the files of one folder that match its pattern, sorted. The
// pattern is compared with the whole long name ("*.mdb" admits ".mdb" and ".MDB" but not ".mdbx",
// which a platform pattern search would admit through its 8.3 short name). Hidden and system files
// and folders are left out. At most 32,767 names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tk {

class FileList {
public:
    // Starts with the current directory.
    explicit FileList(std::wstring pattern = L"*.*");

    std::wstring Pattern() const { return pattern_; }
    void Pattern(const std::wstring& pattern); // relists the current folder
    std::wstring Path() const { return path_; }
    // Lists the folder; throws VbError (path not found, permission denied, ...) and keeps the
    // previous list and path when it cannot.
    void Path(const std::wstring& folder);
    std::int16_t ListCount() const { return static_cast<std::int16_t>(names_.size()); }
    // Throws VbError (invalid property value) for an index outside the list.
    std::wstring List(std::int16_t index) const;

private:
    std::wstring pattern_;
    std::wstring path_;
    std::vector<std::wstring> names_;
};

// Wildcards * and ?, letter case ignored (locale-independent).
bool MatchesPattern(const std::wstring& pattern, const std::wstring& name);
// The "\\?\" form of a path, so that the W APIs take paths longer than MAX_PATH.
std::wstring ExtendedPath(const std::wstring& path);
// A VbError for a Win32 error code: the toolkit's number for it and the platform's description.
[[noreturn]] void ThrowPlatformError(unsigned long win32Error);

} // namespace tk
