#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include "Support/StreamBytes.h"

#include <cstring>
#include <vector>

using TestSupport::BytesOf;
using TestSupport::Loading;

TEST(CTQDataStream, ModeFlagBitTwoMeansStoring)
{
    EXPECT_TRUE(CTQDataStream(CTQDataStream::eStoring).IsStoring());
    EXPECT_EQ(CTQDataStream(CTQDataStream::eStoring).GetFlags() & 2, 2);
    EXPECT_TRUE(CTQDataStream(CTQDataStream::eLoading).IsLoading());
}

TEST(CTQDataStream, TypedValuesAreLittleEndianOfTheirWidth)
{
    CTQDataStream s;
    s.Write<std::int32_t>(0x01020304);
    s.Write<std::uint16_t>(0xA0B0);
    s.Write(true);
    s.Write(1.0f);
    s.Write(2.0);
    const std::vector<std::uint8_t> expected = {0x04, 0x03, 0x02, 0x01, 0xB0, 0xA0, 0x01, 0x00, 0x00, 0x80, 0x3F,
                                                0,    0,    0,    0,    0,    0,    0,    0x40};
    EXPECT_EQ(BytesOf(s), expected);
}

TEST(CTQDataStream, BracketIsVersionThenContentLength)
{
    CTQDataStream s;
    EXPECT_EQ(s.SerializeBegin(0x100), 0x100);
    s.Write<std::int32_t>(7);
    s.Write<std::uint8_t>(9);
    s.SerializeEnd();
    const std::vector<std::uint8_t> expected = {0x00, 0x01, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0, 9};
    EXPECT_EQ(BytesOf(s), expected);
}

TEST(CTQDataStream, NestedBracketsEachCountTheirOwnContents)
{
    CTQDataStream s;
    s.SerializeBegin(2);
    s.Write<std::uint8_t>(1);
    s.SerializeBegin(3);
    s.Write<std::uint16_t>(2);
    s.SerializeEnd();
    s.SerializeEnd();
    const std::vector<std::uint8_t> expected = {2, 0, 0, 0, 11, 0, 0, 0, 1, 3, 0, 0, 0, 2, 0, 0, 0, 2, 0};
    EXPECT_EQ(BytesOf(s), expected);
}

TEST(CTQDataStream, LoadingReturnsStoredVersionAndSkipsWhatANewerWriterAppended)
{
    CTQDataStream out;
    out.SerializeBegin(0x101);
    out.Write<std::int32_t>(42);
    out.Write<std::int32_t>(99); // appended by a newer writer
    out.SerializeEnd();
    out.Write<std::int32_t>(5);

    CTQDataStream in = Loading(BytesOf(out));
    EXPECT_EQ(in.SerializeBegin(-1), 0x101);
    std::int32_t v = 0;
    EXPECT_TRUE(in.Read(v));
    EXPECT_EQ(v, 42);
    in.SerializeEnd();
    EXPECT_TRUE(in.Read(v));
    EXPECT_EQ(v, 5);
    EXPECT_FALSE(in.IsFailed());
}

