#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "platform/Trace.h"

using namespace platform;

namespace {

struct Shown {
    std::string text;
    std::string caption;
    friend bool operator==(const Shown&, const Shown&) = default;
};

// Captures boxes and trace lines for one test and puts the defaults back afterwards.
class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxMode(MessageBoxMode::Headless);
        SetMessageBoxCapture([this](const std::string& text, const std::string& caption) {
            shown_.push_back({text, caption});
        });
        TraceToFunction([this](std::string_view line) { traced_.emplace_back(line); });
    }
    void TearDown() override {
        SetMessageBoxCapture(nullptr);
        TraceOff();
    }

    std::vector<Shown> shown_;
    std::vector<std::string> traced_;
};

} // namespace

TEST_F(MessageBoxTest, HeadlessBoxGoesToStderrTraceAndCapture) {
    ::testing::internal::CaptureStderr();
    ShowMessageBox("Resource '   42' not found");
    ShowMessageBox("Invalid Wave file: \"a.wav\"\n", "Walk bug");
    const std::string err = ::testing::internal::GetCapturedStderr();

    const std::vector<Shown> expected = {{"Resource '   42' not found", "Tarvo & VARN"},
                                         {"Invalid Wave file: \"a.wav\"\n", "Walk bug"}};
    EXPECT_EQ(shown_, expected);
    EXPECT_EQ(err, "Tarvo & VARN: Resource '   42' not found\n"
                   "Walk bug: Invalid Wave file: \"a.wav\"\n");
    const std::vector<std::string> traced = {"Tarvo & VARN: Resource '   42' not found\n",
                                             "Walk bug: Invalid Wave file: \"a.wav\"\n"};
    EXPECT_EQ(traced_, traced);
}

TEST_F(MessageBoxTest, Windows1251TextIsShownAsUtf8ButCapturedAsGiven) {
    const std::string cp1251 = "\xCD\xE5\xF2 \xF4\xE0\xE9\xEB\xE0"; // "Нет файла"
    ::testing::internal::CaptureStderr();
    ShowMessageBox(cp1251, "");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "\xD0\x9D\xD0\xB5\xD1\x82 \xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB\xD0\xB0\n");
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, cp1251);
}

TEST_F(MessageBoxTest, ClearedCaptureIsNoLongerCalled) {
    SetMessageBoxCapture(nullptr);
    ::testing::internal::CaptureStderr();
    ShowMessageBox("after");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Tarvo & VARN: after\n");
    EXPECT_TRUE(shown_.empty());
}
