#include "resources/ArchiveFormat.h"

#include "support/Archives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using resources::ArchiveEntry;
using resources::ParseArchive;
using testsupport::ArchiveImage;
using testsupport::RawArchive;

namespace {

std::string Content(const std::vector<uint8_t>& image, const ArchiveEntry& e) {
    return std::string(image.begin() + e.offset, image.begin() + e.offset + e.size);
}

bool Parses(const std::vector<uint8_t>& image, std::string* why = nullptr) {
    std::vector<ArchiveEntry> entries;
    return ParseArchive(image, entries, why);
}

} // namespace

TEST(ArchiveFormat, WriterLaysOutTheDocumentedFormat) {
    auto image = ArchiveImage({{"ab", "xyz"}, {"SPEECH\\C", ""}});
    const std::string expected = std::string("StOR") + std::string("\x0B\0\0\0", 4) + "xyz" +
                                 std::string("\x02\0\0\0", 4) +                    // N
                                 std::string("\0\0\0\0\x08\0\0\0\x03\0\0\0", 12) + // ab
                                 std::string("\0\0\0\0\x0B\0\0\0\0\0\0\0", 12) +   // SPEECH\C
                                 std::string("ab\0SPEECH\\C\0", 12);
    EXPECT_EQ(std::string(image.begin(), image.end()), expected);
}

TEST(ArchiveFormat, RoundTrip) {
    auto image = ArchiveImage({{"resource.qrc", "hello"}, {"SPEECH\\A.WAV", "wave"}, {"e", ""}});
    std::vector<ArchiveEntry> entries;
    ASSERT_TRUE(ParseArchive(image, entries));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "resource.qrc");
    EXPECT_EQ(Content(image, entries[0]), "hello");
    EXPECT_EQ(entries[1].name, "SPEECH\\A.WAV");
    EXPECT_EQ(Content(image, entries[1]), "wave");
    EXPECT_EQ(entries[2].name, "e");
    EXPECT_EQ(entries[2].size, 0u);
}

TEST(ArchiveFormat, EmptyArchiveIsValid) {
    auto image = ArchiveImage({});
    EXPECT_EQ(image.size(), 12u);
    std::vector<ArchiveEntry> entries{{"x", 0, 0}};
    ASSERT_TRUE(ParseArchive(image, entries));
    EXPECT_TRUE(entries.empty());
}

TEST(ArchiveFormat, EntriesMayLieAnywhereInTheDataAreaAndTrailingBytesAreIgnored) {
    // Two entries sharing bytes, in reverse order, and junk after the names.
    auto image =
        RawArchive("StOR", 14, "abcdef", 2, {{11, 3}, {8, 6}}, std::string("x\0y\0junk", 8));
    std::vector<ArchiveEntry> entries;
    ASSERT_TRUE(ParseArchive(image, entries));
    EXPECT_EQ(Content(image, entries[0]), "def");
    EXPECT_EQ(Content(image, entries[1]), "abcdef");
}

TEST(ArchiveFormat, WriterRefusesNamesWithNul) {
    std::vector<resources::ArchiveMember> members{{std::string("a\0b", 3), {}}};
    std::vector<uint8_t> image;
    std::string why;
    EXPECT_FALSE(resources::BuildArchive(members, image, &why));
    EXPECT_FALSE(why.empty());
}

TEST(ArchiveFormat, RefusesBadMagicAndShortFiles) {
    std::string why;
    EXPECT_FALSE(Parses(RawArchive("StOr", 8, "", 0, {}, ""), &why));
    EXPECT_NE(why.find("magic"), std::string::npos) << why;
    EXPECT_FALSE(Parses({}));
    EXPECT_FALSE(Parses({'S', 't', 'O', 'R'}));
}

TEST(ArchiveFormat, RefusesDirectoryOffsetsOutsideTheFile) {
    const std::string names("a\0", 2);
    for (uint32_t d : {0u, 4u, 7u, 30u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        auto image = RawArchive("StOR", d, "data", 1, {{8, 4}}, names);
        EXPECT_FALSE(Parses(image)) << d;
    }
    // The count itself must fit: D at the last 3 bytes.
    auto image = RawArchive("StOR", 8, "", 0, {}, "");
    image.resize(11);
    EXPECT_FALSE(Parses(image));
}

TEST(ArchiveFormat, RefusesEntryCountsTheDirectoryCannotHold) {
    const std::string names("a\0b\0", 4);
    EXPECT_TRUE(Parses(RawArchive("StOR", 8, "", 2, {{8, 0}, {8, 0}}, names)));
    for (uint32_t n : {3u, 1000u, 0x15555555u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::string why;
        EXPECT_FALSE(Parses(RawArchive("StOR", 8, "", n, {{8, 0}, {8, 0}}, names), &why)) << n;
        EXPECT_NE(why.find("count"), std::string::npos) << why;
    }
}

TEST(ArchiveFormat, RefusesEntriesOutsideTheDataArea) {
    const std::string names("a\0", 2);
    const std::vector<testsupport::RawEntry> bad{
        {0, 1},          // inside the header
        {7, 1},          // overlaps the header
        {8, 5},          // runs into the directory
        {12, 1},         // starts at the directory
        {9, 0xFFFFFFFF}, // wraps around 32 bits
        {0xFFFFFFFF, 2}, // wraps around 32 bits
        {0x80000000, 0}, // negative as int32
    };
    for (const auto& e : bad) {
        std::string why;
        EXPECT_FALSE(Parses(RawArchive("StOR", 12, "data", 1, {e}, names), &why))
            << e.offset << " " << e.size;
        EXPECT_NE(why.find("data area"), std::string::npos) << why;
    }
    EXPECT_TRUE(Parses(RawArchive("StOR", 12, "data", 1, {{8, 4}}, names)));
    EXPECT_TRUE(Parses(RawArchive("StOR", 12, "data", 1, {{12, 0}}, names)));
}

TEST(ArchiveFormat, RefusesFewerNamesThanEntries) {
    // Enough bytes for the count check, but the second name has no NUL.
    std::string why;
    EXPECT_FALSE(Parses(
        RawArchive("StOR", 8, "", 2, {{8, 0}, {8, 0}}, std::string("a\0bcdefghijklmnop", 17)),
        &why));
    EXPECT_NE(why.find("names"), std::string::npos) << why;
}

TEST(ArchiveFormat, EveryTruncationOfAValidArchiveIsRefused) {
    auto image = ArchiveImage({{"one", "1111"}, {"SPEECH\\TWO", "22"}});
    ASSERT_TRUE(Parses(image));
    for (size_t length = 0; length < image.size(); ++length) {
        std::vector<uint8_t> cut(image.begin(), image.begin() + length);
        EXPECT_FALSE(Parses(cut)) << length;
    }
}

TEST(ArchiveFormat, AnyCorruptionGivesEntriesInsideTheFileOrARefusal) {
    auto image = ArchiveImage({{"one", "1111"}, {"two", "22"}, {"three", ""}});
    for (size_t at = 0; at < image.size(); ++at) {
        for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            auto bad = image;
            bad[at] = value;
            std::vector<ArchiveEntry> entries;
            if (!ParseArchive(bad, entries)) continue;
            for (const ArchiveEntry& e : entries) {
                EXPECT_GE(e.offset, 8u);
                EXPECT_LE(uint64_t{e.offset} + e.size, bad.size());
            }
        }
    }
}
