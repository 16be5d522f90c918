// Plain files over POSIX. A RawHandle is the file descriptor plus one, so that 0 (the
// failure value) is never a valid handle.
#include "resources/FileAccess.h"

#include "platform/Files.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ToFd(RawHandle handle, int& fd) {
    if (handle <= 0 || handle > static_cast<RawHandle>(INT_MAX) + 1) return false;
    fd = static_cast<int>(handle - 1);
    return true;
}

} // namespace

RawHandle RawOpen(const char* name, int mode) {
    if (name == nullptr || *name == '\0') return 0;
    int flags = O_CLOEXEC;
    std::string path;
    switch (mode) {
    case kRawRead:
        flags |= O_RDONLY;
        path = platform::ResolveDataPath(name);
        break;
    case kRawWrite:
        flags |= O_WRONLY | O_CREAT; // like OPEN_ALWAYS: created if missing, not truncated
        path = name;
        break;
    case kRawReadWrite:
        flags |= O_RDWR;
        path = platform::ResolveDataPath(name);
        break;
    default:
        return 0;
    }

    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return 0;

    // Only regular files: open() succeeds on a folder for reading, which is never a data file.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    // Writing modes are "not shared": a second writer (in this process or another) fails.
    if (mode != kRawRead && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return 0;
    }
    return static_cast<RawHandle>(fd) + 1;
}

int32_t RawRead(RawHandle handle, void* buffer, int32_t count) {
    int fd;
    if (!ToFd(handle, fd) || count < 0 || (buffer == nullptr && count > 0)) return -1;
    auto* out = static_cast<uint8_t*>(buffer);
    int32_t done = 0;
    while (done < count) {
        ssize_t got = ::read(fd, out + done, static_cast<size_t>(count - done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return -1; // error, or the end of the file before `count` bytes
        done += static_cast<int32_t>(got);
    }
    return count;
}

int RawClose(RawHandle handle) {
    int fd;
    if (!ToFd(handle, fd)) return 0;
    // No retry on EINTR: on Linux the descriptor is released anyway.
    return ::close(fd) == 0 ? 1 : 0;
}

int RawSeek(RawHandle handle, int32_t distance, int origin) {
    int fd;
    if (!ToFd(handle, fd)) return 0;
    int whence;
    switch (origin) {
    case 0:
        whence = SEEK_SET;
        break;
    case 1:
        whence = SEEK_CUR;
        break;
    case 2:
        whence = SEEK_END;
        break;
    default:
        return 0;
    }
    // A position before the start fails (EINVAL); one past the end is allowed, as on Windows.
    return ::lseek(fd, distance, whence) >= 0 ? 1 : 0;
}

int32_t RawTell(RawHandle handle) {
    int fd;
    if (!ToFd(handle, fd)) return -1;
    off_t pos = ::lseek(fd, 0, SEEK_CUR);
    if (pos < 0 || pos > INT32_MAX) return -1;
    return static_cast<int32_t>(pos);
}

int32_t RawSize(RawHandle handle) {
    int fd;
    if (!ToFd(handle, fd)) return -1;
    // fstat leaves the position untouched, which is what saving and restoring it achieves,
    // without a window in which another reader of the handle would see it moved.
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size < 0 || st.st_size > INT32_MAX) return -1;
    return static_cast<int32_t>(st.st_size);
}
