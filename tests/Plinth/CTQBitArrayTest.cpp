#include <Plinth/CTQBitArray.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include "Support/StreamBytes.h"

#include <cstdint>
#include <vector>

namespace
{
using TestSupport::BytesOf;
using Bytes = std::vector<std::uint8_t>;

TEST(CTQBitArrayTest, SetGetAndClearAddressSingleBits)
{
    EXPECT_EQ(CTQBitArray(-5).GetSize(), 0) << "a negative size is no size";
    CTQBitArray bits(12);
    EXPECT_FALSE(bits.IsAnySet());
    bits.SetBit(0);
    bits.SetBit(11);
    bits.SetBit(5, true);
    EXPECT_TRUE(bits.GetBit(0));
    EXPECT_TRUE(bits.GetBit(5));
    EXPECT_TRUE(bits.GetBit(11));
    EXPECT_FALSE(bits.GetBit(1));
    EXPECT_FALSE(bits.GetBit(10));
    bits.SetBit(5, false);
    bits.ClearBit(11);
    EXPECT_FALSE(bits.GetBit(5));
    EXPECT_FALSE(bits.GetBit(11));
    EXPECT_TRUE(bits.IsAnySet());
    bits.Clear();
    EXPECT_FALSE(bits.IsAnySet());
    EXPECT_EQ(bits.GetSize(), 12) << "Clear keeps the size";
}

TEST(CTQBitArrayTest, OutOfRangeIndexesReadFalseAndWriteNothing)
{
    CTQBitArray bits(10);
    bits.SetBit(-1);
    bits.SetBit(10); // inside the second byte's padding: must not become visible
    bits.SetBit(16);
    bits.SetBit(1 << 30);
    EXPECT_FALSE(bits.IsAnySet());
    EXPECT_FALSE(bits.GetBit(-1));
    EXPECT_FALSE(bits.GetBit(10));
    EXPECT_FALSE(bits.GetBit(1 << 30));

    CTQBitArray none;
    none.SetBit(0);
    EXPECT_FALSE(none.GetBit(0));
}

TEST(CTQBitArrayTest, SetAllSetsOnlyTheBitsInside)
{
    CTQBitArray bits(10);
    bits.SetAll();
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(bits.GetBit(i)) << i;
    EXPECT_FALSE(bits.GetBit(10));
    // Growing must not expose the last byte's padding as set bits.
    bits.SetSize(16);
    for (int i = 10; i < 16; ++i)
        EXPECT_FALSE(bits.GetBit(i)) << i;
}

TEST(CTQBitArrayTest, ShrinkingThenGrowingDoesNotBringOldBitsBack)
{
    CTQBitArray bits(16);
    bits.SetBit(3);
    bits.SetBit(6);
    bits.SetBit(12);
    bits.SetSize(4);
    EXPECT_EQ(bits.GetSize(), 4);
    EXPECT_TRUE(bits.GetBit(3));
    bits.SetSize(16);
    EXPECT_TRUE(bits.GetBit(3));
    EXPECT_FALSE(bits.GetBit(6));
    EXPECT_FALSE(bits.GetBit(12));

    bits.ClearBit(3);
    bits.SetSize(2);
    EXPECT_FALSE(bits.IsAnySet());
}

TEST(CTQBitArrayTest, StoresTheCountThenPackedBytesLittleEndian)
{
    CTQBitArray bits(10);
    bits.SetBit(0);
    bits.SetBit(3);
    bits.SetBit(9);
    CTQDataStream stream(CTQDataStream::eStoring);
    EXPECT_TRUE(bits.Serialize(stream));
    EXPECT_EQ(BytesOf(stream), (Bytes{0x0A, 0x00, 0x00, 0x00, 0x09, 0x02}));

    CTQBitArray all(10);
    all.SetAll();
    CTQDataStream allStream(CTQDataStream::eStoring);
    all.Serialize(allStream);
    EXPECT_EQ(BytesOf(allStream), (Bytes{0x0A, 0x00, 0x00, 0x00, 0xFF, 0x03}));

    CTQBitArray empty;
    CTQDataStream emptyStream(CTQDataStream::eStoring);
    empty.Serialize(emptyStream);
    EXPECT_EQ(BytesOf(emptyStream), (Bytes{0x00, 0x00, 0x00, 0x00}));
}

TEST(CTQBitArrayTest, RoundTripRestoresSizeAndEveryBit)
{
    CTQBitArray original(37);
    for (int i : {0, 1, 8, 17, 31, 32, 36})
        original.SetBit(i);
    CTQDataStream stream(CTQDataStream::eStoring);
    original.Serialize(stream);

    stream.Rewind(CTQDataStream::eLoading);
    CTQBitArray loaded(3);
    loaded.SetAll();
    EXPECT_TRUE(loaded.Serialize(stream));
    EXPECT_FALSE(stream.IsFailed());
    EXPECT_EQ(loaded, original);
    EXPECT_EQ(loaded.GetSize(), 37);
    EXPECT_TRUE(loaded.GetBit(36));
    EXPECT_FALSE(loaded.GetBit(35));
}

TEST(CTQBitArrayTest, TruncatedStreamFailsAndLeavesTheArrayAsItWas)
{
    const std::uint8_t data[] = {0x10, 0x00, 0x00, 0x00, 0xFF}; // 16 bits, one byte of two
    CTQDataStream stream(CTQDataStream::eLoading, data, sizeof data);
    CTQBitArray bits(3);
    bits.SetBit(1);
    EXPECT_FALSE(bits.Serialize(stream));
    EXPECT_TRUE(stream.IsFailed());
    EXPECT_EQ(bits.GetSize(), 3);
    EXPECT_TRUE(bits.GetBit(1));
    EXPECT_FALSE(bits.GetBit(0));

    const std::uint8_t cutCount[] = {0x08, 0x00};
    CTQDataStream cutStream(CTQDataStream::eLoading, cutCount, sizeof cutCount);
    EXPECT_FALSE(bits.Serialize(cutStream));
    EXPECT_EQ(bits.GetSize(), 3);
}

TEST(CTQBitArrayTest, AbsurdCountsAreRefusedBeforeAllocating)
{
    const std::uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x01};
    CTQDataStream hugeStream(CTQDataStream::eLoading, huge, sizeof huge);
    CTQBitArray bits;
    EXPECT_FALSE(bits.Serialize(hugeStream));
    EXPECT_TRUE(hugeStream.IsFailed());

