#include "platform/PlayerFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/FileBytesInternal.h"

namespace platform {

namespace {

std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

// The rename is only durable once the folder's entry is on the disk too. The file is already
// replaced when this runs, so a failure here is not one of the save.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

FileReplacement::FileReplacement(std::string path) : path_(std::move(path)) {
    std::string pattern = path_ + ".tmp-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        Fail("cannot create a file in " + FolderOf(path_));
        return;
    }
    temporary_ = pattern;
    ::fchmod(fd_, 0644); // mkstemp makes it private; a save is an ordinary file
}

FileReplacement::~FileReplacement() {
    Discard();
}

bool FileReplacement::Fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    return false;
}

void FileReplacement::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool FileReplacement::Write(std::span<const uint8_t> bytes) {
    if (fd_ < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            Fail("cannot write " + temporary_);
            Discard();
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd_) != 0) {
        Fail("cannot flush " + temporary_);
        Discard();
        return false;
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        Fail("cannot close " + temporary_);
        Discard();
        return false;
    }
    written_ = true;
    return true;
}

bool FileReplacement::Commit() {
    if (!written_ || temporary_.empty()) return false;
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        Fail("cannot replace " + path_);
        Discard();
        return false;
    }
    temporary_.clear();
    SyncFolder(FolderOf(path_));
    return true;
}

bool ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
    FileReplacement file(path);
    if (file.Write(bytes) && file.Commit()) return true;
    error = file.Error();
    return false;
}

FileRead ReadPlayerFile(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return FileRead::Missing;
        error = std::strerror(errno);
        return FileRead::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return FileRead::Failed;
    }
    errno = 0;
    if (!internal::ReadWholeFile(path, out)) {
        error = errno != 0 ? std::strerror(errno) : "the file cannot be read";
        return FileRead::Failed;
    }
    return FileRead::Read;
}

std::string SaveFolderFor(const std::string& gameFolder, bool gameFolderWritable,
                          const char* xdgDataHome, const char* home) {
    if (gameFolderWritable) return "";
    std::string base;
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/')
        base = xdgDataHome;
    else
        base = std::string(home != nullptr && home[0] != '\0' ? home : ".") + "/.local/share";
    std::filesystem::path folder = std::filesystem::path(gameFolder).lexically_normal();
    std::string name = folder.filename().string();
    if (name.empty()) name = folder.parent_path().filename().string(); // "games/tarvo/"
    if (name.empty() || name == "." || name == "..") name = "game";
    return base + "/tarvo/" + name;
}

std::string DefaultSaveFolder(const std::string& gameFolder) {
    const bool writable = ::access(gameFolder.c_str(), W_OK) == 0;
    return SaveFolderFor(gameFolder, writable, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

} // namespace platform
