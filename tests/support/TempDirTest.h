#pragma once
// A fixture that runs each test inside a fresh temporary folder (the working directory), and
// goes back and removes the folder afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }

    const std::filesystem::path& Dir() const { return dir_; }

    static void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& data) {
        if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()),
                  static_cast<std::streamsize>(data.size()));
        ASSERT_TRUE(out.good()) << path;
    }
    static void WriteText(const std::filesystem::path& path, std::string_view text) {
        WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    }
    static std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static std::string ReadText(const std::filesystem::path& path) {
        auto bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

} // namespace testsupport
