#include <Framekit/GameTime/CTQGameTimeSpan.h>

#include <Framekit/ObjectModel/TQSerialize.h>

#include "GameTime/GameTimeTestSupport.h"

#include <gtest/gtest.h>

using namespace GameTimeTest;

TEST(CTQGameTimeSpanTest, StoredAsFourByteLittleEndianFloatInItsBracket)
{
    CTQGameTimeSpan span(2.5f);
    CTQDataStream s;
    TQSerializeMember(s, span);
    EXPECT_EQ(StoredBytes(s), (Bytes{0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x40}));

    CTQGameTimeSpan loaded;
    CTQDataStream in = LoadingFrom(StoredBytes(s));
    EXPECT_EQ(TQSerializeMember(in, loaded), 0x100);
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(loaded.GetDays(), 2.5f);
}

TEST(CTQGameTimeSpanTest, LoadingCutShortKeepsTheSpanInsteadOfZeroingIt)
{
    CTQGameTimeSpan span(-7.0f);
    CTQDataStream in = LoadingFrom(Bytes{0x00, 0x00});
    span.Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(span.GetDays(), -7.0f);
}

TEST(CTQGameTimeSpanTest, ArithmeticIsSignedFloatDays)
{
    CTQGameTimeSpan span(1.5f);
    span -= CTQGameTimeSpan(4.0f);
    EXPECT_EQ(span.GetDays(), -2.5f);
    span += 0.25f;
    EXPECT_EQ(span.GetDays(), -2.25f);
    // Both operand kinds, including the float one that would otherwise be ambiguous.
    EXPECT_EQ((span - 0.75f).GetDays(), -3.0f);
    EXPECT_EQ((span + CTQGameTimeSpan(3.0f)).GetDays(), 0.75f);
    EXPECT_EQ(static_cast<float>(span - CTQGameTimeSpan(-2.25f)), 0.0f);
}
