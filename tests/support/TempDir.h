#pragma once
// A fresh temporary folder for a test, removed afterwards; optionally made the working
// directory for the test's duration (the game reads its data from the working directory).
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace testing_support {

class TempDir {
public:
    explicit TempDir(bool enter = false) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        if (enter && !path_.empty()) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(path_);
        }
    }
    ~TempDir() {
        std::error_code ec;
        if (!previous_.empty()) std::filesystem::current_path(previous_, ec);
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes `content` to a file under the folder, creating subfolders.
    void Write(const std::string& name, const std::string& content) const {
        const std::filesystem::path p = std::filesystem::path(path_) / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }

private:
    std::string path_;
    std::filesystem::path previous_;
};

} // namespace testing_support
