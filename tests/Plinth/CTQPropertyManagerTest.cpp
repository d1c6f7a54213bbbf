#include <Plinth/CFileIO.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQException.h>
#include <Plinth/CTQPropertyManager.h>

#include <gtest/gtest.h>

#include "Support/TempPath.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

using TestSupport::ReadFileBytes;
using TestSupport::TempPath;
using TestSupport::WriteFileBytes;

bool OpenFile(CFileIO& file, const TempPath& path, int mode)
{
    try
    {
        return file.Open(path.c_str(), mode);
    }
    catch (CTQException* e)
    {
        ADD_FAILURE() << e->GetErrorMessage().GetString();
        e->Delete();
    }
    return false;
}

std::vector<std::string> Names(const CTQPropertyManager& m)
{
    std::vector<std::string> names;
    CTQString name;
    CTQProperty value;
    std::int32_t cursor = -1;
    for (bool more = m.GetFirstProperty(name, value, cursor); more; more = m.GetNextProperty(name, value, cursor))
        names.push_back(name.str());
    return names;
}

// b = 2, a = "xy", c = 1.0f, d = empty: one property of each kind.
CTQPropertyManager OneOfEachKind()
{
    CTQPropertyManager m;
    m.SetProperty("b", 2);
    m.SetProperty("a", "xy");
    m.SetProperty("c", 1.0f);
    m.SetProperty("d", CTQProperty());
    return m;
}

// The block of OneOfEachKind, worked out by hand.
const Bytes kOneOfEachKindBlock = {
    4,   0, 0, 0,                                   // count
    1,   0, 0, 0, 'a', 3, 0, 2, 0, 0, 0, 'x', 'y', // "a": string "xy"
    1,   0, 0, 0, 'b', 1, 0, 2, 0, 0, 0,           // "b": integer 2
    1,   0, 0, 0, 'c', 2, 0, 0, 0, 0x80, 0x3F,     // "c": number 1.0
    1,   0, 0, 0, 'd', 0, 0,                       // "d": empty
};
} // namespace

// ---- Names and lookups -------------------------------------------------------------

TEST(CTQPropertyManager, PropertiesEnumerateInByteOrderOfTheirNames)
{
    CTQPropertyManager m;
    for (const char* name : {"b", "ab", "a", "B", "", "\xC3\xA9"})
        m.SetProperty(name, 1);
    EXPECT_EQ(Names(m), (std::vector<std::string>{"", "B", "a", "ab", "b", "\xC3\xA9"}));
    EXPECT_EQ(m.GetCount(), 6);
}

TEST(CTQPropertyManager, EnumerationEndsWithFalseAndLeavesTheOutputsAlone)
{
    CTQPropertyManager m;
    CTQString name("untouched");
    CTQProperty value(9);
    std::int32_t cursor = 0;
    EXPECT_FALSE(m.GetFirstProperty(name, value, cursor));
    m.SetProperty("only", 1);
    ASSERT_TRUE(m.GetFirstProperty(name, value, cursor));
    EXPECT_EQ(cursor, 0);
    name = "kept";
    EXPECT_FALSE(m.GetNextProperty(name, value, cursor));
    EXPECT_FALSE(m.GetNextProperty(name, value, cursor));
    EXPECT_STREQ(name.GetString(), "kept");
    EXPECT_EQ(value.GetInt(), 1);
    cursor = -5;
    EXPECT_FALSE(m.GetNextProperty(name, value, cursor)) << "a bad cursor is the end, not a crash";
}

TEST(CTQPropertyManager, IndexingAMissingNameInsertsOnlyWhenNotConst)
{
    CTQPropertyManager m;
    const CTQPropertyManager& view = m;
    EXPECT_TRUE(view["missing"].IsEmpty());
    EXPECT_FALSE(m.HasProperty("missing"));
    EXPECT_EQ(m.FindProperty("missing"), nullptr);

    EXPECT_TRUE(m["missing"].IsEmpty());
    EXPECT_TRUE(m.HasProperty("missing"));
    m["missing"] = 4;
    EXPECT_EQ(view["missing"].GetInt(), 4);
    EXPECT_EQ(&view["missing"], m.FindProperty("missing"));
}

TEST(CTQPropertyManager, WritingThroughAConstMissingNameDoesNotLeakToTheNextLookup)
{
    const CTQPropertyManager m;
    m["one"] = 5;
    EXPECT_TRUE(m["two"].IsEmpty());
    EXPECT_EQ(m.GetCount(), 0);
}

TEST(CTQPropertyManager, SetOverwritesAndRemoveForgets)
{
    CTQPropertyManager m;
    m.SetProperty("n", 1);
    m.SetProperty("n", "one");
    EXPECT_EQ(m.GetCount(), 1);
    EXPECT_STREQ(m["n"].GetString().GetString(), "one");
    EXPECT_TRUE(m.RemoveProperty("n"));
    EXPECT_FALSE(m.RemoveProperty("n"));
    m.SetProperty("x", 1);
    m.SetProperty("y", 2);
    m.RemoveAllProperties();
    EXPECT_EQ(m.GetCount(), 0);
    EXPECT_FALSE(m.HasProperty("x"));
}

TEST(CTQPropertyManager, ResourceStyleReadsConvertToTheExpectedType)
{
    CTQPropertyManager res;
    res.SetProperty("nPatchesX", 16);
    res.SetProperty("fDensity", "0.5");
    res.SetProperty("bVisible", true);
    int patches = res["nPatchesX"];
    float density = res["fDensity"];
    bool visible = res["bVisible"];
    CTQString text = res["nPatchesX"];
    EXPECT_EQ(patches, 16);
    EXPECT_EQ(density, 0.5f);
    EXPECT_TRUE(visible);
    EXPECT_STREQ(text.GetString(), "16");
}

