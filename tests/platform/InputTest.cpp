#include "platform/Input.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/VirtualKeys.h"

using namespace platform;

namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "tarvo_input_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

WindowMessage Make(WindowMessageType type, int x = 0, int y = 0, int key = 0, int active = 0,
                   std::string text = {}) {
    return WindowMessage{type, x, y, key, active, std::move(text)};
}

WindowMessage Key(int code) {
    return Make(WindowMessageType::KeyDown, 0, 0, code);
}

struct Delivered {
    uint64_t pass;
    WindowMessage message;
    friend bool operator==(const Delivered&, const Delivered&) = default;
    friend void PrintTo(const Delivered& d, std::ostream* os) {
        *os << "pass " << d.pass << ": " << FormatReplayLine(d.pass, d.message);
    }
};

// Runs passes firstPass..lastPass as the main loop does, asking twice per pass, so that a
// source handing out two messages in one pass is caught.
std::vector<Delivered> Drive(MessageSource& source, uint64_t lastPass, uint64_t firstPass = 0) {
    std::vector<Delivered> delivered;
    for (uint64_t pass = firstPass; pass <= lastPass; ++pass) {
        source.BeginPass(pass);
        WindowMessage m;
        if (source.PeekMessage(m)) delivered.push_back({pass, m});
        if (source.PeekMessage(m)) delivered.push_back({pass, m});
    }
    return delivered;
}

} // namespace

TEST(ReplayLine, EveryVerbRoundTrips) {
    const std::vector<std::pair<WindowMessage, std::string>> cases = {
        {Make(WindowMessageType::MouseMove, 320, 240), "12 move 320 240"},
        {Make(WindowMessageType::LeftButtonDown, 0, 479), "12 ldown 0 479"},
        {Make(WindowMessageType::RightButtonDown, 639, -3), "12 rdown 639 -3"},
        {Key(vk::F2), "12 key F2"},
        {Key(vk::Backquote), "12 key Backquote"},
        {Key('I'), "12 key I"},
        {Make(WindowMessageType::Activate, 0, 0, 0, 0), "12 activate 0"},
        {Make(WindowMessageType::Activate, 0, 0, 0, 1), "12 activate 1"},
        {Make(WindowMessageType::Close), "12 close"},
        {Make(WindowMessageType::Screenshot, 0, 0, 0, 0, "room1.png"), "12 shot room1.png"},
    };
    for (const auto& [message, line] : cases) {
        EXPECT_EQ(FormatReplayLine(12, message), line);
        uint64_t pass = 0;
        WindowMessage parsed;
        std::string error;
        ASSERT_TRUE(ParseReplayLine(line, pass, parsed, error)) << line << ": " << error;
        EXPECT_EQ(pass, 12u);
        EXPECT_EQ(parsed, message) << line;
    }
}

TEST(ReplayLine, CommentsSpacingCaseAndLargePasses) {
    uint64_t pass = 0;
    WindowMessage m;
    std::string error;
    ASSERT_TRUE(ParseReplayLine("  7\tkey   escape  # leave the map\r", pass, m, error)) << error;
    EXPECT_EQ(pass, 7u);
    EXPECT_EQ(m, Key(vk::Escape));
    ASSERT_TRUE(ParseReplayLine("18446744073709551615 close#end", pass, m, error)) << error;
    EXPECT_EQ(pass, UINT64_MAX);
    EXPECT_EQ(m, Make(WindowMessageType::Close));
}

TEST(ReplayLine, MalformedLinesAreRejectedWithAReason) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "empty"},
        {"# just a note", "empty"},
        {"x move 1 2", "frame number"},
        {"-1 close", "frame number"},
        {"18446744073709551616 close", "frame number"},
        {"5", "missing event"},
        {"5 jump 1 2", "unknown event 'jump'"},
        {"5 MOVE 1 2", "unknown event"},
        {"5 move 1", "takes 2"},
        {"5 ldown", "takes 2"},
        {"5 close now", "takes 0"},
        {"5 key", "takes 1"},
        {"5 shot a.png b.png", "takes 1"},
        {"5 move 1 y", "bad coordinates"},
        {"5 rdown 1.5 2", "bad coordinates"},
        {"5 move 99999999999 2", "bad coordinates"},
        {"5 key Ctrl", "unknown key 'Ctrl'"},
        {"5 activate 2", "activate takes 0 or 1"},
        {"5 activate yes", "activate takes 0 or 1"},
    };
    for (const auto& [line, reason] : cases) {
        uint64_t pass = 99;
        WindowMessage m = Key('Q');
        std::string error;
        EXPECT_FALSE(ParseReplayLine(line, pass, m, error)) << line;
        EXPECT_NE(error.find(reason), std::string::npos) << line << " gave: " << error;
        EXPECT_EQ(pass, 99u) << "outputs are left alone on failure: " << line;
        EXPECT_EQ(m, Key('Q')) << line;
    }
}

