#include <Plinth/CFileIO.h>
#include <Plinth/CFileIOException.h>
#include <Plinth/CXfsException.h>

#include <gtest/gtest.h>

#include "CapturingLogSink.h"
#include "Support/TempPath.h"

#include <atomic>
#include <bit>
#include <cfloat>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <vector>

// Largest single allocation while watching: proves that an absurd length read
// from a file never reaches the allocator. The replacements are kept out of line
// so that the compiler does not pair an inlined free() with a new-expression.
namespace
{
std::atomic<bool> g_bWatchAllocations{false};
std::atomic<std::size_t> g_nLargestAllocation{0};
} // namespace

__attribute__((noinline)) void* operator new(std::size_t size)
{
    if (g_bWatchAllocations.load(std::memory_order_relaxed))
    {
        std::size_t seen = g_nLargestAllocation.load(std::memory_order_relaxed);
        while (size > seen && !g_nLargestAllocation.compare_exchange_weak(seen, size))
        {
        }
    }
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

__attribute__((noinline)) void operator delete(void* p) noexcept
{
    std::free(p);
}

__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{
using Bytes = std::vector<std::uint8_t>;

using TestSupport::ReadFileBytes;
using TestSupport::TempPath;
using TestSupport::WriteFileBytes;

void OpenOrFail(CFileIO& file, const TempPath& path, int mode)
{
    try
    {
        file.Open(path.c_str(), mode);
    }
    catch (CTQException* e)
    {
        ADD_FAILURE() << e->GetErrorMessage().GetString();
        e->Delete();
    }
}

} // namespace

// ---- Opening -----------------------------------------------------------------------

TEST(CFileIO, OpenOfAMissingFileThrowsFileIOExceptionThatReportsAndDeletesItself)
{
    TempPath path;
    CFileIO file;
    CapturingLogSink log;
    bool caught = false;
    try
    {
        file.Open(path.c_str(), CFileIO::eRead);
    }
    catch (CFileIOException* e)
    {
        caught = true;
        EXPECT_EQ(e->GetCause(), CFileIOException::eFileNotFound);
        EXPECT_STREQ(e->GetFileName().GetString(), path.c_str());
        e->ReportError();
        e->Delete();
    }
    EXPECT_TRUE(caught);
    EXPECT_FALSE(file.IsOpened());
    const std::vector<std::string> texts = log.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(path.c_str()), std::string::npos);
    EXPECT_NE(texts[0].find("file not found"), std::string::npos);
}

TEST(CFileIO, EmptyNameAndUnknownModesThrowXfsException)
{
    TempPath path;
    CFileIO file;
    auto throwsXfs = [&](const char* name, int mode) {
        try
        {
            file.Open(name, mode);
        }
        catch (CXfsException* e)
        {
            e->Delete();
            return true;
        }
        catch (CTQException* e)
        {
            e->Delete();
        }
        return false;
    };
    EXPECT_TRUE(throwsXfs(nullptr, CFileIO::eRead));
    EXPECT_TRUE(throwsXfs("", CFileIO::eRead));
    EXPECT_TRUE(throwsXfs(path.c_str(), 0));
    EXPECT_TRUE(throwsXfs(path.c_str(), 3));
    EXPECT_TRUE(throwsXfs(path.c_str(), 0x21));
    EXPECT_FALSE(std::filesystem::exists(path.path())) << "a refused mode must not create the file";
}

TEST(CFileIO, OpeningADirectoryThrowsFileIOException)
{
    TempPath path;
    std::filesystem::create_directory(path.path());
    CFileIO file;
    for (int mode : {CFileIO::eRead, CFileIO::eWrite})
    {
        bool caught = false;
        try
        {
            file.Open(path.c_str(), mode);
        }
        catch (CFileIOException* e)
        {
            caught = true;
            EXPECT_EQ(e->GetCause(), CFileIOException::eIsDirectory);
            e->Delete();
        }
        EXPECT_TRUE(caught) << "mode " << mode;
    }
}

