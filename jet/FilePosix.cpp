// POSIX file layer. "In use" means another open file description holds a flock() on the file;
// the lock is taken without waiting and held until the file is closed.
#include "File.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jet {

namespace {

IoResult fromErrno(int err, IoErrc fallback = IoErrc::other) {
    IoResult r;
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        r.code = IoErrc::notFound;
        break;
    case EISDIR:
        r.code = IoErrc::isDirectory;
        break;
    case EACCES:
    case EPERM:
        r.code = IoErrc::accessDenied;
        break;
    case EROFS:
        r.code = IoErrc::readOnly;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        r.code = IoErrc::noSpace;
        break;
    case EEXIST:
        r.code = IoErrc::exists;
        break;
    case EWOULDBLOCK:
        r.code = IoErrc::inUse;
        break;
    default:
        r.code = fallback;
        break;
    }
    r.detail = std::strerror(err);
    return r;
}

IoResult injected(IoErrc code = IoErrc::other) {
    return IoResult{code, "injected fault"};
}

int fd(std::intptr_t h) {
    return static_cast<int>(h);
}

} // namespace

void File::close() {
    if (handle_ != -1) {
        ::close(fd(handle_)); // also drops the flock
        handle_ = -1;
    }
}

IoResult File::open(const std::filesystem::path& path, OpenMode mode, File& out) {
    out.close();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return fromErrno(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return IoResult{IoErrc::isDirectory, "is a folder"};
    }
    if (!S_ISREG(st.st_mode)) {
        return IoResult{IoErrc::other, "not a regular file"};
    }
    const bool write = mode == OpenMode::writeExclusive;
    // Root may write to a file without write permission; the missing write bits are what
    // marks a file read-only here, as the attribute does on Windows.
    if (write && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return IoResult{IoErrc::readOnly, "file is read-only"};
    }
    int h = ::open(path.c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOFOLLOW);
    if (h < 0) {
        int err = errno;
        if (write && (err == EACCES || err == EPERM || err == EROFS)) {
            return IoResult{IoErrc::readOnly, std::strerror(err)};
        }
        return fromErrno(err);
    }
    if (::flock(h, (write ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        int err = errno;
        ::close(h);
        if (err == EWOULDBLOCK) {
            return IoResult{IoErrc::inUse, "file is locked by another process"};
        }
        return fromErrno(err);
    }
    out.handle_ = h;
    return {};
}

IoResult File::createNew(const std::filesystem::path& path, File& out) {
    out.close();
    if (faultInjected(FaultPoint::createTemp)) {
        return injected();
    }
    int h = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (h < 0) {
        return fromErrno(errno);
    }
    ::flock(h, LOCK_EX | LOCK_NB);
    out.handle_ = h;
    return {};
}

IoResult File::size(std::uint64_t& out) const {
    struct stat st {};
    if (::fstat(fd(handle_), &st) != 0) {
        return fromErrno(errno);
    }
    out = static_cast<std::uint64_t>(st.st_size);
    return {};
}

IoResult File::readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n =
            ::pread(fd(handle_), bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fromErrno(errno);
        }
        if (n == 0) {
            return IoResult{IoErrc::other, "unexpected end of file"};
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

IoResult File::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (faultInjected(FaultPoint::writeTemp)) {
        return injected(IoErrc::noSpace);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd(handle_), bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fromErrno(errno);
        }
        if (n == 0) {
            return IoResult{IoErrc::noSpace, "no progress writing"};
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

IoResult File::copyFrom(const File& source, std::uint64_t size) {
    if (faultInjected(FaultPoint::writeTemp)) {
        return injected(IoErrc::noSpace);
    }
    std::uint64_t done = 0;
#ifdef __linux__
    // The kernel copies between the two page caches (or shares the blocks, where the file system
    // can), without a trip through our memory.
    while (done < size) {
        auto in = static_cast<off_t>(done);
        auto out = static_cast<off_t>(done);
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - done, std::uint64_t{1} << 30));
        const ssize_t n = ::copy_file_range(fd(source.handle_), &in, fd(handle_), &out, want, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int err = errno;
            if (err != EXDEV && err != ENOSYS && err != EINVAL && err != EOPNOTSUPP && err != EPERM) {
                return fromErrno(err);
            }
            break; // not offered for this pair of files: copy through a buffer
        }
        if (n == 0) {
            break; // the source is shorter than expected: the buffered copy reports it
        }
        done += static_cast<std::uint64_t>(n);
    }
#endif
    return done < size ? copyByBuffer(source, *this, done, size) : IoResult{};
}

void File::startWriteback() {
#ifdef __linux__
    ::sync_file_range(fd(handle_), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

IoResult File::truncate(std::uint64_t size) {
    if (faultInjected(FaultPoint::truncateTemp)) {
        return injected();
    }
    if (::ftruncate(fd(handle_), static_cast<off_t>(size)) != 0) {
        return fromErrno(errno);
    }
    return {};
}

IoResult File::flush() {
    if (faultInjected(FaultPoint::flushTemp)) {
        return injected();
    }
    if (::fsync(fd(handle_)) != 0) {
        return fromErrno(errno);
    }
    return {};
}

IoResult File::copyPermissionsFrom(const File& source) {
    struct stat st {};
    if (::fstat(fd(source.handle_), &st) != 0) {
        return fromErrno(errno);
    }
    // Owner first: changing it may clear set-id bits that the mode then restores.
    if (::fchown(fd(handle_), st.st_uid, st.st_gid) != 0 && errno != EPERM) {
        return fromErrno(errno);
    }
    if (::fchmod(fd(handle_), st.st_mode & 07777) != 0) {
        return fromErrno(errno);
    }
    return {};
}

IoResult replaceFile(const std::filesystem::path& target, const std::filesystem::path& replacement,
                     bool& swapped) {
    swapped = false;
    if (faultInjected(FaultPoint::replace)) {
        return injected();
    }
    if (::rename(replacement.c_str(), target.c_str()) != 0) {
        return fromErrno(errno);
    }
    swapped = true;
    // The rename is only durable once the folder itself reaches the disk.
    if (faultInjected(FaultPoint::syncDirectory)) {
        return injected();
    }
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d < 0) {
        return fromErrno(errno);
    }
    int rc = ::fsync(d);
    int err = errno;
    ::close(d);
    if (rc != 0 && err != EINVAL) { // some file systems cannot sync a folder; nothing to do then
        return fromErrno(err);
    }
    return {};
}

IoResult removeFile(const std::filesystem::path& path) {
    if (faultInjected(FaultPoint::removeTemp)) {
        return injected();
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return fromErrno(errno);
    }
    return {};
}

bool pathExists(const std::filesystem::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace jet
