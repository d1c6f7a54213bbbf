#include <Plinth/CTQPath.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> ComponentsOf(const CTQPath& path)
{
    std::vector<std::string> components;
    for (int i = 0; i < path.GetNumComponents(); ++i)
        components.push_back(path.GetComponent(i).str());
    return components;
}

using Components = std::vector<std::string>;

TEST(CTQPathTest, NodePathsSplitWithAndWithoutTheRoot)
{
    EXPECT_EQ(ComponentsOf(CTQPath("$/net/db")), (Components{"$", "net", "db"}));
    EXPECT_EQ(ComponentsOf(CTQPath("net/db")), (Components{"net", "db"}));
    EXPECT_EQ(ComponentsOf(CTQPath("$")), (Components{"$"}));
}

TEST(CTQPathTest, OuterSeparatorsBackslashesAndEmptyComponentsAreTolerated)
{
    EXPECT_EQ(ComponentsOf(CTQPath("$/net/db/")), (Components{"$", "net", "db"}));
    EXPECT_EQ(ComponentsOf(CTQPath("/$//net\\db\\\\")), (Components{"$", "net", "db"}));
    EXPECT_EQ(ComponentsOf(CTQPath("data\\sounds\\a.wav")), (Components{"data", "sounds", "a.wav"}));
}

TEST(CTQPathTest, PathsWithoutComponentsAreEmpty)
{
    EXPECT_TRUE(CTQPath().IsEmpty());
    EXPECT_TRUE(CTQPath("").IsEmpty());
    EXPECT_TRUE(CTQPath("//\\").IsEmpty());
    EXPECT_TRUE(CTQPath(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_EQ(CTQPath("/").GetNumComponents(), 0);
    EXPECT_FALSE(CTQPath("a").IsEmpty());
}

TEST(CTQPathTest, IterationVisitsEveryComponentOnceInOrderAndOutOfRangeIsEmpty)
{
    CTQPath path("$/net/db");
    EXPECT_EQ(path.GetComponent(-1), "");
    EXPECT_EQ(path.GetComponent(3), "");
    Components seen;
    CTQString component;
    int cursor = 99;
    for (bool more = path.GetFirstComponent(component, cursor); more; more = path.GetNextComponent(component, cursor))
        seen.push_back(component.str());
    EXPECT_EQ(seen, (Components{"$", "net", "db"}));
    EXPECT_FALSE(path.GetNextComponent(component, cursor));

    CTQPath empty;
    EXPECT_FALSE(empty.GetFirstComponent(component, cursor));
}

TEST(CTQPathTest, StripPathGivesTheLastComponent)
{
    EXPECT_EQ(CTQPath("data/sounds/shot.wav").StripPath(), "shot.wav");
    EXPECT_EQ(CTQPath("C:\\games\\shot.wav").StripPath(), "shot.wav");
    EXPECT_EQ(CTQPath("shot.wav").StripPath(), "shot.wav");
    EXPECT_EQ(CTQPath("data/sounds/").StripPath(), "sounds");
    EXPECT_EQ(CTQPath("").StripPath(), "");
}

TEST(CTQPathTest, DirectoryIsEverythingBeforeTheLastComponent)
{
    EXPECT_EQ(CTQPath("data/sounds/shot.wav").GetDirectory(), "data/sounds");
    EXPECT_EQ(CTQPath("/usr//lib\\x.so").GetDirectory(), "/usr//lib");
    EXPECT_EQ(CTQPath("shot.wav").GetDirectory(), "");
    EXPECT_EQ(CTQPath("a/b/").GetDirectory(), "a");
}

TEST(CTQPathTest, ExtensionIncludesTheDotAndIgnoresDotsInDirectories)
{
    EXPECT_EQ(CTQPath("music/theme.ogg").GetExtension(), ".ogg");
    EXPECT_EQ(CTQPath("archive.tar.gz").GetExtension(), ".gz");
    EXPECT_EQ(CTQPath("data.v2/readme").GetExtension(), "");
    EXPECT_EQ(CTQPath("data.v2\\readme").GetExtension(), "");
    EXPECT_EQ(CTQPath("noext").GetExtension(), "");
    EXPECT_EQ(CTQPath("").GetExtension(), "");
    EXPECT_EQ(CTQPath(".hidden").GetExtension(), ".hidden");
}

TEST(CTQPathTest, AppendAddsOneSeparatorOnlyWhereNeeded)
{
    CTQPath path("$");
    path.Append("net");
    EXPECT_EQ(path.GetPath(), "$/net");
    path.Append("db");
    EXPECT_EQ(ComponentsOf(path), (Components{"$", "net", "db"}));

    CTQPath trailing("$/net/");
    trailing.Append("db");
    EXPECT_EQ(trailing.GetPath(), "$/net/db");

    CTQPath empty;
    empty.Append("a/b");
    EXPECT_EQ(empty.GetPath(), "a/b");
    EXPECT_EQ(empty.GetNumComponents(), 2);

    empty.Append("");
    EXPECT_EQ(empty.GetPath(), "a/b");
}

TEST(CTQPathTest, SetPathEmptyAndAssignmentReplaceTheComponents)
{
    CTQPath path("a/b/c");
    path.SetPath("x");
    EXPECT_EQ(ComponentsOf(path), (Components{"x"}));
    path = "p/q";
    EXPECT_EQ(ComponentsOf(path), (Components{"p", "q"}));
    path = CTQString("r");
    EXPECT_EQ(ComponentsOf(path), (Components{"r"}));
    path.Empty();
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_EQ(path.GetPath(), "");
}
} // namespace
