#include <Framekit/ObjectModel/TQSerialize.h>

#include <gtest/gtest.h>

#include "Support/StreamBytes.h"

#include <vector>

namespace
{
using TestSupport::BytesOf;
using TestSupport::Loading;
// A base with a version and one without, as classes of the library use them.
struct SVersionedBase
{
    static int GetDataFormatVersion() { return 0x100; }
    std::int32_t base = 0;
    void Serialize(CTQDataStream& s) { s.Serialize(base); }
};

struct SUnversionedBase
{
    static int GetDataFormatVersion() { return 0xFFFF; }
    std::int32_t base = 0;
    void Serialize(CTQDataStream& s) { s.Serialize(base); }
};

template <class TBase>
struct SDerived : TBase
{
    std::int32_t own = 0;
    void Serialize(CTQDataStream& s)
    {
        TQSerializeBase<TBase>(s, *this);
        s.Serialize(own);
    }
};

struct SKey
{
    static int GetDataFormatVersion() { return 0x100; }
    float time = 0;
    void Serialize(CTQDataStream& s) { s.Serialize(time); }
};
} // namespace

TEST(TQSerialize, TheBasePartGoesFirstInItsBracket)
{
    CTQDataStream s;
    SDerived<SVersionedBase> d;
    d.base = 1;
    d.own = 2;
    d.Serialize(s);
    EXPECT_EQ(BytesOf(s), (std::vector<std::uint8_t>{0, 1, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0}));

    CTQDataStream in = Loading(BytesOf(s));
    SDerived<SVersionedBase> back;
    back.Serialize(in);
    EXPECT_EQ(back.base, 1);
    EXPECT_EQ(back.own, 2);
    EXPECT_FALSE(in.IsFailed());
}

TEST(TQSerialize, AnUnversionedBaseHasNoBracket)
{
    CTQDataStream s;
    SDerived<SUnversionedBase> d;
    d.base = 1;
    d.own = 2;
    d.Serialize(s);
    EXPECT_EQ(BytesOf(s), (std::vector<std::uint8_t>{1, 0, 0, 0, 2, 0, 0, 0}));
    CTQDataStream in = Loading(BytesOf(s));
    SDerived<SUnversionedBase> back;
    back.Serialize(in);
    EXPECT_EQ(back.base, 1);
    EXPECT_EQ(back.own, 2);
}

TEST(TQSerialize, StringIsLengthAndBytesWithoutTerminator)
{
    CTQDataStream s;
    CTQString text("net");
    CTQString empty;
    TQSerializeString(s, text);
    TQSerializeString(s, empty);
    EXPECT_EQ(BytesOf(s), (std::vector<std::uint8_t>{3, 0, 0, 0, 'n', 'e', 't', 0, 0, 0, 0}));
    CTQDataStream in = Loading(BytesOf(s));
    CTQString a("x"), b("y");
    EXPECT_TRUE(TQSerializeString(in, a));
    EXPECT_TRUE(TQSerializeString(in, b));
    EXPECT_STREQ(a, "net");
    EXPECT_STREQ(b, "");
}

namespace
{
bool LoadHello(std::int32_t id, CTQString& out)
{
    if (id != 12)
        return false;
    out = "Hello";
    return true;
}
bool IsHello(std::int32_t id, const CTQString& text)
{
    return id == 12 && text == "Hello";
}
struct StringHooks
{
    StringHooks()
    {
        CTQString::s_pfnLoadString = LoadHello;
        CTQString::s_pfnIsStringIdentical = IsHello;
    }
    ~StringHooks()
    {
        CTQString::s_pfnLoadString = nullptr;
        CTQString::s_pfnIsStringIdentical = nullptr;
    }
};
} // namespace

TEST(TQSerialize, AStringThatStillEqualsItsResourceIsWrittenAsItsId)
{
    StringHooks hooks;
    CTQString s;
    ASSERT_TRUE(s.LoadStringResource(12));
    CTQDataStream out;
    TQSerializeString(out, s);
    EXPECT_EQ(BytesOf(out), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 12, 0, 0, 0}));

    CTQDataStream in = Loading(BytesOf(out));
    CTQString back;
    EXPECT_TRUE(TQSerializeString(in, back));
    EXPECT_STREQ(back, "Hello");
    EXPECT_EQ(back.GetStringResourceId(), 12);

    s += " there"; // changed: written as text again
    CTQDataStream changed;
    TQSerializeString(changed, s);
    EXPECT_EQ(changed.GetSize(), 4u + 11u);
}

TEST(TQSerialize, AStringLongerThanTheBytesLeftFailsWithoutAllocating)
{
    CTQDataStream in = Loading({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'});
    CTQString s("keep?");
    EXPECT_FALSE(TQSerializeString(in, s));
    EXPECT_TRUE(in.IsFailed());
    EXPECT_STREQ(s, "");
}

TEST(TQSerialize, ANegativeStringLengthFails)
{
    CTQDataStream in = Loading({0xFE, 0xFF, 0xFF, 0xFF});
    CTQString s;
    EXPECT_FALSE(TQSerializeString(in, s));
    EXPECT_TRUE(in.IsFailed());
}

TEST(TQSerialize, ArrayIsTagCountAndBracketedElements)
{
    std::vector<SKey> keys(2);
    keys[0].time = 1.0f;
    keys[1].time = 2.0f;
    CTQDataStream s;
    TQSerializeArray(s, kTQArrayTagKeys, keys);
    EXPECT_EQ(BytesOf(s), (std::vector<std::uint8_t>{0x76, 2, 0, 0, 0,                           //
                                                   0, 1, 0, 0, 4, 0, 0, 0, 0, 0, 0x80, 0x3F, //
                                                   0, 1, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0x40}));
    CTQDataStream in = Loading(BytesOf(s));
    std::vector<SKey> back;
    EXPECT_TRUE(TQSerializeArray(in, kTQArrayTagKeys, back));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].time, 2.0f);
}

TEST(TQSerialize, AnotherFirstByteMeansNoElementsFollow)
{
    CTQDataStream in = Loading({0x4C, 5, 0, 0, 0});
    std::vector<SKey> back(3);
    EXPECT_TRUE(TQSerializeArray(in, kTQArrayTagKeys, back));
    EXPECT_TRUE(back.empty());
    EXPECT_FALSE(in.IsFailed());
}

TEST(TQSerialize, AnAbsurdArrayCountFailsBeforeAllocating)
{
    CTQDataStream in = Loading({0x4C, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0});
    std::vector<SKey> back;
    EXPECT_FALSE(TQSerializeArray(in, kTQArrayTagEvents, back));
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(back.capacity(), 0u);
}

TEST(TQSerialize, ATruncatedArrayKeepsTheElementsReadSoFar)
{
    std::vector<SKey> keys(3);
    keys[0].time = 5.0f;
    CTQDataStream s;
    TQSerializeArray(s, kTQArrayTagKeys, keys);
    std::vector<std::uint8_t> bytes = BytesOf(s);
    bytes.resize(bytes.size() - 6);
    CTQDataStream in = Loading(bytes);
    std::vector<SKey> back;
    EXPECT_FALSE(TQSerializeArray(in, kTQArrayTagKeys, back));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].time, 5.0f);
}
