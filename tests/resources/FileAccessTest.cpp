#include "resources/FileAccess.h"

#include "support/Archives.h"
#include "support/TempDirTest.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using testsupport::ArchiveImage;
using testsupport::RawArchive;

namespace {

class FileAccessTest : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        CloseArchives();
        ResetFileTable();
    }
    void TearDown() override {
        CloseArchives();
        ResetFileTable();
        TempDirTest::TearDown();
    }

    static void MakeArchive(const std::string& name, const testsupport::Members& members) {
        WriteBytes(name, ArchiveImage(members));
    }

    // The whole content behind a handle, read from its current position in `step`-byte reads.
    static std::string ReadRest(int32_t handle, int32_t step = 1) {
        std::string out;
        int32_t size = FileSize(handle);
        int32_t pos = FileTell(handle);
        while (pos < size) {
            int32_t n = std::min(step, size - pos);
            std::string chunk(static_cast<size_t>(n), '\0');
            if (FileRead(handle, chunk.data(), n) != n) return out + "<read failed>";
            out += chunk;
            pos += n;
        }
        return out;
    }

    static std::string OpenAndRead(const char* name) {
        int32_t h = FileOpen(name);
        if (h < 0) return "<missing>";
        std::string s = ReadRest(h, 3);
        FileClose(h);
        return s;
    }
};

} // namespace

// --- Lookup order, names and limits ---------------------------------------------------------

TEST_F(FileAccessTest, TrailingBlanksAndLineEndsAreIgnored) {
    MakeArchive("main.str", {{"room.lst", "archived"}});
    WriteText("loose.txt", "loose");
    ASSERT_EQ(OpenArchive("main.str"), 0);
    for (const char* name : {"room.lst", "room.lst ", "room.lst\r\n", "room.lst\t \n"})
        EXPECT_EQ(OpenAndRead(name), "archived") << name;
    for (const char* name : {"loose.txt  ", "loose.txt\n", "loose.txt\r\n"})
        EXPECT_EQ(OpenAndRead(name), "loose") << name;
    // Leading blanks are part of the name.
    EXPECT_EQ(FileOpen(" room.lst"), -1);
}

