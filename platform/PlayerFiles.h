#pragma once
// Files that belong to the player rather than to the game's data: saved games. They are plain
// files (never looked up in archives or without regard to case), replaced crash-safe, and
// kept beside the game when its folder is writable, else in the player's data folder.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Replaces a file as a whole without ever leaving it half written: the bytes go to a new
// temporary file in the same folder ("NAME.tmp-XXXXXX"), which is flushed to the disk and
// then renamed over NAME. Until Commit the old file is untouched; a replacement dropped
// without Commit removes its temporary file. A process killed before the rename leaves the
// old file as it was (and at worst a stray temporary file).
class FileReplacement {
public:
    explicit FileReplacement(std::string path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Writes all of `bytes` to the temporary file and flushes it to the disk.
    bool Write(std::span<const uint8_t> bytes);
    // Renames the temporary file over the target. Only after a successful Write.
    bool Commit();
    // Why the last step failed ("No space left on device"), empty while all went well.
    const std::string& Error() const { return error_; }
    const std::string& TemporaryPath() const { return temporary_; }

private:
    bool Fail(const std::string& what);
    void Discard();

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    bool written_ = false;
    std::string error_;
};

// FileReplacement in one call: false with the reason in `error` when the file is unchanged.
bool ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

enum class FileRead { Read, Missing, Failed };
// The whole file: Missing when there is no such file, Failed (with the reason) when it exists
// but cannot be read.
FileRead ReadPlayerFile(const std::string& path, std::vector<uint8_t>& out, std::string& error);

// Where saved games go: "" (the working directory, which is the game's folder) when that is
// writable, else "<data home>/tarvo/<game folder's name>". The data home is $XDG_DATA_HOME
// when it is an absolute path, else $HOME/.local/share.
std::string DefaultSaveFolder(const std::string& gameFolder);
// The decision itself, from its inputs (null for an unset variable).
std::string SaveFolderFor(const std::string& gameFolder, bool gameFolderWritable,
                          const char* xdgDataHome, const char* home);

} // namespace platform
