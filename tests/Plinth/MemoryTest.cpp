#include <Plinth/Memory.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
TEST(MemoryTest, AllocZeroCopyAndFree)
{
    auto* block = static_cast<unsigned char*>(MEM_Alloc(16));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xCD, 16);
    MEM_Zero(block, 8);
    EXPECT_EQ(block[7], 0);
    EXPECT_EQ(block[8], 0xCD);
    const unsigned char source[4] = {1, 2, 3, 4};
    MEM_Copy(block + 12, source, 4);
    EXPECT_EQ(std::memcmp(block + 12, source, 4), 0);
    MEM_Free(block);

    void* empty = MEM_Alloc(0);
    EXPECT_NE(empty, nullptr) << "a zero-byte request still gives a block to free";
    MEM_Free(empty);
    MEM_Free(nullptr);
    MEM_Zero(nullptr, 10);
    MEM_Copy(nullptr, source, 4);
}

TEST(MemoryTest, CopyHandlesOverlappingRanges)
{
    char text[] = "abcdef";
    MEM_Copy(text + 1, text, 4);
    EXPECT_STREQ(text, "aabcdf");
    MEM_Copy(text, text + 2, 3);
    EXPECT_STREQ(text, "bcdcdf");
}

TEST(MemoryTest, CompareTreatsNullAsEmpty)
{
    EXPECT_EQ(STR_strcmp("abc", "abc"), 0);
    EXPECT_LT(STR_strcmp("abc", "abd"), 0);
    EXPECT_GT(STR_strcmp("b", "abc"), 0);
    EXPECT_EQ(STR_strcmp(nullptr, ""), 0);
    EXPECT_LT(STR_strcmp(nullptr, "a"), 0);
    EXPECT_GT(STR_strcmp("a", nullptr), 0);
    // Bytes compare unsigned, so high characters sort after ASCII.
    EXPECT_GT(STR_strcmp("\xE9", "z"), 0);
}

TEST(MemoryTest, CaseInsensitiveCompareFoldsOnlyAsciiLetters)
{
    EXPECT_EQ(STR_stricmp("Ironline", "IRONLINE"), 0);
    EXPECT_EQ(STR_stricmp(".OGG", ".ogg"), 0);
    EXPECT_LT(STR_stricmp("abc", "ABD"), 0);
    EXPECT_GT(STR_stricmp("abcd", "ABC"), 0);
    EXPECT_LT(STR_stricmp("ABC", "abcd"), 0);
    EXPECT_NE(STR_stricmp("[", "{"), 0) << "only letters are folded";
    EXPECT_EQ(STR_stricmp(nullptr, nullptr), 0);
    EXPECT_LT(STR_stricmp(nullptr, "x"), 0);
}

TEST(MemoryTest, LengthAndCopy)
{
    EXPECT_EQ(STR_strlen("hello"), 5u);
    EXPECT_EQ(STR_strlen(nullptr), 0u);
    char buffer[8];
    EXPECT_EQ(STR_strcpy(buffer, "abc"), buffer);
    EXPECT_STREQ(buffer, "abc");
    STR_strcpy(buffer, nullptr);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(STR_strcpy(nullptr, "abc"), nullptr);
}

TEST(MemoryTest, BoundedCopyTruncatesAndAlwaysTerminates)
{
    char buffer[6];
    std::memset(buffer, 'x', sizeof buffer);
    STR_strcpy(buffer, sizeof buffer, "overflowing");
    EXPECT_STREQ(buffer, "overf");
    STR_strcpy(buffer, sizeof buffer, "ok");
    EXPECT_STREQ(buffer, "ok");
    char untouched = 'u';
    STR_strcpy(&untouched, 0, "abc");
    EXPECT_EQ(untouched, 'u');
}

std::vector<std::string> Tokens(char* text, const char* delimiters)
{
    std::vector<std::string> tokens;
    char* context = nullptr;
    for (char* token = STR_strtok(text, delimiters, &context); token; token = STR_strtok(nullptr, delimiters, &context))
        tokens.emplace_back(token);
    return tokens;
}

TEST(MemoryTest, TokensSkipRunsOfDelimiters)
{
    char text[] = ",,a, b,,c ,";
    EXPECT_EQ(Tokens(text, ", "), (std::vector<std::string>{"a", "b", "c"}));
    char onlyDelimiters[] = " ,, ";
    EXPECT_TRUE(Tokens(onlyDelimiters, ", ").empty());
    char empty[] = "";
    EXPECT_TRUE(Tokens(empty, ",").empty());
    char noDelimiters[] = "whole";
    EXPECT_EQ(Tokens(noDelimiters, nullptr), (std::vector<std::string>{"whole"}));
}

TEST(MemoryTest, TwoTokenisationsInterleaveWithoutDisturbingEachOther)
{
    char first[] = "a b c";
    char second[] = "1,2";
    char* contextA = nullptr;
    char* contextB = nullptr;
    EXPECT_STREQ(STR_strtok(first, " ", &contextA), "a");
    EXPECT_STREQ(STR_strtok(second, ",", &contextB), "1");
    EXPECT_STREQ(STR_strtok(nullptr, " ", &contextA), "b");
    EXPECT_STREQ(STR_strtok(nullptr, ",", &contextB), "2");
    EXPECT_STREQ(STR_strtok(nullptr, " ", &contextA), "c");
    EXPECT_EQ(STR_strtok(nullptr, ",", &contextB), nullptr);
    EXPECT_EQ(STR_strtok(nullptr, " ", &contextA), nullptr);
    EXPECT_EQ(STR_strtok(nullptr, " ", &contextA), nullptr) << "stays at the end";
    EXPECT_EQ(STR_strtok(first, " ", nullptr), nullptr);
}
} // namespace
