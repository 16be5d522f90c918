// The corpus runner of the fuzz targets, as the build and ./test use it: what goes into a
// corpus, how regression inputs written as hex text become bytes, and that a replay with
// nothing to replay fails instead of passing unseen.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/Subprocess.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testing_support::ProgramRun;
using testing_support::RunProgram;
using testing_support::TempDir;

namespace {

// Any target will do; the qrc target's makers give two seeds.
constexpr const char* kRunner = "fuzz/fuzz_qrc_replay";

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(CorpusRunner, MakesTheCorpusFromSeedsMatchingFilesAndRegressionInputs) {
    TempDir dir;
    dir.Write("demo/resource.QRC", "1 = A.FLC\n");
    dir.Write("demo/SPEECH/deep.qrc", "2 = B.FLC\n");
    dir.Write("demo/other.txt", "not wanted");
    dir.Write("regressions/broke.hex",
              "# once broke the parser\n3d 3D\n0a  # '==' and a line end\n");
    dir.Write("regressions/notes.txt", "ignored");
    dir.Write("corpus/stale", "left from an earlier build");
    const ProgramRun run =
        RunProgram(kRunner, "--make-corpus " + dir / "corpus" + " --from " + dir / "demo" +
                                " --match .qrc --regressions " + dir / "regressions");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(Names(dir / "corpus"),
              (std::vector<std::string>{"demo-deep.qrc", "demo-resource.QRC", "maker-odd.qrc",
                                        "maker-plain.qrc", "regression-broke"}));
    EXPECT_EQ(Read(dir / "corpus/regression-broke"), "==\n");
    EXPECT_EQ(Read(dir / "corpus/demo-resource.QRC"), "1 = A.FLC\n");

    const ProgramRun replay = RunProgram(kRunner, dir / "corpus");
    EXPECT_EQ(replay.status, 0) << replay.output;
    EXPECT_NE(replay.output.find("5 inputs replayed"), std::string::npos) << replay.output;
}

TEST(CorpusRunner, RefusesBrokenRegressionInputsAndEmptyReplays) {
    for (const char* text : {"41 4", "41 zz", "0x41"}) {
        TempDir dir;
        dir.Write("regressions/bad.hex", text);
        const ProgramRun run = RunProgram(kRunner, "--make-corpus " + dir / "corpus" +
                                                       " --regressions " + dir / "regressions");
        EXPECT_EQ(run.status, 1) << text;
        EXPECT_NE(run.output.find("bad.hex: not hexadecimal bytes"), std::string::npos)
            << run.output;
    }
    TempDir empty;
    fs::create_directories(empty / "corpus");
    const ProgramRun replay = RunProgram(kRunner, empty / "corpus");
    EXPECT_EQ(replay.status, 1);
    EXPECT_NE(replay.output.find("no inputs to replay"), std::string::npos) << replay.output;
}
