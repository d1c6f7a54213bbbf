#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQParams.h>

#include <gtest/gtest.h>

#include "Support/StreamBytes.h"

#include "CapturingLogSink.h"

#include <vector>

namespace
{
using TestSupport::BytesOf;
using Bytes = std::vector<std::uint8_t>;

// 7, 0.5f, "hi", empty.
CTQParams FourParams()
{
    CTQParams p;
    p.Add(7);
    p.Add(0.5f);
    p.Add("hi");
    p.Add(CTQProperty());
    return p;
}

const Bytes kFourParams = {
    4, 0, 0, 0,                   // count
    1, 0, 7, 0, 0, 0,             // integer 7
    2, 0, 0, 0, 0, 0x3F,          // number 0.5
    3, 0, 2, 0, 0, 0, 'h', 'i',   // string "hi"
    0, 0,                         // empty
};

// A string table of one entry, id 7, for the string-resource form.
bool LoadSeven(std::int32_t id, CTQString& text)
{
    if (id != 7)
        return false;
    text = "Start game";
    return true;
}

bool IsSeven(std::int32_t id, const CTQString& text)
{
    return id == 7 && text == "Start game";
}
} // namespace

TEST(CTQParams, AddReturnsIndicesAndRemoveMovesTheRestDown)
{
    CTQParams p;
    EXPECT_EQ(p.Add(10), 0);
    EXPECT_EQ(p.Add(20), 1);
    EXPECT_EQ(p.Add(30), 2);
    EXPECT_TRUE(p.Remove(0));
    EXPECT_EQ(p.GetCount(), 2);
    EXPECT_EQ(p[0].GetInt(), 20);
    EXPECT_EQ(p.Get(1).GetInt(), 30);
    EXPECT_FALSE(p.Remove(2));
    EXPECT_FALSE(p.Remove(-1));
    p[1] = "thirty";
    EXPECT_STREQ(p[1].GetString().GetString(), "thirty");
    p.RemoveAll();
    EXPECT_EQ(p.GetCount(), 0);
}

TEST(CTQParams, AnIndexOutOfRangeIsLoggedAndAnsweredWithAnEmptySpare)
{
    CapturingLogSink log;
    CTQParams p;
    p.Add(1);
    p[5] = 99;
    EXPECT_TRUE(p[5].IsEmpty()) << "a write into the spare does not stick";
    EXPECT_TRUE(static_cast<const CTQParams&>(p).Get(-1).IsEmpty());
    EXPECT_EQ(p.GetCount(), 1);
    EXPECT_EQ(log.Texts().size(), 3u);
}

TEST(CTQParams, SerializeWritesCountThenTypeAndValueOfEach)
{
    CTQParams p = FourParams();
    CTQDataStream s(CTQDataStream::eStoring);
    ASSERT_TRUE(p.Serialize(s));
    EXPECT_EQ(BytesOf(s), kFourParams);
}

TEST(CTQParams, SerializeRoundTripsAndReplacesTheContent)
{
    CTQParams p = FourParams();
    CTQDataStream s(CTQDataStream::eStoring);
    p.Serialize(s);
    s.Rewind(CTQDataStream::eLoading);
    CTQParams back;
    back.Add("stale");
    ASSERT_TRUE(back.Serialize(s));
    ASSERT_EQ(back.GetCount(), 4);
    EXPECT_EQ(back[0].GetType(), eTQPropertyType::Integer);
    EXPECT_EQ(back[0].GetInt(), 7);
    EXPECT_EQ(back[1].GetType(), eTQPropertyType::Number);
    EXPECT_EQ(back[1].GetFloat(), 0.5f);
    EXPECT_STREQ(back[2].GetString().GetString(), "hi");
    EXPECT_TRUE(back[3].IsEmpty());
    EXPECT_EQ(s.GetRemaining(), 0u);
}

TEST(CTQParams, ATruncatedStreamFailsAtEveryCut)
{
    for (std::size_t size = 0; size < kFourParams.size(); ++size)
    {
        CTQDataStream s(CTQDataStream::eLoading, kFourParams.data(), static_cast<std::uint32_t>(size));
        CTQParams p;
        EXPECT_FALSE(p.Serialize(s)) << "cut at " << size;
        EXPECT_TRUE(s.IsFailed());
        EXPECT_LE(p.GetCount(), 4);
    }
}

TEST(CTQParams, AbsurdCountsAndLengthsAndUnknownTypesFail)
{
    Bytes absurd = {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 7, 0, 0, 0};
    CTQDataStream s1(CTQDataStream::eLoading, absurd.data(), static_cast<std::uint32_t>(absurd.size()));
    CTQParams p;
    EXPECT_FALSE(p.Serialize(s1));
    EXPECT_EQ(p.GetCount(), 0);

    Bytes longString = {1, 0, 0, 0, 3, 0, 0xF0, 0xFF, 0xFF, 0x7F, 'a'};
    CTQDataStream s2(CTQDataStream::eLoading, longString.data(), static_cast<std::uint32_t>(longString.size()));
    EXPECT_FALSE(p.Serialize(s2));

    Bytes unknown = {2, 0, 0, 0, 1, 0, 5, 0, 0, 0, 4, 0};
    CTQDataStream s3(CTQDataStream::eLoading, unknown.data(), static_cast<std::uint32_t>(unknown.size()));
    EXPECT_FALSE(p.Serialize(s3));
    EXPECT_TRUE(s3.IsFailed());
    ASSERT_EQ(p.GetCount(), 1) << "the parameter before the bad one is kept";
    EXPECT_EQ(p[0].GetInt(), 5);
}

TEST(CTQParams, AStringThatIsStillItsResourceTravelsAsItsId)
{
    auto previousLoad = CTQString::s_pfnLoadString;
    auto previousSame = CTQString::s_pfnIsStringIdentical;
    CTQString::s_pfnLoadString = &LoadSeven;
    CTQString::s_pfnIsStringIdentical = &IsSeven;

    CTQString caption;
    ASSERT_TRUE(caption.LoadStringResource(7));
    CTQParams p;
    p.Add(caption);
    CTQDataStream s(CTQDataStream::eStoring);
    p.Serialize(s);
    EXPECT_EQ(BytesOf(s), (Bytes{1, 0, 0, 0, 3, 0, 0xFF, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0}));
    s.Rewind(CTQDataStream::eLoading);
    CTQParams back;
    ASSERT_TRUE(back.Serialize(s));
    EXPECT_STREQ(back[0].GetString().GetString(), "Start game");
    EXPECT_EQ(back[0].GetString().GetStringResourceId(), 7);

    CTQString::s_pfnLoadString = previousLoad;
    CTQString::s_pfnIsStringIdentical = previousSame;
}