TEST(CFileIO, ModesOneAndSeventeenReadAndModeTwoTruncates)
{
    TempPath path;
    WriteFileBytes(path, std::string("abcdef"));
    CFileIO file;
    EXPECT_TRUE(file.Open(path.c_str(), 1));
    EXPECT_EQ(file.GetSize(), 6);
    EXPECT_TRUE(file.Open(path.c_str(), 17));
    EXPECT_TRUE(file.IsReading());
    EXPECT_EQ(file.GetSize(), 6);
    EXPECT_TRUE(file.Open(path.c_str(), 2));
    EXPECT_TRUE(file.IsWriting());
    EXPECT_EQ(file.GetSize(), 0);
    file.Close();
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST(CFileIO, ReopeningClosesTheOldFileEvenWhenTheNewOneFails)
{
    TempPath first("a"), missing("m");
    CFileIO file;
    OpenOrFail(file, first, CFileIO::eWrite);
    ASSERT_TRUE(file.WriteInt32(0x11223344));
    try
    {
        file.Open(missing.c_str(), CFileIO::eRead);
    }
    catch (CFileIOException* e)
    {
        e->Delete();
    }
    EXPECT_FALSE(file.IsOpened());
    EXPECT_TRUE(file.GetFileName().IsEmpty());
    // The old file was closed, so its buffered bytes are on disk.
    EXPECT_EQ(ReadFileBytes(first), (Bytes{0x44, 0x33, 0x22, 0x11}));
}

TEST(CFileIO, AClosedFileRefusesEverythingAndClosingTwiceIsHarmless)
{
    CFileIO file;
    file.Close();
    file.Close();
    std::int32_t n = 0;
    char buffer[4];
    EXPECT_FALSE(file.ReadInt32(n));
    EXPECT_FALSE(file.WriteInt32(1));
    EXPECT_EQ(file.ReadRaw(buffer, 1, 4), 0u);
    EXPECT_FALSE(file.Seek(0, CFileIO::eSeekBegin));
    EXPECT_EQ(file.GetPosition(), -1);
    EXPECT_EQ(file.GetSize(), -1);
    EXPECT_TRUE(file.IsEOF());
    EXPECT_FALSE(file.StepBack());
}

TEST(CFileIO, ReadsFailOnAWrittenFileAndWritesOnARead)
{
    TempPath path;
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eWrite);
    ASSERT_TRUE(file.WriteInt32(5));
    ASSERT_TRUE(file.Seek(0, CFileIO::eSeekBegin));
    std::int32_t n = 0;
    EXPECT_FALSE(file.ReadInt32(n));
    file.Close();
    OpenOrFail(file, path, CFileIO::eRead);
    EXPECT_FALSE(file.WriteInt32(6));
    EXPECT_FALSE(file.WriteText("x"));
    EXPECT_TRUE(file.ReadInt32(n));
    EXPECT_EQ(n, 5);
}

// ---- Typed binary values -----------------------------------------------------------------

