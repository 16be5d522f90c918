#include "resources/FileAccess.h"

#include "support/TempDirTest.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>

namespace {
using RawFileTest = testsupport::TempDirTest;
}

TEST_F(RawFileTest, ReadModeNeedsAnExistingRegularFile) {
    EXPECT_EQ(RawOpen("missing", kRawRead), 0);
    EXPECT_EQ(RawOpen("missing", kRawReadWrite), 0);
    std::filesystem::create_directory("folder");
    EXPECT_EQ(RawOpen("folder", kRawRead), 0);
    EXPECT_EQ(RawOpen(nullptr, kRawRead), 0);
    EXPECT_EQ(RawOpen("", kRawRead), 0);
    WriteText("x", "x");
    EXPECT_EQ(RawOpen("x", 3), 0);
    EXPECT_EQ(RawOpen("x", -1), 0);
}

TEST_F(RawFileTest, ReadingModesFindNamesWithoutRegardToCase) {
    WriteText("Data/Room.LST", "rooms");
    RawHandle h = RawOpen("DATA\\ROOM.lst", kRawRead);
    ASSERT_NE(h, 0);
    char buffer[5];
    EXPECT_EQ(RawRead(h, buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "rooms");
    EXPECT_EQ(RawClose(h), 1);
    h = RawOpen("data\\room.lst", kRawReadWrite);
    ASSERT_NE(h, 0);
    EXPECT_EQ(RawClose(h), 1);
}

TEST_F(RawFileTest, WriteModeCreatesWithoutTruncating) {
    RawHandle h = RawOpen("new.sav", kRawWrite);
    ASSERT_NE(h, 0);
    EXPECT_EQ(::write(static_cast<int>(h - 1), "abcdef", 6), 6);
    EXPECT_EQ(RawClose(h), 1);
    EXPECT_EQ(ReadText("new.sav"), "abcdef");
    h = RawOpen("new.sav", kRawWrite);
    ASSERT_NE(h, 0);
    EXPECT_EQ(RawSize(h), 6);
    EXPECT_EQ(RawClose(h), 1);
    EXPECT_EQ(ReadText("new.sav"), "abcdef");
}

TEST_F(RawFileTest, WritingModesAreNotShared) {
    WriteText("f", "content");
    RawHandle first = RawOpen("f", kRawReadWrite);
    ASSERT_NE(first, 0);
    EXPECT_EQ(RawOpen("f", kRawReadWrite), 0);
    EXPECT_EQ(RawOpen("f", kRawWrite), 0);
    RawHandle reader = RawOpen("f", kRawRead); // reading is shared
    EXPECT_NE(reader, 0);
    EXPECT_EQ(RawClose(reader), 1);
    EXPECT_EQ(RawClose(first), 1);
    RawHandle again = RawOpen("f", kRawWrite);
    EXPECT_NE(again, 0);
    EXPECT_EQ(RawOpen("f", kRawReadWrite), 0);
    EXPECT_EQ(RawClose(again), 1);
}

TEST_F(RawFileTest, ReadsAreAllOrNothing) {
    WriteText("f", "0123456789");
    RawHandle h = RawOpen("f", kRawRead);
    ASSERT_NE(h, 0);
    char buffer[16];
    EXPECT_EQ(RawRead(h, buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(RawRead(h, buffer, 0), 0);
    EXPECT_EQ(RawRead(h, buffer, 7), -1); // 6 left
    EXPECT_EQ(RawRead(h, buffer, -1), -1);
    EXPECT_EQ(RawSeek(h, 4, 0), 1);
    EXPECT_EQ(RawRead(h, buffer, 6), 6);
    EXPECT_EQ(RawRead(h, buffer, 1), -1);
    EXPECT_EQ(RawClose(h), 1);
}

TEST_F(RawFileTest, SeekTellAndSize) {
    WriteText("f", "0123456789");
    RawHandle h = RawOpen("f", kRawRead);
    ASSERT_NE(h, 0);
    EXPECT_EQ(RawSeek(h, 3, 0), 1);
    EXPECT_EQ(RawTell(h), 3);
    EXPECT_EQ(RawSize(h), 10);
    EXPECT_EQ(RawTell(h), 3); // the position is kept
    EXPECT_EQ(RawSeek(h, 2, 1), 1);
    EXPECT_EQ(RawTell(h), 5);
    EXPECT_EQ(RawSeek(h, -3, 2), 1);
    EXPECT_EQ(RawTell(h), 7);
    EXPECT_EQ(RawSeek(h, -8, 1), 0); // before the start
    EXPECT_EQ(RawTell(h), 7);
    EXPECT_EQ(RawSeek(h, 0, 3), 0);  // other origin
    EXPECT_EQ(RawSeek(h, 20, 0), 1); // past the end is allowed; reads then fail
    EXPECT_EQ(RawTell(h), 20);
    char c;
    EXPECT_EQ(RawRead(h, &c, 1), -1);
    EXPECT_EQ(RawClose(h), 1);
}

TEST_F(RawFileTest, InvalidHandlesFail) {
    char c;
    for (RawHandle h : {RawHandle{0}, RawHandle{-5}}) {
        EXPECT_EQ(RawRead(h, &c, 1), -1);
        EXPECT_EQ(RawClose(h), 0);
        EXPECT_EQ(RawSeek(h, 0, 0), 0);
        EXPECT_EQ(RawTell(h), -1);
        EXPECT_EQ(RawSize(h), -1);
    }
}
