#include <Framekit/GameTime/CTQEnvironmentServer.h>

#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
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

// --- Current instance ---------------------------------------------------------------

TEST(CTQEnvironmentServerTest, NewestIsCurrentAndOnlyTheCurrentOneClearsIt)
{
    ASSERT_EQ(TQGetEnvironmentServer(), nullptr);
    auto first = std::make_unique<CTQEnvironmentServer>();
    EXPECT_EQ(TQGetEnvironmentServer(), first.get());
    auto second = std::make_unique<CTQEnvironmentServer>();
    EXPECT_EQ(TQGetEnvironmentServer(), second.get());
    first.reset(); // not current: must leave the current one be
    EXPECT_EQ(TQGetEnvironmentServer(), second.get());
    second.reset();
    EXPECT_EQ(TQGetEnvironmentServer(), nullptr);
}

TEST(CTQEnvironmentServerTest, CreatedByNameThroughTheObjectDatabase)
{
    EXPECT_TRUE(CTQObjectFactory::IsClassOfType("CTQEnvironmentServer", CTQObject::GetClassType()));
    CTQObjectDatabase database;
    std::int32_t id = database.CreateObject("CTQEnvironmentServer");
    ASSERT_GE(id, 0);
    CTQEnvironmentServer* server = TQGetEnvironmentServer();
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->GetId(), id);
    EXPECT_EQ(database.ReleaseObject(id), 0);
    EXPECT_EQ(TQGetEnvironmentServer(), nullptr);
}

// --- Attributes --------------------------------------------------------------------

TEST(CTQEnvironmentServerTest, AttributesAreNamedPropertiesInNameOrder)
{
    CTQEnvironmentServer server;
    server.SetAttribute("Display/Resolution/Width", CTQProperty(1024));
    server.SetAttribute("Audio/Output/Speakers", CTQProperty("stereo"));
    server.SetAttribute("Display/Resolution/Width", CTQProperty(800)); // overwrites
    EXPECT_EQ(server.GetAttributeCount(), 2);
    EXPECT_EQ(AttributeNames(server), (std::vector<std::string>{"Audio/Output/Speakers", "Display/Resolution/Width"}));
    EXPECT_EQ(server["Display/Resolution/Width"].GetInt(), 800);
    EXPECT_EQ(std::string(server.GetAttribute("Audio/Output/Speakers").GetString().GetString()), "stereo");

    EXPECT_TRUE(server.RemoveAttribute("Audio/Output/Speakers"));
    EXPECT_FALSE(server.RemoveAttribute("Audio/Output/Speakers"));
    EXPECT_FALSE(server.HasAttribute("Audio/Output/Speakers"));
    server.RemoveAllAttributes();
    EXPECT_EQ(server.GetAttributeCount(), 0);
}

TEST(CTQEnvironmentServerTest, ReadingAMissingAttributeThroughConstDoesNotAddIt)
{
    CTQEnvironmentServer server;
    const CTQEnvironmentServer& view = server;
    EXPECT_TRUE(view["Framekit/GameTime/OutputFormat"].IsEmpty());
    EXPECT_FALSE(server.HasAttribute("Framekit/GameTime/OutputFormat"));
    server["Display/Type"] = CTQProperty("headless");
    EXPECT_TRUE(server.HasAttribute("Display/Type"));
}

// --- Singletons -----------------------------------------------------------------------

TEST(CTQEnvironmentServerTest, SingletonsAreIntegerAttributes)
{
    CTQEnvironmentServer server;
    server.SetSingleton("Player", 7);
    server.SetSingleton("World", 0);
    EXPECT_EQ(server.GetSingleton("Player"), 7);
    EXPECT_EQ(server.GetSingleton("World"), 0);
    EXPECT_TRUE(server.GetAttribute("Player").IsInteger());
    EXPECT_EQ(server.GetAttribute("Player").GetInt(), 7);
}

TEST(CTQEnvironmentServerTest, MissingSingletonIsMinusOneNotTheValidIdZero)
{
    CWarningCounter warnings;
    CTQEnvironmentServer server;
    EXPECT_EQ(server.GetSingleton("Nobody"), -1);
    EXPECT_FALSE(server.HasAttribute("Nobody"));
    server.SetAttribute("Language", CTQProperty("en"));
    EXPECT_EQ(server.GetSingleton("Language"), -1);
    EXPECT_EQ(warnings.Get(), 1);
}

// --- Settings from a resource -----------------------------------------------------------

namespace
{
class CTQEnvironmentServerResourceTest : public ::testing::Test
{
protected:
    std::int32_t MakeResource(std::initializer_list<std::pair<const char*, CTQProperty>> attributes)
    {
        std::int32_t id = m_oResources.CreateResource("environment", "CTQResource");
        CTQResource* resource = m_oResources.QueryResource(id);
        for (const auto& [name, value] : attributes)
            resource->SetAttribute(name, value);
        m_oResources.ReleaseResource(id);
        return id;
    }

    CTQLocalResourceDatabase m_oResources;
};
} // namespace

TEST_F(CTQEnvironmentServerResourceTest, InitDataReplacesTheAttributesWithTheResources)
{
    std::int32_t id = MakeResource({{"Framekit/GameTime/OutputFormat", CTQProperty(1)},
                                    {"Language", CTQProperty("de")},
                                    {"Gravity", CTQProperty(9.81f)}});
    CTQEnvironmentServer server;
    server.SetAttribute("Stale", CTQProperty(3));
    EXPECT_TRUE(server.InitData(id));
    EXPECT_EQ(AttributeNames(server),
              (std::vector<std::string>{"Framekit/GameTime/OutputFormat", "Gravity", "Language"}));
    EXPECT_TRUE(server["Framekit/GameTime/OutputFormat"].IsInteger());
    EXPECT_EQ(server["Framekit/GameTime/OutputFormat"].GetInt(), 1);
    EXPECT_TRUE(server["Gravity"].IsNumber());
    EXPECT_EQ(server["Gravity"].GetFloat(), 9.81f);
    EXPECT_EQ(std::string(server["Language"].GetString().GetString()), "de");
    EXPECT_EQ(server.GetAssociatedResourceId(), id);
    // The resource got its reference back.
    EXPECT_EQ(m_oResources.ReleaseResource(id), 0);
}

TEST_F(CTQEnvironmentServerResourceTest, InitDataOfAMissingResourceKeepsTheSettings)
{
    CTQEnvironmentServer server;
    server.SetAttribute("Display/Resolution/Width", CTQProperty(1024));
    server.SetSingleton("Player", 4);
    EXPECT_TRUE(server.InitData(999));
    EXPECT_EQ(server.GetAttributeCount(), 2);
    EXPECT_EQ(server.GetSingleton("Player"), 4);
    EXPECT_EQ(server.GetAssociatedResourceId(), 999);
}

TEST(CTQEnvironmentServerTest, InitDataWithoutAnyResourceDatabaseKeepsTheSettings)
{
    ASSERT_EQ(TQGetResourceDatabase(), nullptr);
    CTQEnvironmentServer server;
    server.SetAttribute("Framekit/GameTime/OutputFormat", CTQProperty(1));
    EXPECT_TRUE(server.InitData(0));
    EXPECT_EQ(server["Framekit/GameTime/OutputFormat"].GetInt(), 1);
}
