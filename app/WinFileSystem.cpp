#include "app/WinFileSystem.h"

#include "toolkit/FileList.h"

#include <windows.h>

namespace app {
namespace {

class WinFolder : public Folder {
public:
    WinFolder(std::wstring path, std::wstring name) : path_(std::move(path)), name_(std::move(name)) {}
    std::wstring Name() const override { return name_; }

    std::vector<FolderPtr> SubFolders() const override {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileExW((tk::ExtendedPath(path_) + L"\\*").c_str(), FindExInfoBasic, &data,
                                       FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE)
            tk::ThrowPlatformError(GetLastError());
        std::vector<FolderPtr> out;
        do {
            const std::wstring name = data.cFileName;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..")
                continue;
            out.push_back(std::make_shared<WinFolder>(path_ + L"\\" + name, name));
        } while (FindNextFileW(find, &data));
        const DWORD last = GetLastError();
        FindClose(find);
        if (last != ERROR_NO_MORE_FILES)
            tk::ThrowPlatformError(last);
        return out;
    }

private:
    std::wstring path_; // without a trailing separator
    std::wstring name_;
};

} // namespace

FolderPtr WinFileSystem::GetFolder(const std::wstring& path) {
    std::wstring p = path;
    while (p.size() > 3 && p.back() == L'\\')
        p.pop_back();
    const DWORD attributes = GetFileAttributesW(tk::ExtendedPath(p).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        tk::ThrowPlatformError(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        tk::ThrowPlatformError(ERROR_PATH_NOT_FOUND);
    return std::make_shared<WinFolder>(p, p.substr(p.find_last_of(L'\\') + 1));
}

} // namespace app
