// Win32 file layer. A repair holds the database with share mode 0, so no other process can open
// it while we work; a sharing or lock violation at open time means it is in use.
#include "File.h"

#include <windows.h>

namespace jet {

namespace {

std::string utf8(const std::wstring& w) {
    if (w.empty()) {
        return {};
    }
    int n =
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string systemMessage(DWORD err) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring w = n != 0 && text != nullptr ? std::wstring(text, n) : L"error " + std::to_wstring(err);
    if (text != nullptr) {
        LocalFree(text);
    }
    while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.')) {
        w.pop_back();
    }
    return utf8(w);
}

IoResult fromError(DWORD err) {
    IoResult r;
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        r.code = IoErrc::notFound;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        r.code = IoErrc::inUse;
        break;
    case ERROR_ACCESS_DENIED:
        r.code = IoErrc::accessDenied;
        break;
    case ERROR_WRITE_PROTECT:
        r.code = IoErrc::readOnly;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        r.code = IoErrc::noSpace;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        r.code = IoErrc::exists;
        break;
    default:
        r.code = IoErrc::other;
        break;
    }
    r.detail = systemMessage(err);
    return r;
}

IoResult lastError() {
    return fromError(GetLastError());
}
IoResult injected(IoErrc code = IoErrc::other) {
    return IoResult{code, "injected fault"};
}

HANDLE h(std::intptr_t v) {
    return reinterpret_cast<HANDLE>(v);
}

} // namespace

void File::close() {
    if (handle_ != -1) {
        CloseHandle(h(handle_));
        handle_ = -1;
    }
}

IoResult File::open(const std::filesystem::path& path, OpenMode mode, File& out) {
    out.close();
    DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        return lastError();
    }
    if ((attrs & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return IoResult{IoErrc::isDirectory, "is a folder"};
    }
    const bool write = mode == OpenMode::writeExclusive;
    if (write && (attrs & FILE_ATTRIBUTE_READONLY) != 0) {
        return IoResult{IoErrc::readOnly, "file is read-only"};
    }
    HANDLE f =
        CreateFileW(path.c_str(), write ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ,
                    write ? 0 : FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        if (write && err == ERROR_ACCESS_DENIED) {
            return IoResult{IoErrc::readOnly, systemMessage(err)};
        }
        return fromError(err);
    }
    out.handle_ = reinterpret_cast<std::intptr_t>(f);
    // A lock file that someone still holds open belongs to a live session. A stale one (nobody
    // has it open) is normal after a crash and proves nothing.
    std::filesystem::path ldb = path;
    ldb.replace_extension(L".ldb");
    HANDLE l =
        CreateFileW(ldb.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (l != INVALID_HANDLE_VALUE) {
        CloseHandle(l);
    } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
        out.close();
        return IoResult{IoErrc::inUse, "its lock file is held open by another process"};
    }
    return {};
}

IoResult File::createNew(const std::filesystem::path& path, File& out) {
    out.close();
    if (faultInjected(FaultPoint::createTemp)) {
        return injected();
    }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    out.handle_ = reinterpret_cast<std::intptr_t>(f);
    return {};
}

IoResult File::size(std::uint64_t& out) const {
    LARGE_INTEGER s{};
    if (!GetFileSizeEx(h(handle_), &s)) {
        return lastError();
    }
    out = static_cast<std::uint64_t>(s.QuadPart);
    return {};
}

IoResult File::readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED ov{};
        std::uint64_t at = offset + done;
        ov.Offset = static_cast<DWORD>(at);
        ov.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(h(handle_), bytes.data() + done, chunk, &n, &ov)) {
            DWORD err = GetLastError();
            if (err == ERROR_HANDLE_EOF) {
                return IoResult{IoErrc::other, "unexpected end of file"};
            }
            return fromError(err);
        }
        if (n == 0) {
            return IoResult{IoErrc::other, "unexpected end of file"};
        }
        done += n;
    }
    return {};
}

IoResult File::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (faultInjected(FaultPoint::writeTemp)) {
        return injected(IoErrc::noSpace);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED ov{};
        std::uint64_t at = offset + done;
        ov.Offset = static_cast<DWORD>(at);
        ov.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD n = 0;
        if (!WriteFile(h(handle_), bytes.data() + done, chunk, &n, &ov)) {
            return lastError();
        }
        if (n == 0) {
            return IoResult{IoErrc::noSpace, "no progress writing"};
        }
        done += n;
    }
    return {};
}

IoResult File::copyFrom(const File& source, std::uint64_t size) {
    if (faultInjected(FaultPoint::writeTemp)) {
        return injected(IoErrc::noSpace);
    }
    return copyByBuffer(source, *this, 0, size);
}

void File::startWriteback() {
    // No call starts a file's write-back without waiting for it; FlushFileBuffers does it all.
}

IoResult File::truncate(std::uint64_t size) {
    if (faultInjected(FaultPoint::truncateTemp)) {
        return injected();
    }
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(h(handle_), FileEndOfFileInfo, &info, sizeof info)) {
        return lastError();
    }
    return {};
}

IoResult File::flush() {
    if (faultInjected(FaultPoint::flushTemp)) {
        return injected();
    }
    if (!FlushFileBuffers(h(handle_))) {
        return lastError();
    }
    return {};
}

// ReplaceFileW carries the attributes, security and streams of the replaced file over.
IoResult File::copyPermissionsFrom(const File&) {
    return {};
}

IoResult replaceFile(const std::filesystem::path& target, const std::filesystem::path& replacement,
                     bool& swapped) {
    swapped = false;
    if (faultInjected(FaultPoint::replace)) {
        return injected();
    }
    // Another program may open the file in the moment between our close and this call; the
    // replace then fails with a sharing violation and the original stays as it was.
    if (!ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
        DWORD err = GetLastError();
        return fromError(err);
    }
    swapped = true;
    if (faultInjected(FaultPoint::syncDirectory)) {
        return injected();
    }
    return {};
}

IoResult removeFile(const std::filesystem::path& path) {
    if (faultInjected(FaultPoint::removeTemp)) {
        return injected();
    }
    if (!DeleteFileW(path.c_str())) {
        DWORD err = GetLastError();
        if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND) {
            return fromError(err);
        }
    }
    return {};
}

bool pathExists(const std::filesystem::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace jet
