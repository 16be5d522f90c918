// Events, the clock, the trace channel and loose-file lookup.
#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "platform/Clock.h"
#include "platform/Event.h"
#include "platform/Files.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

using namespace platform;
using testing_support::TempDir;

TEST(Event, ManualResetStaysSetAutoResetIsConsumed) {
    Event manual(true, false);
    EXPECT_FALSE(manual.TryWait());
    manual.Set();
    EXPECT_TRUE(manual.TryWait());
    EXPECT_TRUE(manual.TryWait());
    manual.Reset();
    EXPECT_FALSE(manual.Wait(0));

    Event automatic(false, true);
    EXPECT_TRUE(automatic.TryWait());
    EXPECT_FALSE(automatic.TryWait());
}

TEST(Event, WaitTimesOutWhenNothingIsSet) {
    Event e(false, false);
    EXPECT_FALSE(e.Wait(5));
    std::array<Event*, 1> one{&e};
    EXPECT_EQ(WaitForAny(one, 0), kWaitTimeout);
}

TEST(Event, WaitForAnyReturnsTheLowestSetIndex) {
    Event a(false, false), b(true, false), c(false, false);
    std::array<Event*, 3> all{&a, &b, &c};
    c.Set();
    b.Set();
    EXPECT_EQ(WaitForAny(all, 0), 1);
    EXPECT_EQ(WaitForAny(all, 0), 1); // b is manual-reset
    b.Reset();
    EXPECT_EQ(WaitForAny(all, 0), 2);
    EXPECT_EQ(WaitForAny(all, 0), kWaitTimeout); // c was consumed
}

TEST(Event, AnotherThreadWakesAnInfiniteWait) {
    Event done(false, false);
    Event other(false, false);
    std::thread setter([&] { done.Set(); });
    std::array<Event*, 2> both{&other, &done};
    EXPECT_EQ(WaitForAny(both, kInfinite), 1);
    setter.join();
}

TEST(Clock, VirtualClockDrivesNowMs) {
    VirtualClock clock(20, 1000);
    SetClock(&clock);
    EXPECT_EQ(NowMs(), 1000u);
    clock.Advance();
    clock.Advance();
    EXPECT_EQ(NowMs(), 1040u);
    SetClock(nullptr);
    const uint32_t a = NowMs();
    EXPECT_GE(NowMs(), a); // the monotonic clock never goes back
}

TEST(Trace, LinesGoToTheSinkCutAt512Characters) {
    std::vector<std::string> lines;
    TraceToFunction([&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_TRUE(TraceEnabled());
    Trace("Load phase %d: %d\n", 1, 42);
    Trace("%s", std::string(600, 'x').c_str());
    TraceOff();
    Trace("not recorded\n");
    EXPECT_FALSE(TraceEnabled());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Load phase 1: 42\n");
    EXPECT_EQ(lines[1].size(), 512u);
}

TEST(Trace, ToFileWritesLines) {
    TempDir dir;
    ASSERT_TRUE(TraceToFile(dir / "trace.txt"));
    Trace("~QSystem\n");
    TraceOff();
    std::ifstream in(dir / "trace.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "~QSystem");
    EXPECT_FALSE(TraceToFile(dir / "no/such/folder/trace.txt"));
}

TEST(Files, NamesResolveWithoutRegardToCaseAndWithBackslashes) {
    TempDir dir(true);
    dir.Write("speech/Hello.wav", "x");
    dir.Write("Resource.QRC", "y");
    EXPECT_EQ(ResolveDataPath("SPEECH\\HELLO.WAV"), "speech/Hello.wav");
    EXPECT_EQ(ResolveDataPath("resource.qrc"), "Resource.QRC");
    EXPECT_EQ(ResolveDataPath(".\\resource.qrc"), "./Resource.QRC");
    EXPECT_EQ(ResolveDataPath(dir / "SPEECH/hello.WAV"), dir / "speech/Hello.wav");
    EXPECT_EQ(ResolveDataPath("speech\\missing.wav"), "speech/missing.wav");
    EXPECT_EQ(ResolveDataPath(""), "");
}
