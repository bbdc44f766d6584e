#include "toolkit/FileList.h"

#include "toolkit/Variant.h"

#include <windows.h>

#include <algorithm>

namespace tk {
namespace {

std::string Utf8(const std::wstring& s) {
    if (s.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Upper(const std::wstring& s) {
    if (s.empty())
        return s;
    std::wstring out(s.size(), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, s.data(), static_cast<int>(s.size()), out.data(),
                  static_cast<int>(out.size()), nullptr, nullptr, 0);
    return out;
}

bool Match(const wchar_t* p, const wchar_t* n) {
    for (; *p; ++p, ++n) {
        if (*p == L'*') {
            while (p[1] == L'*')
                ++p;
            for (const wchar_t* rest = n;; ++rest) {
                if (Match(p + 1, rest))
                    return true;
                if (!*rest)
                    return false;
            }
        }
        if (!*n || (*p != L'?' && *p != *n))
            return false;
    }
    return !*n;
}

std::wstring WithoutTrailingSeparator(std::wstring p) {
    while (p.size() > 3 && (p.back() == L'\\' || p.back() == L'/'))
        p.pop_back();
    return p;
}

} // namespace

bool MatchesPattern(const std::wstring& pattern, const std::wstring& name) {
    const std::wstring p = Upper(pattern), n = Upper(name);
    return Match(p.c_str(), n.c_str());
}

std::wstring ExtendedPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    std::wstring full(32768, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return path;
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

void ThrowPlatformError(unsigned long code) {
    int number = 75; // path/file access error
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH:
        // A folder that is not there reads as a path not found, whatever part of it is missing.
        code = ERROR_PATH_NOT_FOUND;
        number = 76;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        number = 70;
        break;
    default:
        break;
    }
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = text ? text : L"";
    if (text)
        LocalFree(text);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r' ||
                                    description.back() == L' ' || description.back() == L'.'))
        description.pop_back();
    if (description.empty())
        description = L"Error " + std::to_wstring(code);
    throw VbError(number, Utf8(description));
}

FileList::FileList(std::wstring pattern) : pattern_(std::move(pattern)) {
    std::wstring cwd(32768, L'\0');
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(cwd.size()), cwd.data());
    cwd.resize(n < cwd.size() ? n : 0);
    try {
        Path(cwd);
    } catch (const VbError&) {
        path_ = cwd;
    }
}

void FileList::Pattern(const std::wstring& pattern) {
    pattern_ = pattern;
    try {
        Path(path_);
    } catch (const VbError&) {
        names_.clear();
    }
}

void FileList::Path(const std::wstring& folder) {
    const std::wstring dir = WithoutTrailingSeparator(folder);
    const std::wstring extended = ExtendedPath(dir);
    const DWORD attributes = GetFileAttributesW(extended.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        ThrowPlatformError(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        ThrowPlatformError(ERROR_DIRECTORY);
    // Basic information only: without short names nothing can match through an 8.3 alias.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((extended + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        ThrowPlatformError(GetLastError());
    std::vector<std::wstring> names;
    do {
        const DWORD a = data.dwFileAttributes;
        if (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        if (MatchesPattern(pattern_, data.cFileName))
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    const DWORD last = GetLastError();
    FindClose(find);
    if (last != ERROR_NO_MORE_FILES)
        ThrowPlatformError(last);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                    static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
    });
    if (names.size() > 32767)
        names.resize(32767);
    names_ = std::move(names);
    path_ = dir;
}

std::wstring FileList::List(std::int16_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= names_.size())
        throw VbError(err::InvalidPropertyValue, "Invalid property value");
    return names_[static_cast<std::size_t>(index)];
}

} // namespace tk
