#include <Plinth/CTQString.h>

#include <gtest/gtest.h>

#include <map>

TEST(CTQString, CompareIsBytewiseAndTreatsNullAsEmpty)
{
    EXPECT_EQ(CTQString("").Compare(nullptr), 0);
    EXPECT_LT(CTQString("a").Compare("b"), 0);
    EXPECT_GT(CTQString("\xE0").Compare("a"), 0); // bytes compare unsigned
    EXPECT_EQ(CTQString("AbC").CompareNoCase("abc"), 0);
}

TEST(CTQString, TextOperations)
{
    CTQString s;
    s.Format("%s/%d", "net", 42);
    EXPECT_STREQ(s, "net/42");
    EXPECT_EQ(s.Find('/'), 3);
    EXPECT_EQ(s.Find("42"), 4);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_STREQ(s.Mid(4), "42");
    EXPECT_STREQ(s.Mid(10), "");
    EXPECT_EQ(s.Mid(4).ToInt(), 42);
    CTQString up("MiXeD");
    up.MakeLower();
    EXPECT_STREQ(up, "mixed");
}

TEST(CTQString, BufferRoundTrip)
{
    CTQString s;
    char* p = s.GetBuffer(8);
    std::snprintf(p, 9, "abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_STREQ(s, "abc");
}

namespace
{
bool LoadFromTable(std::int32_t id, CTQString& out)
{
    if (id != 5)
        return false;
    out = "Hello";
    return true;
}

bool IdenticalToTable(std::int32_t id, const CTQString& text)
{
    return id == 5 && text == "Hello";
}

struct HookScope
{
    HookScope()
    {
        CTQString::s_pfnLoadString = LoadFromTable;
        CTQString::s_pfnIsStringIdentical = IdenticalToTable;
    }
    ~HookScope()
    {
        CTQString::s_pfnLoadString = nullptr;
        CTQString::s_pfnIsStringIdentical = nullptr;
    }
};
} // namespace

TEST(CTQString, StringResourceThroughTheHooks)
{
    HookScope hooks;
    CTQString s;
    EXPECT_TRUE(s.LoadStringResource(5));
    EXPECT_STREQ(s, "Hello");
    EXPECT_EQ(s.GetStringResourceId(), 5);
    EXPECT_TRUE(s.IsIdenticalToStringResource());
    s += "!";
    EXPECT_FALSE(s.IsIdenticalToStringResource());
    EXPECT_FALSE(CTQString().LoadStringResource(6));
}

TEST(CTQString, WithoutHooksNoStringResourceIsIdentical)
{
    CTQString s("Hello");
    s.SetStringResourceId(5);
    EXPECT_FALSE(s.IsIdenticalToStringResource());
    EXPECT_FALSE(s.LoadStringResource(5));
}

TEST(CTQString, OrdersMapsByBytes)
{
    std::map<CTQString, int, CTQStringLess> m{{"b", 2}, {"a", 1}, {"B", 0}};
    EXPECT_STREQ(m.begin()->first, "B");
}
