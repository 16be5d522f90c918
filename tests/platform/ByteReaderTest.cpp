#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include <gtest/gtest.h>

#include <array>

using platform::ByteReader;

TEST(ByteReader, ReadsLittleEndianFields) {
    const std::array<uint8_t, 11> data{0x01, 0x34, 0x12, 0x78, 0x56, 0x34,
                                       0x12, 0xFE, 0xFF, 'a',  0};
    ByteReader r(data);
    EXPECT_EQ(r.U8(), 0x01);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.U32(), 0x12345678u);
    EXPECT_EQ(r.I16(), -2);
    EXPECT_EQ(r.CString(), "a");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.Failed());
}

TEST(ByteReader, ReadPastTheEndFailsAndStaysFailed) {
    const std::array<uint8_t, 3> data{1, 2, 3};
    ByteReader r(data);
    EXPECT_EQ(r.U16(), 0x0201);
    EXPECT_EQ(r.U16(), 0); // only one byte left
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(r.U8(), 0); // the failure is sticky, even though a byte remains
    EXPECT_EQ(r.Tell(), 2u);
}

TEST(ByteReader, SeekSkipAndBytesAreBounded) {
    const std::array<uint8_t, 4> data{1, 2, 3, 4};
    ByteReader r(data);
    EXPECT_TRUE(r.Seek(4)); // the end itself is a valid position
    EXPECT_TRUE(r.AtEnd());
    EXPECT_TRUE(r.Seek(1));
    EXPECT_EQ(r.Bytes(3).size(), 3u);
    ByteReader s(data);
    EXPECT_TRUE(s.Bytes(5).empty());
    EXPECT_TRUE(s.Failed());
    ByteReader t(data);
    EXPECT_FALSE(t.Seek(5));
    ByteReader u(data);
    EXPECT_TRUE(u.Skip(2));
    EXPECT_FALSE(u.Skip(SIZE_MAX)); // no wrap-around of pos + count
}

TEST(ByteReader, CStringWithoutTerminatorFails) {
    const std::array<uint8_t, 3> data{'a', 'b', 'c'};
    ByteReader r(data);
    EXPECT_EQ(r.CString(), "");
    EXPECT_TRUE(r.Failed());
    ByteReader empty{};
    EXPECT_EQ(empty.CString(), "");
    EXPECT_TRUE(empty.Failed());
}

TEST(ByteReader, RandomAccessHelpers) {
    const std::array<uint8_t, 6> data{0, 0, 0x10, 0x20, 0x30, 0x40};
    uint32_t v32 = 0;
    uint16_t v16 = 0;
    EXPECT_TRUE(ByteReader::U32At(data, 2, v32));
    EXPECT_EQ(v32, 0x40302010u);
    EXPECT_FALSE(ByteReader::U32At(data, 3, v32));
    EXPECT_TRUE(ByteReader::U16At(data, 4, v16));
    EXPECT_EQ(v16, 0x4030);
    EXPECT_FALSE(ByteReader::U16At(data, SIZE_MAX, v16));
}

TEST(ByteWriter, WritesWhatTheReaderReadsAndPatchesInPlace) {
    platform::ByteWriter w;
    w.U8(0xAB);
    w.I16(-2);
    w.Reserve(4); // a size filled in later
    w.I32(-123456);
    w.Bytes(std::array<uint8_t, 2>{'o', 'k'});
    w.PatchU32(3, static_cast<uint32_t>(w.Size()));
    const std::vector<uint8_t> bytes = w.Take();
    ByteReader r(bytes);
    EXPECT_EQ(r.U8(), 0xAB);
    EXPECT_EQ(r.I16(), -2);
    EXPECT_EQ(r.U32(), 13u);
    EXPECT_EQ(r.I32(), -123456);
    EXPECT_EQ(r.U16(), 'o' | ('k' << 8));
    EXPECT_TRUE(r.AtEnd());
}