    // Within int range but far more than the stream holds.
    const std::uint8_t large[] = {0x00, 0x00, 0x00, 0x40, 0x01};
    CTQDataStream largeStream(CTQDataStream::eLoading, large, sizeof large);
    EXPECT_FALSE(bits.Serialize(largeStream));
    EXPECT_TRUE(largeStream.IsFailed());
    EXPECT_EQ(bits.GetSize(), 0);
}

TEST(CTQBitArrayTest, PaddingBitsInLoadedDataAreDropped)
{
    const std::uint8_t data[] = {0x03, 0x00, 0x00, 0x00, 0xF8}; // 3 bits, all of them 0
    CTQDataStream stream(CTQDataStream::eLoading, data, sizeof data);
    CTQBitArray bits;
    EXPECT_TRUE(bits.Serialize(stream));
    EXPECT_EQ(bits.GetSize(), 3);
    EXPECT_FALSE(bits.IsAnySet());
}

TEST(CTQBitArrayTest, ArrayInsideAVersionedBlockStopsAtTheBlockEnd)
{
    // A block that holds the count but not the bytes: the bytes after the block
    // belong to someone else and must not be read.
    const std::uint8_t data[] = {0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, // version 256, 4 bytes
                                 0x08, 0x00, 0x00, 0x00,                         // 8 bits
                                 0xAA};                                          // outside the block
    CTQDataStream stream(CTQDataStream::eLoading, data, sizeof data);
    EXPECT_EQ(stream.SerializeBegin(-1), 256);
    CTQBitArray bits;
    EXPECT_FALSE(bits.Serialize(stream));
    EXPECT_EQ(bits.GetSize(), 0);
}
} // namespace
