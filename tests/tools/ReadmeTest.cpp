// The README is a new user's map: it must name every tarvo-tool command and only folders
// that are really there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "tools/Command.h"

namespace {

std::string Readme() {
    std::ifstream in(std::string(TARVO_SOURCE_DIR) + "/README.md");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The README's table rows whose first cell starts with "`WORD".
std::vector<std::string> RowsFor(const std::string& readme, const std::string& word) {
    std::vector<std::string> rows;
    std::istringstream lines(readme);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("| `" + word, 0) == 0) rows.push_back(line);
    return rows;
}

} // namespace

TEST(Readme, ListsEveryToolCommand) {
    std::ostringstream out, err;
    const std::vector<std::string> args{"--help"};
    ASSERT_EQ(tools::RunTool(args, out, err), 0) << err.str();
    const std::string readme = Readme();
    // Lines such as "  archive list FILE   what it does": the group, and the command when it
    // is a word of its own rather than an argument.
    const std::regex command(R"(^  ([a-z]+) ([a-z]+)?)");
    std::istringstream help(out.str());
    int seen = 0;
    for (std::string line; std::getline(help, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, command)) continue;
        ++seen;
        bool listed = false;
        for (const std::string& row : RowsFor(readme, m[1]))
            listed |= row.substr(0, row.find(" | ", 2)).find(m[2].str()) != std::string::npos;
        EXPECT_TRUE(listed) << "README.md does not list: " << m[1] << " " << m[2];
    }
    EXPECT_GT(seen, 10);
}

TEST(Readme, NamesOnlyFoldersThatExist) {
    const std::string readme = Readme();
    const std::string layout = readme.substr(readme.find("## Layout"));
    const std::regex folder(R"(`([a-z]+)/`)");
    int seen = 0;
    for (auto it = std::sregex_iterator(layout.begin(), layout.end(), folder);
         it != std::sregex_iterator(); ++it, ++seen)
        EXPECT_TRUE(
            std::filesystem::is_directory(std::string(TARVO_SOURCE_DIR) + "/" + (*it)[1].str()))
            << "README.md names a folder that is not there: " << (*it)[1];
    EXPECT_GT(seen, 10);
}