TEST(ReplayLine, MessagesWithoutAReplayFormBecomeComments) {
    const std::string unnamedKey = FormatReplayLine(3, Key(0x5B));
    const std::string spacedShot =
        FormatReplayLine(4, Make(WindowMessageType::Screenshot, 0, 0, 0, 0, "my shot.png"));
    EXPECT_EQ(unnamedKey.rfind("# 3", 0), 0u) << unnamedKey;
    EXPECT_EQ(spacedShot.rfind("# 4", 0), 0u) << spacedShot;
    std::string error;
    auto replay = ReplayFromText(unnamedKey + "\n" + spacedShot + "\n", error);
    ASSERT_TRUE(replay) << error;
    EXPECT_TRUE(replay->Finished());
}

TEST(Replay, ErrorsNameTheFileAndLine) {
    std::string error;
    EXPECT_FALSE(ReplayFromText("1 close\n\n# note\n2 key Nope\n", error));
    EXPECT_NE(error.find(":4: unknown key 'Nope'"), std::string::npos) << error;

    EXPECT_FALSE(ReplayFromText("5 close\n5 close\n3 move 1 1\n", error));
    EXPECT_NE(error.find(":3: pass 3 comes after pass 5"), std::string::npos) << error;

    const std::string path = TempPath("bad.replay");
    std::ofstream(path) << "0 move 1 2\r\n0 fly\r\n";
    EXPECT_FALSE(LoadReplay(path, error));
    EXPECT_EQ(error.rfind(path + ":2: unknown event 'fly'", 0), 0u) << error;
    std::remove(path.c_str());

    EXPECT_FALSE(LoadReplay(TempPath("missing.replay"), error));
    EXPECT_NE(error.find("missing.replay"), std::string::npos) << error;
}

TEST(Replay, DeliversInOrderNotBeforeItsPassAndOnePerPass) {
    std::string error;
    auto replay = ReplayFromText("5 move 1 2\n"
                                 "5 ldown 1 2   # same pass: waits for pass 6\n"
                                 "9 key A\n"
                                 "9 rdown 3 4\n"
                                 "9 close\n",
                                 error);
    ASSERT_TRUE(replay) << error;
    EXPECT_FALSE(replay->Finished());
    const std::vector<Delivered> expected = {
        {5, Make(WindowMessageType::MouseMove, 1, 2)},
        {6, Make(WindowMessageType::LeftButtonDown, 1, 2)},
        {9, Key('A')},
        {10, Make(WindowMessageType::RightButtonDown, 3, 4)},
        {11, Make(WindowMessageType::Close)},
    };
    EXPECT_EQ(Drive(*replay, 20), expected);
    EXPECT_TRUE(replay->Finished());
    EXPECT_FALSE(replay->WaitMessage(1000));
}

TEST(Replay, LateStartDeliversOverdueMessagesOnePerPass) {
    std::string error;
    auto replay = ReplayFromText("1 activate 0\n2 activate 1\n", error);
    ASSERT_TRUE(replay) << error;
    WindowMessage m;
    replay->BeginPass(100);
    ASSERT_TRUE(replay->PeekMessage(m));
    EXPECT_EQ(m, Make(WindowMessageType::Activate, 0, 0, 0, 0));
    EXPECT_FALSE(replay->PeekMessage(m));
    EXPECT_FALSE(replay->Finished());
    replay->BeginPass(101);
    ASSERT_TRUE(replay->PeekMessage(m));
    EXPECT_EQ(m, Make(WindowMessageType::Activate, 0, 0, 0, 1));
    EXPECT_TRUE(replay->Finished());
}

TEST(Recorder, WritesEachLineAtOnceAndTheRecordingReplaysTheSameMessages) {
    const std::string script = "0 move 10 20\n"
                               "0 ldown 10 20\n"
                               "3 rdown 639 479\n"
                               "4 key Backquote\n"
                               "4 key F9\n"
                               "8 activate 0\n"
                               "9 activate 1\n"
                               "12 shot end.png\n"
                               "12 close\n";
    std::string error;
    auto original = ReplayFromText(script, error);
    ASSERT_TRUE(original) << error;
    const std::string path = TempPath("recording.replay");
    auto recorder = RecordTo(std::move(original), path, error);
    ASSERT_TRUE(recorder) << error;

    const std::vector<Delivered> live = Drive(*recorder, 4);
    // The recorder is still open: what it handed out must already be on disk.
    EXPECT_EQ(ReadText(path), "0 move 10 20\n1 ldown 10 20\n3 rdown 639 479\n4 key Backquote\n");
    std::vector<Delivered> all = live;
    for (const Delivered& d : Drive(*recorder, 30, 5))
        all.push_back(d);
    EXPECT_TRUE(recorder->Finished());
    EXPECT_EQ(all.size(), 9u);
    recorder.reset();

    auto replay = LoadReplay(path, error);
    ASSERT_TRUE(replay) << error;
    EXPECT_EQ(Drive(*replay, 30), all);
    std::remove(path.c_str());
}

TEST(Recorder, FailsWhenTheFileCannotBeCreated) {
    std::string error;
    auto inner = ReplayFromText("", error);
    ASSERT_TRUE(inner);
    const std::string path = TempPath("no/such/folder/rec.replay");
    EXPECT_FALSE(RecordTo(std::move(inner), path, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
}