TEST_F(FileAccessTest, ArchiveNamesIgnoreCase) {
    MakeArchive("main.str", {{"resource.qrc", "qrc"}, {"SPEECH\\A01.WAV", "wav"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    EXPECT_EQ(OpenAndRead("Resource.QRC"), "qrc");
    EXPECT_EQ(OpenAndRead("RESOURCE.QRC"), "qrc");
    EXPECT_EQ(OpenAndRead("speech\\a01.wav"), "wav");
    // Path parts are compared as they are: "/" is not "\".
    EXPECT_EQ(FileOpen("SPEECH/A01.WAV"), -1);
    EXPECT_EQ(FileOpen("A01.WAV"), -1);
    EXPECT_EQ(FileOpen("resource.qr"), -1);
}

TEST_F(FileAccessTest, LooseFileOverridesTheArchives) {
    MakeArchive("main.str", {{"resource.qrc", "archived"}});
    WriteText("resource.qrc", "loose");
    ASSERT_EQ(OpenArchive("main.str"), 0);
    int32_t h = FileOpen("Resource.QRC");
    ASSERT_GE(h, kLooseFileBase);
    EXPECT_EQ(ReadRest(h), "loose");
    FileClose(h);
}

TEST_F(FileAccessTest, LooseFileInAFolderIsFoundWithBackslashesAndAnyCase) {
    WriteText("speech/a01.wav", "loose wave");
    int32_t h = FileOpen("SPEECH\\A01.WAV");
    ASSERT_GE(h, kLooseFileBase);
    EXPECT_EQ(ReadRest(h), "loose wave");
    FileClose(h);
}

TEST_F(FileAccessTest, EntryInBothArchivesIsReadFromTheFirstOpened) {
    MakeArchive("patch.str", {{"scene.scr", "patched"}});
    MakeArchive("main.str", {{"other", "o"}, {"SCENE.SCR", "original"}, {"only.main", "m"}});
    ASSERT_EQ(OpenArchive("patch.str"), 0);
    ASSERT_EQ(OpenArchive("main.str"), 1);
    EXPECT_EQ(OpenAndRead("scene.scr"), "patched");
    EXPECT_EQ(OpenAndRead("only.main"), "m");
}

TEST_F(FileAccessTest, FirstOfEqualNamesInOneArchiveWins) {
    MakeArchive("main.str", {{"a", "first"}, {"A", "second"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    EXPECT_EQ(OpenAndRead("a"), "first");
}

TEST_F(FileAccessTest, The1001stOpenEntryFailsWhileLooseFilesStillOpen) {
    MakeArchive("main.str", {{"x", "x"}});
    WriteText("loose", "l");
    ASSERT_EQ(OpenArchive("main.str"), 0);
    for (int32_t i = 0; i < kMaxOpenEntries; ++i)
        ASSERT_EQ(FileOpen("x"), i);
    EXPECT_EQ(FileOpen("x"), -1);
    int32_t loose = FileOpen("loose");
    EXPECT_GE(loose, kLooseFileBase);
    EXPECT_EQ(FileReadByte(loose), 'l');
    FileClose(loose);
    // A closed slot is used again.
    FileClose(417);
    EXPECT_EQ(FileOpen("x"), 417);
    ResetFileTable();
    EXPECT_EQ(FileOpen("x"), 0);
}

TEST_F(FileAccessTest, FileSizeOfAnEntryIsItsDirectorySize) {
    MakeArchive("main.str", {{"short", "12345"}, {"next", "6789"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    int32_t h = FileOpen("short");
    ASSERT_GE(h, 0);
    EXPECT_EQ(FileSize(h), 5);
    FileClose(h);
}

TEST_F(FileAccessTest, ShortReadOfALooseFileFails) {
    WriteText("data.bin", "0123456789ABCD"); // 14 bytes
    int32_t h = FileOpen("data.bin");
    ASSERT_GE(h, kLooseFileBase);
    EXPECT_EQ(FileSeek(h, 10, 0), 10);
    char buffer[10];
    EXPECT_EQ(FileRead(h, buffer, 10), -1);
    FileClose(h);
}

TEST_F(FileAccessTest, The51stArchiveIsRefused) {
    MakeArchive("main.str", {{"x", "x"}});
    for (int i = 0; i < kMaxArchives; ++i)
        ASSERT_EQ(OpenArchive("main.str"), i);
    EXPECT_EQ(OpenArchive("main.str"), -1);
    CloseArchives();
    EXPECT_EQ(OpenArchive("main.str"), 0);
}

// --- Mended behaviour ----------------------------------------------------------------------

TEST_F(FileAccessTest, ReadingPastTheEndOfAnEntryFailsAndReadsNothing) {
    MakeArchive("main.str", {{"a", "abcde"}, {"b", "FGHIJ"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    int32_t h = FileOpen("a");
    ASSERT_GE(h, 0);
    char buffer[8];
    std::memset(buffer, '.', sizeof buffer);
    EXPECT_EQ(FileRead(h, buffer, 6), -1);
    EXPECT_EQ(std::string(buffer, 8), "........");
    EXPECT_EQ(FileTell(h), 0);
    EXPECT_EQ(FileRead(h, buffer, 3), 3);
    EXPECT_EQ(FileRead(h, buffer, 3), -1);
    EXPECT_EQ(FileTell(h), 3);
    EXPECT_EQ(FileRead(h, buffer + 3, 2), 2);
    EXPECT_EQ(std::string(buffer, 5), "abcde");
    EXPECT_EQ(FileRead(h, buffer, 0), 0);
    EXPECT_EQ(FileReadByte(h), 0); // at the end: a failed read
    EXPECT_EQ(FileRead(h, buffer, 1), -1);
    FileClose(h);
}

TEST_F(FileAccessTest, SeekWithinAnEntry) {
    MakeArchive("main.str", {{"pad", "zz"}, {"a", "0123456789"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    int32_t h = FileOpen("a");
    ASSERT_GE(h, 0);
    EXPECT_EQ(FileSeek(h, 4, 0), 4);
    EXPECT_EQ(FileReadByte(h), '4');
    EXPECT_EQ(FileSeek(h, 2, 1), 7);
    EXPECT_EQ(FileReadByte(h), '7');
    EXPECT_EQ(FileSeek(h, -8, 1), 0);
    EXPECT_EQ(FileSeek(h, 3, 2), 7); // counted back from the end
    EXPECT_EQ(FileReadByte(h), '7');
    EXPECT_EQ(FileSeek(h, 0, 2), 10);
    EXPECT_EQ(FileReadByte(h), 0);
    // Failures leave the position alone.
    EXPECT_EQ(FileSeek(h, -1, 0), -1);
    EXPECT_EQ(FileSeek(h, -11, 1), -1);
    EXPECT_EQ(FileSeek(h, 11, 2), -1);
    EXPECT_EQ(FileSeek(h, 0, 3), -1);
    EXPECT_EQ(FileSeek(h, 0, -1), -1);
    EXPECT_EQ(FileSeek(h, INT32_MAX, 0), INT32_MAX);
    EXPECT_EQ(FileSeek(h, INT32_MAX, 1), -1);
    EXPECT_EQ(FileSeek(h, INT32_MIN, 2), -1);
    EXPECT_EQ(FileTell(h), INT32_MAX);
    char c;
    EXPECT_EQ(FileRead(h, &c, 1), -1); // past the end
    EXPECT_EQ(FileSeek(h, 9, 0), 9);
    EXPECT_EQ(FileReadByte(h), '9');
    FileClose(h);
}

TEST_F(FileAccessTest, SeekTellAndSizeOfALooseFile) {
    WriteText("f", "0123456789");
    int32_t h = FileOpen("f");
    ASSERT_GE(h, kLooseFileBase);
    EXPECT_EQ(FileSize(h), 10);
    EXPECT_EQ(FileTell(h), 0);
    EXPECT_EQ(FileSeek(h, 6, 0), 6);
    EXPECT_EQ(FileSize(h), 10);
    EXPECT_EQ(FileTell(h), 6);
    EXPECT_EQ(FileSeek(h, -2, 1), 4);
    EXPECT_EQ(FileReadByte(h), '4');
    EXPECT_EQ(FileSeek(h, -1, 2), 9); // origin 2 adds to the end, as the system does
    EXPECT_EQ(FileReadByte(h), '9');
    EXPECT_EQ(FileSeek(h, -20, 1), -1);
    EXPECT_EQ(FileSeek(h, 0, 7), -1);
    EXPECT_EQ(FileTell(h), 10);
    EXPECT_EQ(FileReadByte(h), 0);
    FileClose(h);
}

TEST_F(FileAccessTest, NegativeHandles) {
    char buffer[4];
    EXPECT_EQ(FileRead(-1, buffer, 4), 0);
    EXPECT_EQ(FileReadByte(-1), -1);
    EXPECT_EQ(FileSeek(-1, 0, 0), -1);
    EXPECT_EQ(FileTell(-1), -1);
    EXPECT_EQ(FileSize(-1), -1);
    FileClose(-1);
    FileClose(INT32_MIN);
}

TEST_F(FileAccessTest, FreeSlotsAndBadArgumentsFail) {
    MakeArchive("main.str", {{"a", "abc"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    char buffer[4];
    EXPECT_EQ(FileRead(5, buffer, 1), -1);
    EXPECT_EQ(FileReadByte(5), 0);
    EXPECT_EQ(FileSeek(5, 0, 0), -1);
    EXPECT_EQ(FileTell(5), -1);
    EXPECT_EQ(FileSize(5), -1);
    FileClose(5);
    int32_t h = FileOpen("a");
    ASSERT_GE(h, 0);
    EXPECT_EQ(FileRead(h, buffer, -1), -1);
    EXPECT_EQ(FileRead(h, nullptr, 1), -1);
    EXPECT_EQ(FileTell(h), 0);
}

TEST_F(FileAccessTest, MissingAndEmptyNames) {
    MakeArchive("main.str", {{"a", "abc"}});
    EXPECT_EQ(FileOpen("a"), -1); // no archive open
    ASSERT_EQ(OpenArchive("main.str"), 0);
    EXPECT_EQ(FileOpen(nullptr), -1);
    EXPECT_EQ(FileOpen(""), -1);
    EXPECT_EQ(FileOpen(" \r\n"), -1);
    EXPECT_EQ(FileOpen("b"), -1);
    EXPECT_EQ(OpenArchive(nullptr), -1);
    EXPECT_EQ(OpenArchive("missing.str"), -1);
}

TEST_F(FileAccessTest, AFolderIsNotALooseFile) {
    MakeArchive("main.str", {{"speech", "archived"}});
    std::filesystem::create_directory("speech");
    ASSERT_EQ(OpenArchive("main.str"), 0);
    EXPECT_EQ(OpenAndRead("SPEECH"), "archived");
}

TEST_F(FileAccessTest, InterleavedReadsOfTwoEntriesOfOneArchive) {
    MakeArchive("main.str", {{"a", "abcdefgh"}, {"b", "01234567"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    int32_t a = FileOpen("a");
    int32_t b = FileOpen("b");
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    std::string got;
    for (int i = 0; i < 8; ++i) {
        got += static_cast<char>(FileReadByte(a));
        got += static_cast<char>(FileReadByte(b));
    }
    EXPECT_EQ(got, "a0b1c2d3e4f5g6h7");
    FileClose(a);
    FileClose(b);
}

TEST_F(FileAccessTest, CloseArchivesLeavesSlotsThatNoLongerRead) {
    MakeArchive("main.str", {{"a", "abc"}});
    ASSERT_EQ(OpenArchive("main.str"), 0);
    int32_t h = FileOpen("a");
    ASSERT_EQ(h, 0);
    CloseArchives();
    CloseArchives(); // a second call finds no archives
    char c;
    EXPECT_EQ(FileRead(h, &c, 1), -1);
    EXPECT_EQ(FileSize(h), -1);
    EXPECT_EQ(FileOpen("a"), -1);
    FileClose(h);
    ASSERT_EQ(OpenArchive("main.str"), 0);
    EXPECT_EQ(OpenAndRead("a"), "abc");
}

TEST_F(FileAccessTest, ArchivesAreOpenedReadOnlyAndUnlocked) {
    MakeArchive("main.str", {{"a", "abc"}});
    ASSERT_EQ(::chmod("main.str", 0444), 0);
    // Someone else holding the file exclusively does not keep the game from reading it.
    RawHandle writer = RawOpen("main.str", kRawReadWrite);
    if (::geteuid() != 0) {
        EXPECT_EQ(writer, 0); // not writable for a normal user
    }
    ASSERT_EQ(OpenArchive("main.str"), 0);
    EXPECT_EQ(OpenAndRead("a"), "abc");
    if (writer != 0) RawClose(writer);
}

TEST_F(FileAccessTest, ReadAll) {
    MakeArchive("main.str", {{"a", "archived"}, {"empty", ""}});
    WriteText("loose", "loose bytes");
    ASSERT_EQ(OpenArchive("main.str"), 0);
    std::vector<uint8_t> data{1, 2, 3};
    ASSERT_TRUE(FileReadAll("A\r\n", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "archived");
    ASSERT_TRUE(FileReadAll("loose", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "loose bytes");
    ASSERT_TRUE(FileReadAll("empty", data));
    EXPECT_TRUE(data.empty());
    data = {9};
    EXPECT_FALSE(FileReadAll("missing", data));
    EXPECT_EQ(data, std::vector<uint8_t>{9});
    // Handles were closed: all 1000 slots are still free.
    for (int32_t i = 0; i < kMaxOpenEntries; ++i)
        ASSERT_EQ(FileOpen("a"), i);
}

// --- Malformed archives ----------------------------------------------------------------------

TEST_F(FileAccessTest, MalformedArchivesAreRefused) {
    const std::string one("a\0", 2);
    const std::vector<std::vector<uint8_t>> bad{
        {},                                                        // empty file
        RawArchive("StOr", 12, "data", 1, {{8, 4}}, one),          // bad magic
        RawArchive("StOR", 4, "data", 1, {{8, 4}}, one),           // directory in the header
        RawArchive("StOR", 0xFFFFFFF0, "data", 1, {{8, 4}}, one),  // directory negative
        RawArchive("StOR", 31, "data", 1, {{8, 4}}, one),          // directory past the end
        RawArchive("StOR", 12, "data", 2, {{8, 4}}, one),          // more entries than bytes
        RawArchive("StOR", 12, "data", 0x80000000, {{8, 4}}, one), // negative count
        RawArchive("StOR", 12, "data", 1, {{4, 4}}, one),          // data in the header
        RawArchive("StOR", 12, "data", 1, {{9, 4}}, one),          // data into the directory
        RawArchive("StOR", 12, "data", 1, {{9, 0xFFFFFFFF}}, one), // wraps around
        RawArchive("StOR", 12, "data", 2, {{8, 1}, {9, 1}}, std::string("a\0bbbbbbbbbbbbbbbb", 18)),
    };
    ASSERT_TRUE(std::filesystem::exists(".")); // the images are written in the temp folder
    for (size_t i = 0; i < bad.size(); ++i) {
        WriteBytes("bad.str", bad[i]);
        EXPECT_EQ(OpenArchive("bad.str"), -1) << "image " << i;
    }
    // Nothing was registered by the failures.
    WriteBytes("good.str", RawArchive("StOR", 12, "data", 1, {{8, 4}}, one));
    EXPECT_EQ(OpenArchive("good.str"), 0);
    EXPECT_EQ(OpenAndRead("a"), "data");
}

TEST_F(FileAccessTest, EveryTruncationOfAValidArchiveIsRefused) {
    auto image = ArchiveImage({{"resource.qrc", "qrc data"}, {"SPEECH\\A.WAV", "wave"}});
    WriteBytes("full.str", image);
    ASSERT_EQ(OpenArchive("full.str"), 0);
    CloseArchives();
    for (size_t length = 0; length < image.size(); ++length) {
        WriteBytes("cut.str", std::vector<uint8_t>(image.begin(), image.begin() + length));
        ASSERT_EQ(OpenArchive("cut.str"), -1) << "length " << length;
    }
}

// --- Threads -----------------------------------------------------------------------------------

TEST_F(FileAccessTest, ThreadsReadingDifferentEntriesOfOneArchiveGetTheirOwnBytes) {
    // Two large entries with distinct patterns, read in small pieces by two threads at once,
    // so that their seeks and reads of the one archive file interleave.
    const size_t size = 64 * 1024;
    std::string a(size, '\0'), b(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        a[i] = static_cast<char>(i * 7 + 1);
        b[i] = static_cast<char>(i * 13 + 5);
    }
    MakeArchive("main.str", {{"music\\a.wav", a}, {"music\\b.wav", b}});
    ASSERT_EQ(OpenArchive("main.str"), 0);

    std::atomic<int> failures{0};
    auto reader = [&failures](const char* name, const std::string* expected) {
        for (int round = 0; round < 4; ++round) {
            int32_t h = FileOpen(name);
            if (h < 0 || FileSize(h) != static_cast<int32_t>(expected->size())) {
                ++failures;
                return;
            }
            std::string got;
            char chunk[37];
            int32_t left = FileSize(h);
            while (left > 0) {
                int32_t n = std::min<int32_t>(left, sizeof chunk);
                if (FileRead(h, chunk, n) != n) {
                    ++failures;
                    break;
                }
                got.append(chunk, static_cast<size_t>(n));
                left -= n;
            }
            if (got != *expected) ++failures;
            if (FileSeek(h, 100, 0) != 100 ||
                FileReadByte(h) != static_cast<uint8_t>((*expected)[100]))
                ++failures;
            FileClose(h);
        }
    };
    std::thread first(reader, "music\\a.wav", &a);
    std::thread second(reader, "MUSIC\\B.WAV", &b);
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
}