TEST(CTQDataStream, ReadingPastTheEndYieldsZerosAndFails)
{
    CTQDataStream in = Loading({1, 2});
    std::int32_t v = -1;
    EXPECT_FALSE(in.Read(v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(in.IsFailed());
}

TEST(CTQDataStream, ReadingPastTheEndOfABlockFailsWithoutLeavingIt)
{
    CTQDataStream out;
    out.SerializeBegin(1);
    out.Write<std::uint16_t>(0x1234);
    out.SerializeEnd();
    out.Write<std::int32_t>(77);

    CTQDataStream in = Loading(BytesOf(out));
    in.SerializeBegin(-1);
    std::int32_t v = -1;
    EXPECT_FALSE(in.Read(v)); // only two bytes in the block
    EXPECT_EQ(v, 0);          // a value cut short reads as zero
    EXPECT_TRUE(in.IsFailed());
    in.SerializeEnd();
    EXPECT_EQ(in.GetPosition(), 10u);
}

TEST(CTQDataStream, ABlockClaimingMoreThanThereIsFails)
{
    // Version 1, length 1000, but only 4 bytes follow.
    CTQDataStream in = Loading({1, 0, 0, 0, 0xE8, 0x03, 0, 0, 1, 2, 3, 4});
    EXPECT_EQ(in.SerializeBegin(-1), 1);
    EXPECT_TRUE(in.IsFailed());
    std::uint8_t buffer[16];
    EXPECT_FALSE(in.Get(buffer, sizeof buffer));
    in.SerializeEnd();
    EXPECT_EQ(in.GetPosition(), 12u);
}

TEST(CTQDataStream, TruncatedBracketHeaderReturnsMinusOne)
{
    CTQDataStream in = Loading({1, 0, 0});
    EXPECT_EQ(in.SerializeBegin(-1), -1);
    EXPECT_TRUE(in.IsFailed());
}

TEST(CTQDataStream, CheckCountRefusesAbsurdCounts)
{
    CTQDataStream in = Loading(std::vector<std::uint8_t>(16, 0));
    EXPECT_TRUE(in.CheckCount(4, 4));
    EXPECT_FALSE(in.IsFailed());
    EXPECT_FALSE(in.CheckCount(0x7FFFFFFF, 8));
    EXPECT_TRUE(in.IsFailed());
}

TEST(CTQDataStream, SerializeEndWithoutBeginFails)
{
    CTQDataStream s;
    s.SerializeEnd();
    EXPECT_TRUE(s.IsFailed());
}

TEST(CTQDataStream, TooDeepNestingFailsInsteadOfOverflowing)
{
    CTQDataStream s;
    for (int i = 0; i < CTQDataStream::kMaxBlockDepth; ++i)
        s.SerializeBegin(1);
    EXPECT_FALSE(s.IsFailed());
    EXPECT_EQ(s.SerializeBegin(1), -1);
    EXPECT_TRUE(s.IsFailed());
}

TEST(CTQDataStream, SerializeServesBothDirections)
{
    CTQDataStream s;
    std::int32_t a = -5;
    float b = 2.5f;
    s.Serialize(a);
    s.Serialize(b);
    s.Rewind(CTQDataStream::eLoading);
    std::int32_t a2 = 0;
    float b2 = 0;
    EXPECT_TRUE(s.Serialize(a2));
    EXPECT_TRUE(s.Serialize(b2));
    EXPECT_EQ(a2, -5);
    EXPECT_EQ(b2, 2.5f);
}

TEST(CTQDataStream, RewindRetargetsOntoACopyOfOtherBytes)
{
    CTQDataStream s(CTQDataStream::eStoring, 2048);
    s.Write<std::int32_t>(1);
    std::uint8_t packet[] = {9, 0, 0, 0};
    s.Rewind(packet, sizeof packet);
    packet[0] = 0; // the stream holds its own copy
    std::int32_t v = 0;
    EXPECT_TRUE(s.IsLoading());
    EXPECT_TRUE(s.Read(v));
    EXPECT_EQ(v, 9);
}

TEST(CTQDataStream, StoringRewindDropsWhatItHeld)
{
    CTQDataStream s;
    s.Write<std::int32_t>(1);
    s.Rewind();
    EXPECT_EQ(s.GetSize(), 0u);
    s.Write<std::uint8_t>(2);
    EXPECT_EQ(s.GetSize(), 1u);
}

TEST(CTQDataStream, PutOnALoadingStreamFails)
{
    CTQDataStream in = Loading({1});
    std::uint8_t b = 3;
    in.Put(&b, 1);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(in.GetSize(), 1u);
}

TEST(CTQDataStream, CopiesAreIndependent)
{
    CTQDataStream a;
    a.Write<std::int32_t>(4);
    CTQDataStream b = a;
    a.Write<std::int32_t>(5);
    EXPECT_EQ(b.GetSize(), 4u);
    EXPECT_EQ(a.GetSize(), 8u);
}
