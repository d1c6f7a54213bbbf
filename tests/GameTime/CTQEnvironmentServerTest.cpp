#include <Framekit/GameTime/CTQEnvironmentServer.h>

#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResource.h>

#include "GameTime/GameTimeTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace GameTimeTest;

namespace
{
std::vector<std::string> AttributeNames(const CTQEnvironmentServer& server)
{
    std::vector<std::string> names;
    CTQString name;
    CTQProperty value;
    std::int32_t cursor = 0;
    for (bool more = server.GetFirstAttribute(name, value, cursor); more;
         more = server.GetNextAttribute(name, value, cursor))
        names.emplace_back(name.GetString());
    return names;
}
} // namespace

TEST(CTQEnvironmentServerTest, NewestIsCurrentAndOnlyTheCurrentOneClearsIt)
{
    ASSERT_EQ(TQGetEnvironmentServer(), nullptr);
    auto first = std::make_unique<CTQEnvironmentServer>();
    auto second = std::make_unique<CTQEnvironmentServer>();
    EXPECT_EQ(TQGetEnvironmentServer(), second.get());
    first.reset(); // not current: leaves the current one be
    EXPECT_EQ(TQGetEnvironmentServer(), second.get());
    second.reset();
    EXPECT_EQ(TQGetEnvironmentServer(), nullptr);

    CTQObjectDatabase database;
    std::int32_t id = database.CreateObject("CTQEnvironmentServer");
    ASSERT_NE(TQGetEnvironmentServer(), nullptr);
    EXPECT_EQ(TQGetEnvironmentServer()->GetId(), id);
    EXPECT_EQ(database.ReleaseObject(id), 0);
    EXPECT_EQ(TQGetEnvironmentServer(), nullptr);
}

TEST(CTQEnvironmentServerTest, AttributesAreNamedPropertiesInNameOrder)
{
    CTQEnvironmentServer server;
    server.SetAttribute("Display/Resolution/Width", CTQProperty(1024));
    server.SetAttribute("Audio/Output/Speakers", CTQProperty("stereo"));
    server.SetAttribute("Display/Resolution/Width", CTQProperty(800));
    EXPECT_EQ(AttributeNames(server), (std::vector<std::string>{"Audio/Output/Speakers", "Display/Resolution/Width"}));
    EXPECT_EQ(server["Display/Resolution/Width"].GetInt(), 800);
    EXPECT_TRUE(server.RemoveAttribute("Audio/Output/Speakers"));
    EXPECT_FALSE(server.RemoveAttribute("Audio/Output/Speakers"));

    // Reading a missing name through a const server does not add it.
    const CTQEnvironmentServer& view = server;
    EXPECT_TRUE(view["Framekit/GameTime/OutputFormat"].IsEmpty());
    EXPECT_EQ(server.GetAttributeCount(), 1);
}

TEST(CTQEnvironmentServerTest, SingletonsAreIntegerAttributesAndAMissingOneIsMinusOne)
{
    CWarningCounter warnings;
    CTQEnvironmentServer server;
    server.SetSingleton("Player", 7);
    server.SetSingleton("World", 0);
    EXPECT_EQ(server.GetSingleton("Player"), 7);
    EXPECT_EQ(server.GetSingleton("World"), 0);
    EXPECT_TRUE(server.GetAttribute("Player").IsInteger());
    // 0 would be a valid object id.
    EXPECT_EQ(server.GetSingleton("Nobody"), -1);
    EXPECT_FALSE(server.HasAttribute("Nobody"));
    server.SetAttribute("Language", CTQProperty("en"));
    EXPECT_EQ(server.GetSingleton("Language"), -1);
    EXPECT_EQ(warnings.Get(), 1);
}

TEST(CTQEnvironmentServerTest, InitDataReplacesTheAttributesOnlyWithThoseOfAnExistingResource)
{
    CTQEnvironmentServer server;
    server.SetAttribute("Stale", CTQProperty(3));
    // No resource database at all, then one without the resource.
    ASSERT_EQ(TQGetResourceDatabase(), nullptr);
    EXPECT_TRUE(server.InitData(0));
    CTQLocalResourceDatabase resources;
    EXPECT_TRUE(server.InitData(999));
    EXPECT_EQ(AttributeNames(server), (std::vector<std::string>{"Stale"}));
    EXPECT_EQ(server.GetAssociatedResourceId(), 999);

    std::int32_t id = resources.CreateResource("environment", "CTQResource");
    CTQResource* resource = resources.QueryResource(id);
    resource->SetAttribute("Framekit/GameTime/OutputFormat", CTQProperty(1));
    resource->SetAttribute("Gravity", CTQProperty(9.81f));
    resource->SetAttribute("Language", CTQProperty("de"));
    resources.ReleaseResource(id);

    EXPECT_TRUE(server.InitData(id));
    EXPECT_EQ(AttributeNames(server),
              (std::vector<std::string>{"Framekit/GameTime/OutputFormat", "Gravity", "Language"}));
    EXPECT_TRUE(server["Framekit/GameTime/OutputFormat"].IsInteger());
    EXPECT_EQ(server["Gravity"].GetFloat(), 9.81f);
    EXPECT_EQ(std::string(server["Language"].GetString().GetString()), "de");
    EXPECT_EQ(resources.ReleaseResource(id), 0); // InitData gave its references back
}