TEST(CFileIO, TypedValuesAreLittleEndianOfFixedWidth)
{
    TempPath path;
    {
        CFileIO file;
        OpenOrFail(file, path, CFileIO::eWrite);
        EXPECT_TRUE(file.WriteBool(true));
        EXPECT_TRUE(file.WriteBool(false));
        EXPECT_TRUE(file.WriteInt16(-2));
        EXPECT_TRUE(file.WriteUInt16(0xA0B0));
        EXPECT_TRUE(file.WriteInt32(0x01020304));
        EXPECT_TRUE(file.WriteUInt32(0xFFFFFFFEu));
        EXPECT_TRUE(file.WriteInt(-7));
        EXPECT_TRUE(file.WriteFloat(1.0f));
        EXPECT_TRUE(file.WriteString("ab"));
        EXPECT_TRUE(file.WriteString(""));
        EXPECT_EQ(file.GetPosition(), 32);
        EXPECT_EQ(file.GetSize(), 32);
    }
    const Bytes expected = {0x01, 0x00,                   // bools
                            0xFE, 0xFF, 0xB0, 0xA0,       // 16-bit
                            0x04, 0x03, 0x02, 0x01,       // int32
                            0xFE, 0xFF, 0xFF, 0xFF,       // uint32
                            0xF9, 0xFF, 0xFF, 0xFF,       // int
                            0x00, 0x00, 0x80, 0x3F,       // 1.0f
                            0x02, 0x00, 0x00, 0x00, 'a', 'b', // "ab"
                            0x00, 0x00, 0x00, 0x00};      // ""
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(CFileIO, TypedValuesRoundTripAtTheirLimits)
{
    TempPath path;
    const std::string binary("a\0b;\r\n", 6);
    {
        CFileIO file;
        OpenOrFail(file, path, CFileIO::eWrite);
        file.WriteInt16(std::numeric_limits<std::int16_t>::min());
        file.WriteUInt16(std::numeric_limits<std::uint16_t>::max());
        file.WriteInt32(std::numeric_limits<std::int32_t>::min());
        file.WriteUInt32(std::numeric_limits<std::uint32_t>::max());
        file.WriteInt(std::numeric_limits<int>::max());
        file.WriteFloat(-FLT_MIN / 4);
        file.WriteString(CTQString(binary));
    }
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eReadBinary);
    std::int16_t i16 = 0;
    std::uint16_t u16 = 0;
    std::int32_t i32 = 0;
    std::uint32_t u32 = 0;
    int i = 0;
    float f = 0;
    CTQString s;
    ASSERT_TRUE(file.ReadInt16(i16) && file.ReadUInt16(u16) && file.ReadInt32(i32) && file.ReadUInt32(u32) &&
                file.ReadInt(i) && file.ReadFloat(f) && file.ReadString(s));
    EXPECT_EQ(i16, std::numeric_limits<std::int16_t>::min());
    EXPECT_EQ(u16, std::numeric_limits<std::uint16_t>::max());
    EXPECT_EQ(i32, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(u32, std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(i, std::numeric_limits<int>::max());
    EXPECT_EQ(std::bit_cast<std::uint32_t>(f), std::bit_cast<std::uint32_t>(-FLT_MIN / 4));
    EXPECT_EQ(s.str(), binary);
    bool b = true;
    EXPECT_FALSE(file.ReadBool(b));
    EXPECT_TRUE(b) << "a failed read leaves the output alone";
}

TEST(CFileIO, AnyNonZeroByteReadsAsTrue)
{
    TempPath path;
    WriteFileBytes(path, Bytes{0x00, 0x02, 0xFF});
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    bool a = true, b = false, c = false;
    ASSERT_TRUE(file.ReadBool(a) && file.ReadBool(b) && file.ReadBool(c));
    EXPECT_FALSE(a);
    EXPECT_TRUE(b);
    EXPECT_TRUE(c);
}

TEST(CFileIO, AValueCutByTheEndOfTheFileFailsAndConsumesNothing)
{
    TempPath path;
    WriteFileBytes(path, Bytes{0x01, 0x02, 0x03});
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    std::int32_t i32 = 0;
    float f = 0;
    EXPECT_FALSE(file.ReadInt32(i32));
    EXPECT_FALSE(file.ReadFloat(f));
    EXPECT_EQ(file.GetPosition(), 0);
    std::int16_t i16 = 0;
    EXPECT_TRUE(file.ReadInt16(i16));
    EXPECT_EQ(i16, 0x0201);
    EXPECT_FALSE(file.ReadInt16(i16));
    EXPECT_EQ(file.GetPosition(), 2);
    bool b = false;
    EXPECT_TRUE(file.ReadBool(b));
    EXPECT_FALSE(file.ReadBool(b));
}

TEST(CFileIO, AnAbsurdStringLengthFailsWithoutAllocating)
{
    TempPath path;
    // Claims 2 GiB - 16 bytes, holds 3; then a negative length; then one that is 1 too long.
    WriteFileBytes(path, Bytes{0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'});
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    CTQString s("kept");
    g_nLargestAllocation = 0;
    g_bWatchAllocations = true;
    bool ok = file.ReadString(s);
    g_bWatchAllocations = false;
    EXPECT_FALSE(ok);
    EXPECT_LT(g_nLargestAllocation.load(), 1024u);
    EXPECT_EQ(file.GetPosition(), 0);
    EXPECT_STREQ(s.GetString(), "kept");

    WriteFileBytes(path, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 'a'});
    OpenOrFail(file, path, CFileIO::eRead);
    EXPECT_FALSE(file.ReadString(s));

    WriteFileBytes(path, Bytes{0x02, 0x00, 0x00, 0x00, 'a'});
    OpenOrFail(file, path, CFileIO::eRead);
    EXPECT_FALSE(file.ReadString(s));
    EXPECT_EQ(file.GetPosition(), 0);
}

TEST(CFileIO, ReadRawDeliversWholeItemsUpToTheEnd)
{
    TempPath path;
    WriteFileBytes(path, std::string("0123456789"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    char buffer[16] = {};
    EXPECT_EQ(file.ReadRaw(buffer, 4, 2), 2u);
    EXPECT_EQ(std::string(buffer, 8), "01234567");
    EXPECT_EQ(file.ReadRaw(buffer, 4, 2), 0u) << "2 bytes left are no whole item of 4";
    EXPECT_EQ(file.GetPosition(), 8);
    EXPECT_EQ(file.ReadRaw(buffer, 1, 16), 2u);
    EXPECT_EQ(file.ReadRaw(buffer, 1, 16), 0u);
    EXPECT_EQ(file.ReadRaw(buffer, 0, 16), 0u);
}

// ---- Position ------------------------------------------------------------------------------

TEST(CFileIO, ALengthPlaceholderIsFilledBySeekingBackAndThenToTheEnd)
{
    TempPath path;
    {
        CFileIO file;
        OpenOrFail(file, path, CFileIO::eWrite);
        file.WriteInt16(0);
        std::int32_t lengthAt = file.GetPosition();
        file.WriteInt32(0);
        std::int32_t start = file.GetPosition();
        file.WriteString("record");
        std::int32_t end = file.GetPosition();
        ASSERT_TRUE(file.Seek(lengthAt, CFileIO::eSeekBegin));
        ASSERT_TRUE(file.WriteInt32(end - start));
        EXPECT_EQ(file.GetSize(), end) << "filling in does not grow the file";
        ASSERT_TRUE(file.Seek(0, CFileIO::eSeekEnd));
        EXPECT_EQ(file.GetPosition(), end);
        file.WriteBool(true);
    }
    const Bytes expected = {0, 0, 10, 0, 0, 0, 6, 0, 0, 0, 'r', 'e', 'c', 'o', 'r', 'd', 1};
    EXPECT_EQ(ReadFileBytes(path), expected);

    // Reading it back: skip the record by its length.
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    std::int16_t marker = -1;
    std::int32_t length = 0;
    bool last = false;
    ASSERT_TRUE(file.ReadInt16(marker) && file.ReadInt32(length));
    ASSERT_TRUE(file.Skip(length));
    ASSERT_TRUE(file.ReadBool(last));
    EXPECT_TRUE(last);
}

TEST(CFileIO, SeekingOutsideTheFileFailsAndDoesNotMove)
{
    TempPath path;
    WriteFileBytes(path, std::string("abcdef"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    ASSERT_TRUE(file.Seek(2, CFileIO::eSeekBegin));
    EXPECT_FALSE(file.Seek(-3, CFileIO::eSeekCurrent));
    EXPECT_FALSE(file.Seek(1, CFileIO::eSeekEnd));
    EXPECT_FALSE(file.Seek(7, CFileIO::eSeekBegin));
    EXPECT_FALSE(file.Seek(0, 3)) << "unknown origin";
    EXPECT_FALSE(file.Skip(5));
    EXPECT_EQ(file.GetPosition(), 2);
    EXPECT_TRUE(file.Seek(-1, CFileIO::eSeekEnd));
    EXPECT_EQ(file.GetPosition(), 5);
    EXPECT_TRUE(file.Skip(-5));
    char c = 0;
    EXPECT_TRUE(file.ReadTokenChar(c));
    EXPECT_EQ(c, 'a');
    EXPECT_TRUE(file.Seek(6, CFileIO::eSeekBegin)) << "the end itself is a valid position";
}

// ---- Text tokens -------------------------------------------------------------------------

TEST(CFileIO, AFontDescriptionReadsThroughTheTokenOperations)
{
    TempPath path;
    WriteFileBytes(path, std::string("Font {\r\n"
                                     "  Name = \"Arial Bold\"\r\n"
                                     "  Texture = arial.tga;\r\n"
                                     "  TextureSize = 256, 128;\n"
                                     "  CharacterSet {\n"
                                     "    NumCharacters = 2;\n"
                                     "    ' ' = 5;\n"
                                     "    'a' = 0,16,10,-2;\n"
                                     "  }\n"
                                     "}\n"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    CTQString name, texture;
    std::int32_t width = 0, height = 0, count = 0, blank = 0, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    char space = 0, letter = 0;
    EXPECT_TRUE(file.ExpectToken("Font") && file.ExpectToken("{"));
    EXPECT_TRUE(file.ExpectToken("Name") && file.ExpectToken("=") && file.ReadTokenString(name));
    EXPECT_TRUE(file.ExpectToken("Texture") && file.ExpectToken("=") && file.ReadTokenString(texture));
    EXPECT_TRUE(file.ExpectToken("TextureSize") && file.ExpectToken("=") && file.ReadTokenInt(width, ',') &&
                file.ReadTokenInt(height, ';'));
    EXPECT_TRUE(file.ExpectToken("CharacterSet") && file.ExpectToken("{"));
    EXPECT_TRUE(file.ExpectToken("NumCharacters") && file.ExpectToken("=") && file.ReadTokenInt(count, ';'));
    EXPECT_TRUE(file.ExpectToken("'") && file.ReadTokenChar(space) && file.ExpectToken("'") &&
                file.ExpectToken("=") && file.ReadTokenInt(blank, ';'));
    EXPECT_TRUE(file.ExpectToken("'") && file.ReadTokenChar(letter) && file.ExpectToken("'") &&
                file.ExpectToken("=") && file.ReadTokenInt(x0, ',') && file.ReadTokenInt(y0, ',') &&
                file.ReadTokenInt(x1, ',') && file.ReadTokenInt(y1, ';'));
    EXPECT_TRUE(file.ExpectToken("}") && file.ExpectToken("}"));
    EXPECT_TRUE(file.IsEOF());

    EXPECT_STREQ(name.GetString(), "Arial Bold");
    EXPECT_STREQ(texture.GetString(), "arial.tga");
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 128);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(space, ' ');
    EXPECT_EQ(blank, 5);
    EXPECT_EQ(letter, 'a');
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(y0, 16);
    EXPECT_EQ(x1, 10);
    EXPECT_EQ(y1, -2);
}

TEST(CFileIO, AMismatchedTokenFailsAndConsumesNothing)
{
    TempPath path;
    WriteFileBytes(path, std::string("  Fonts { x"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    EXPECT_FALSE(file.ExpectToken("Font")) << "a word token matches whole words only";
    EXPECT_FALSE(file.ExpectToken("{"));
    EXPECT_FALSE(file.ExpectToken(""));
    EXPECT_EQ(file.GetPosition(), 0);
    EXPECT_TRUE(file.ExpectToken("Fonts"));
    EXPECT_TRUE(file.ExpectToken("{"));
    EXPECT_FALSE(file.ExpectToken("xy")) << "the file ends inside the token";
    EXPECT_TRUE(file.ExpectToken("x"));
}

TEST(CFileIO, BadTokenValuesFailAndLeaveThePositionAlone)
{
    TempPath path;
    WriteFileBytes(path, std::string("12x, 99999999999; \"open ended\n 7"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    std::int32_t n = 0;
    EXPECT_FALSE(file.ReadTokenInt(n, ','));
    EXPECT_EQ(file.GetPosition(), 0);
    ASSERT_TRUE(file.Seek(4, CFileIO::eSeekBegin));
    EXPECT_FALSE(file.ReadTokenInt(n, ';')) << "out of the 32-bit range";
    ASSERT_TRUE(file.Seek(17, CFileIO::eSeekBegin));
    CTQString s;
    EXPECT_FALSE(file.ReadTokenString(s)) << "a quote that the line does not close";
    EXPECT_EQ(file.GetPosition(), 17);
    ASSERT_TRUE(file.Seek(-1, CFileIO::eSeekEnd));
    EXPECT_FALSE(file.ReadTokenInt(n, ';')) << "no terminator before the end";
    EXPECT_EQ(n, 0);
}

TEST(CFileIO, ReadLineDropsLineEndsAndWhatPassesTheLimit)
{
    TempPath path;
    WriteFileBytes(path, std::string("v 1 2 3\r\nf 1 2 3 4\n\nlast"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    CTQString line;
    ASSERT_TRUE(file.ReadLine(line, 2000));
    EXPECT_STREQ(line.GetString(), "v 1 2 3");
    ASSERT_TRUE(file.ReadLine(line, 5));
    EXPECT_STREQ(line.GetString(), "f 1 2");
    ASSERT_TRUE(file.ReadLine(line, 2000));
    EXPECT_STREQ(line.GetString(), "");
    ASSERT_TRUE(file.ReadLine(line, 2000));
    EXPECT_STREQ(line.GetString(), "last");
    EXPECT_FALSE(file.ReadLine(line, 2000));
}

// ---- Delimited text values -----------------------------------------------------------------

TEST(CFileIO, RecordsOfDelimitedValuesReadBackExactly)
{
    TempPath path;
    const float time = 0.1f;
    const float axis = -1.5e-7f;
    {
        CFileIO file;
        OpenOrFail(file, path, CFileIO::eWrite);
        EXPECT_TRUE(file.WriteTextFloat(time) && file.WriteTextLong(3) && file.WriteTextString("key down") &&
                    file.WriteTextInt(65) && file.WriteText("\r\n"));
        EXPECT_TRUE(file.WriteTextFloat(2.5f) && file.WriteTextLong(std::numeric_limits<std::int32_t>::min()) &&
                    file.WriteTextString("mouse wheel") && file.WriteTextInt(-4) && file.WriteTextFloat(axis) &&
                    file.WriteText("\r\n"));
        EXPECT_TRUE(file.Flush());
    }
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    float f = 0;
    std::int32_t device = 0;
    int value = 0;
    CTQString name;
    ASSERT_TRUE(file.ReadTextFloat(f));
    EXPECT_EQ(f, time);
    ASSERT_TRUE(file.ReadTextLong(device) && file.ReadTextString(name) && file.ReadTextInt(value));
    EXPECT_EQ(device, 3);
    EXPECT_STREQ(name.GetString(), "key down");
    EXPECT_EQ(value, 65);
    EXPECT_FALSE(file.IsEOF());

    // The second record's time is not due yet: read it, step back, read it again.
    ASSERT_TRUE(file.ReadTextFloat(f));
    EXPECT_EQ(f, 2.5f);
    ASSERT_TRUE(file.StepBack());
    f = 0;
    ASSERT_TRUE(file.ReadTextFloat(f));
    EXPECT_EQ(f, 2.5f);
    ASSERT_TRUE(file.ReadTextLong(device) && file.ReadTextString(name) && file.ReadTextInt(value) &&
                file.ReadTextFloat(f));
    EXPECT_EQ(device, std::numeric_limits<std::int32_t>::min());
    EXPECT_STREQ(name.GetString(), "mouse wheel");
    EXPECT_EQ(value, -4);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(f), std::bit_cast<std::uint32_t>(axis));
    EXPECT_TRUE(file.IsEOF()) << "only the line end is left";
    EXPECT_FALSE(file.ReadTextFloat(f));
    EXPECT_EQ(file.GetPosition(), file.GetSize() - 2);
}

TEST(CFileIO, FloatsWrittenAsTextReadBackBitForBit)
{
    const float values[] = {0.0f, -0.0f, 0.1f, 1.0f / 3.0f, 16777217.0f, FLT_MAX, -FLT_MAX, FLT_MIN,
                            FLT_MIN / 1024, std::numeric_limits<float>::denorm_min(), 123456.789f};
    TempPath path;
    {
        CFileIO file;
        OpenOrFail(file, path, CFileIO::eWrite);
        for (float v : values)
            ASSERT_TRUE(file.WriteTextFloat(v));
    }
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    for (float v : values)
    {
        float back = 1.0f;
        ASSERT_TRUE(file.ReadTextFloat(back));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(v)) << v;
    }
    EXPECT_TRUE(file.IsEOF());
}

TEST(CFileIO, IsEOFLooksPastBlanksWithoutMoving)
{
    TempPath path;
    WriteFileBytes(path, std::string("1;\r\n \t\r\n\n"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    EXPECT_FALSE(file.IsEOF());
    EXPECT_EQ(file.GetPosition(), 0);
    int n = 0;
    ASSERT_TRUE(file.ReadTextInt(n));
    EXPECT_TRUE(file.IsEOF());
    EXPECT_EQ(file.GetPosition(), 2);
}

TEST(CFileIO, GarbageNumbersFailAndLeaveTheValueToBeReadAsText)
{
    TempPath path;
    WriteFileBytes(path, std::string("12abc;;1e999;0x10;99999999999;2.5; 7 ;"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    struct Case
    {
        const char* text;
        bool isFloat;
    };
    const Case cases[] = {{"12abc", false}, {"", false},           {"1e999", false},
                          {"0x10", false},  {"99999999999", true}, {"2.5", true}};
    for (const Case& c : cases)
    {
        std::int32_t n = 0;
        float f = 0;
        std::int32_t at = file.GetPosition();
        EXPECT_FALSE(file.ReadTextLong(n)) << c.text;
        EXPECT_EQ(file.GetPosition(), at);
        EXPECT_EQ(file.ReadTextFloat(f), c.isFloat) << c.text;
        if (c.isFloat)
        {
            ASSERT_TRUE(file.StepBack());
        }
        EXPECT_EQ(file.GetPosition(), at);
        CTQString s;
        ASSERT_TRUE(file.ReadTextString(s));
        EXPECT_STREQ(s.GetString(), c.text);
    }
    int n = 0;
    EXPECT_TRUE(file.ReadTextInt(n)) << "blanks around a number are allowed";
    EXPECT_EQ(n, 7);
}

TEST(CFileIO, AnOverlongLineFailsAfterBoundedWork)
{
    TempPath path;
    WriteFileBytes(path, std::string(10 * 1024 * 1024, 'a'));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    CTQString s;
    float f = 0;
    EXPECT_FALSE(file.ReadTextString(s));
    EXPECT_FALSE(file.ReadTextFloat(f));
    EXPECT_FALSE(file.ReadTokenString(s));
    EXPECT_EQ(file.GetPosition(), 0);
    EXPECT_FALSE(file.IsEOF());
}

TEST(CFileIO, ATextValueMayBeAsLongAsTheCapButNoLonger)
{
    TempPath path;
    std::string longest(CFileIO::kMaxTextValue, 'x');
    WriteFileBytes(path, longest + ";" + longest + "x;");
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    CTQString s;
    ASSERT_TRUE(file.ReadTextString(s));
    EXPECT_EQ(s.GetLength(), CFileIO::kMaxTextValue);
    EXPECT_FALSE(file.ReadTextString(s));
}

TEST(CFileIO, AValueMissingItsDelimiterOrSpanningALineFails)
{
    TempPath path;
    WriteFileBytes(path, std::string("1.5\r\n2;3"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    float f = 0;
    EXPECT_FALSE(file.ReadTextFloat(f));
    ASSERT_TRUE(file.Seek(5, CFileIO::eSeekBegin));
    ASSERT_TRUE(file.ReadTextFloat(f));
    EXPECT_EQ(f, 2.0f);
    EXPECT_FALSE(file.ReadTextFloat(f)) << "a truncated last value is not a value";
    EXPECT_FALSE(file.IsEOF());
}

TEST(CFileIO, TextThatCouldNotBeReadBackIsRefused)
{
    TempPath path;
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eWrite);
    EXPECT_FALSE(file.WriteTextString("a;b"));
    EXPECT_FALSE(file.WriteTextString("line\n"));
    EXPECT_FALSE(file.WriteText(nullptr));
    EXPECT_EQ(file.GetSize(), 0);
}

TEST(CFileIO, StepBackReturnsToTheValueAfterTheLineEnd)
{
    TempPath path;
    WriteFileBytes(path, std::string("a;\r\nb;"));
    CFileIO file;
    OpenOrFail(file, path, CFileIO::eRead);
    CTQString s;
    EXPECT_FALSE(file.StepBack()) << "nothing read yet";
    ASSERT_TRUE(file.ReadTextString(s));
    ASSERT_TRUE(file.ReadTextString(s));
    ASSERT_TRUE(file.StepBack());
    EXPECT_EQ(file.GetPosition(), 4);
    // A failed read does not change what StepBack returns to.
    float f = 0;
    EXPECT_FALSE(file.ReadTextFloat(f));
    ASSERT_TRUE(file.StepBack());
    ASSERT_TRUE(file.ReadTextString(s));
    EXPECT_STREQ(s.GetString(), "b");
}

TEST(CFileIOMemory, WrittenBytesAreTheSameAsOnDiskAndReadBack)
{
    CFileIO out;
    ASSERT_TRUE(out.OpenMemory());
    ASSERT_TRUE(out.WriteInt32(0));
    ASSERT_TRUE(out.WriteString("abc"));
    // The length-placeholder pattern: back, fill in, to the end again.
    ASSERT_TRUE(out.Seek(0, CFileIO::eSeekBegin));
    ASSERT_TRUE(out.WriteInt32(7));
    ASSERT_TRUE(out.Seek(0, CFileIO::eSeekEnd));
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(out.GetMemory(data, size));
    EXPECT_EQ(Bytes(data, data + size), (Bytes{7, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'}));

    CFileIO in;
    ASSERT_TRUE(in.OpenMemory(data, size));
    std::int32_t n = 0;
    CTQString s;
    EXPECT_TRUE(in.ReadInt32(n));
    EXPECT_TRUE(in.ReadString(s));
    EXPECT_EQ(n, 7);
    EXPECT_STREQ(s, "abc");
    EXPECT_FALSE(in.ReadInt32(n)); // nothing past the end
    EXPECT_FALSE(in.GetMemory(data, size));
}

TEST(CFileIOMemory, AnEmptyMemoryFileReadsNothing)
{
    CFileIO in;
    ASSERT_TRUE(in.OpenMemory(nullptr, 0));
    EXPECT_EQ(in.GetSize(), 0);
    bool b = true;
    EXPECT_FALSE(in.ReadBool(b));
    EXPECT_FALSE(in.OpenMemory(nullptr, 4));
}