// ---- The attribute block --------------------------------------------------------------

TEST(CTQPropertyManager, SaveWritesTheBlockInNameOrder)
{
    TempPath path;
    {
        CFileIO file;
        ASSERT_TRUE(OpenFile(file, path, CFileIO::eWrite));
        EXPECT_TRUE(OneOfEachKind().Save(&file));
    }
    EXPECT_EQ(ReadFileBytes(path), kOneOfEachKindBlock);
}

TEST(CTQPropertyManager, LoadRestoresKindsAndValuesAndReplacesTheContent)
{
    TempPath path;
    CTQPropertyManager saved = OneOfEachKind();
    saved.SetProperty("long", CTQString(std::string(300, 'z')));
    {
        CFileIO file;
        ASSERT_TRUE(OpenFile(file, path, CFileIO::eWrite));
        ASSERT_TRUE(saved.Save(&file));
        file.WriteInt32(0x7777);
    }
    CTQPropertyManager loaded;
    loaded.SetProperty("stale", 1);
    CFileIO file;
    ASSERT_TRUE(OpenFile(file, path, CFileIO::eRead));
    ASSERT_TRUE(loaded.Load(&file));
    EXPECT_FALSE(loaded.HasProperty("stale"));
    EXPECT_EQ(Names(loaded), Names(saved));
    EXPECT_EQ(loaded["a"].GetType(), eTQPropertyType::String);
    EXPECT_EQ(loaded["b"].GetType(), eTQPropertyType::Integer);
    EXPECT_EQ(loaded["c"].GetType(), eTQPropertyType::Number);
    EXPECT_EQ(loaded["d"].GetType(), eTQPropertyType::None);
    EXPECT_EQ(loaded["long"].GetString().GetLength(), 300);
    std::int32_t after = 0;
    EXPECT_TRUE(file.ReadInt32(after));
    EXPECT_EQ(after, 0x7777) << "Load stops exactly at the end of its block";
}

TEST(CTQPropertyManager, ABlockCountTheFileCannotHoldFailsBeforeReading)
{
    TempPath path;
    Bytes block = kOneOfEachKindBlock;
    // About 2^28 properties claimed; the 39 bytes left hold at most 6.
    block[0] = 0xFF;
    block[1] = 0xFF;
    block[2] = 0xFF;
    block[3] = 0x0F;
    WriteFileBytes(path, block);
    CFileIO file;
    ASSERT_TRUE(OpenFile(file, path, CFileIO::eRead));
    CTQPropertyManager m;
    EXPECT_FALSE(m.Load(&file));
    EXPECT_EQ(m.GetCount(), 0);
    EXPECT_EQ(file.GetPosition(), 4) << "nothing past the count was read";

    block[3] = 0x80; // negative
    WriteFileBytes(path, block);
    ASSERT_TRUE(OpenFile(file, path, CFileIO::eRead));
    EXPECT_FALSE(m.Load(&file));
}

TEST(CTQPropertyManager, AnUnknownTypeFailsKeepingThePropertiesBeforeIt)
{
    TempPath path;
    Bytes block = kOneOfEachKindBlock;
    block[22] = 9; // "b"'s type code
    WriteFileBytes(path, block);
    CFileIO file;
    ASSERT_TRUE(OpenFile(file, path, CFileIO::eRead));
    CTQPropertyManager m;
    EXPECT_FALSE(m.Load(&file));
    EXPECT_EQ(Names(m), std::vector<std::string>{"a"});
}

TEST(CTQPropertyManager, ABlockCutAnywhereFailsCleanly)
{
    TempPath path;
    for (std::size_t size = 0; size < kOneOfEachKindBlock.size(); ++size)
    {
        WriteFileBytes(path, Bytes(kOneOfEachKindBlock.begin(), kOneOfEachKindBlock.begin() + size));
        CFileIO file;
        ASSERT_TRUE(OpenFile(file, path, CFileIO::eRead));
        CTQPropertyManager m;
        EXPECT_FALSE(m.Load(&file)) << "cut at " << size;
        EXPECT_LE(m.GetCount(), 4);
    }
    CTQPropertyManager m;
    EXPECT_FALSE(m.Load(nullptr));
    EXPECT_FALSE(m.Save(nullptr));
}

TEST(CTQPropertyManager, TheDataStreamFormIsTheSameBlock)
{
    CTQPropertyManager saved = OneOfEachKind();
    CTQDataStream stream(CTQDataStream::eStoring);
    ASSERT_TRUE(saved.Serialize(stream));
    EXPECT_EQ(Bytes(stream.GetBuffer(), stream.GetBuffer() + stream.GetSize()), kOneOfEachKindBlock);

    stream.Rewind(CTQDataStream::eLoading);
    CTQPropertyManager loaded;
    loaded.SetProperty("stale", 1);
    ASSERT_TRUE(loaded.Serialize(stream));
    EXPECT_FALSE(stream.IsFailed());
    EXPECT_EQ(Names(loaded), Names(saved));
    EXPECT_STREQ(loaded["a"].GetString().GetString(), "xy");
    EXPECT_EQ(loaded["c"].GetFloat(), 1.0f);
}

TEST(CTQPropertyManager, ADataStreamWithAnAbsurdCountFailsTheStream)
{
    Bytes block = kOneOfEachKindBlock;
    block[0] = 200;
    CTQDataStream stream(CTQDataStream::eLoading, block.data(), static_cast<std::uint32_t>(block.size()));
    CTQPropertyManager m;
    EXPECT_FALSE(m.Serialize(stream));
    EXPECT_TRUE(stream.IsFailed());
    EXPECT_EQ(m.GetCount(), 0);
}
