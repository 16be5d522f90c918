// The audio device as the sound engine uses it (the tests run with SDL's dummy driver, which
// pulls at the pace of a real device).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/AudioOutput.h"

TEST(AudioOutput, PullsStereoFramesUntilClosed) {
    std::atomic<int> pulls{0};
    std::atomic<size_t> frames{0};
    std::string error;
    auto output = platform::AudioOutput::Open(
        [&](int16_t* samples, size_t count) {
            for (size_t i = 0; i < 2 * count; ++i)
                samples[i] = 0;
            frames = count;
            ++pulls;
        },
        error);
    if (!output) GTEST_SKIP() << "no audio device: " << error;
    // Waits (up to a generous limit) for the device's thread to pull twice.
    for (int i = 0; i < 500 && pulls < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(pulls.load(), 2);
    EXPECT_GT(frames.load(), 0u);
    EXPECT_FALSE(output->DeviceName().empty());
    output.reset();
    const int after = pulls;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(pulls.load(), after); // closed: no pull runs any more
}
