#include "DisplayTestSupport.h"

#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/ObjectModel/ITQDeviceClassInfixSource.h>

using namespace DisplayTest;

namespace
{
class CTQDisplayServerTest : public DisplayFixture
{
protected:
    CTQProbeDisplayServer* NewServer()
    {
        m_nServer = Create("CTQProbeDisplayServer");
        return Get<CTQProbeDisplayServer>(m_nServer);
    }

    CTQEnvironmentServer m_oEnvironment;
    std::int32_t m_nServer = -1;
};

std::string Tag(const CTQProbeDisplayServer& server, const char* mode, const char* tag, bool* found = nullptr)
{
    CTQString value("untouched");
    const bool ok = server.GetModeTag(mode, tag, value);
    if (found)
        *found = ok;
    return value.GetString();
}
} // namespace

TEST_F(CTQDisplayServerTest, AModeStringSetsOnlyTheTagsItNames)
{
    CTQProbeDisplayServer* server = NewServer();
    ASSERT_NE(server, nullptr);
    EXPECT_TRUE(server->SetDisplayMode("w(1024)h(768)"));
    EXPECT_EQ(server->GetDisplayWidth(), 1024);
    EXPECT_EQ(server->GetDisplayHeight(), 768);
    EXPECT_EQ(server->GetDisplayBPP(), -1);
    EXPECT_EQ(server->GetDisplayZBufferDepth(), -1);
    EXPECT_EQ(server->GetDisplaySBufferDepth(), -1);
    EXPECT_STREQ(server->GetDisplayMode(), "w(1024)h(768)");

    server->SetDisplayMode("dev(2) type(hal) bpp(32) zbuf(24) sbuf(8)");
    EXPECT_EQ(server->GetDisplayWidth(), 1024) << "a missing tag keeps its value";
    EXPECT_EQ(server->GetDisplayBPP(), 32);
    EXPECT_EQ(server->GetDisplayZBufferDepth(), 24);
    EXPECT_EQ(server->GetDisplaySBufferDepth(), 8);
    EXPECT_EQ(server->GetDisplayType(), CTQString("hal"));
    EXPECT_EQ(server->GetDisplayDevice(), CTQString("2"));
}

TEST_F(CTQDisplayServerTest, AModeIsPublishedToTheEnvironmentWhateverItNames)
{
    CTQProbeDisplayServer* server = NewServer();
    server->SetDisplayMode("type(soft) w(640) h(480)");
    EXPECT_EQ(m_oEnvironment.GetAttribute("Display/Resolution/Width").GetInt(), 640);
    EXPECT_EQ(m_oEnvironment.GetAttribute("Display/Resolution/Height").GetInt(), 480);
    EXPECT_EQ(m_oEnvironment.GetAttribute("Display/Resolution/BPP").GetInt(), -1);
    EXPECT_TRUE(m_oEnvironment.GetAttribute("Display/Type").IsString());
    EXPECT_EQ(m_oEnvironment.GetAttribute("Display/Type").GetString(), CTQString("soft"));
}

TEST_F(CTQDisplayServerTest, ModeTagsMatchOnlyWholeTags)
{
    CTQProbeDisplayServer* server = NewServer();
    bool found = true;
    EXPECT_EQ(Tag(*server, "sw(5)", "w", &found), "");
    EXPECT_FALSE(found) << "\"sw(\" holds \"w(\" but not the tag w";
    EXPECT_EQ(Tag(*server, "bpp(16)", "w", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(Tag(*server, "sw(5) w(7)", "w"), "7") << "the search goes on to the whole tag";
    EXPECT_EQ(Tag(*server, "x:w(9)", "w"), "9");
    EXPECT_EQ(Tag(*server, "dev_w(3)", "w", &found), "");
    EXPECT_FALSE(found);

    server->SetDisplayMode("sbuf(8) bpp(16)");
    EXPECT_EQ(server->GetDisplayBPP(), 16);
    EXPECT_EQ(server->GetDisplayWidth(), -1);
    EXPECT_EQ(server->GetDisplayHeight(), -1);
}

TEST_F(CTQDisplayServerTest, AMissingClosingBracketOrEmptyValueIsHandled)
{
    CTQProbeDisplayServer* server = NewServer();
    server->SetDisplayMode("w(640)");
    server->SetDisplayMode("w(800");
    EXPECT_EQ(server->GetDisplayWidth(), 640);
    bool found = true;
    EXPECT_EQ(Tag(*server, "w(800", "w", &found), "");
    EXPECT_FALSE(found);
    server->SetDisplayMode("type(hal)");
    server->SetDisplayMode("type()");
    EXPECT_EQ(server->GetDisplayType(), CTQString(""));
    EXPECT_EQ(Tag(*server, "type()", "type", &found), "");
    EXPECT_TRUE(found);
    EXPECT_TRUE(server->SetDisplayMode(nullptr));
    EXPECT_STREQ(server->GetDisplayMode(), "");
}

TEST_F(CTQDisplayServerTest, ViewportChildrenAreToldTheNewSize)
{
    CTQProbeDisplayServer* server = NewServer();
    std::int32_t viewportId = server->NewViewport();
    CTQProbeViewport* viewport = Get<CTQProbeViewport>(viewportId);
    ASSERT_NE(viewport, nullptr) << "CTQViewport is created under the device name CTQProbeViewport";
    std::int32_t camera = server->NewCamera();
    server->AddViewport(viewportId);
    server->AddViewport(camera);
    server->SetDisplayMode("w(800) h(600)");
    ASSERT_EQ(viewport->resizes.size(), 1u);
    EXPECT_EQ(viewport->resizes[0], CTQSize(800, 600));
    EXPECT_EQ(viewport->GetSize(), CTQSize(800, 600));
    server->RemoveViewport(viewportId);
    server->SetDisplayMode("w(640)");
    EXPECT_EQ(viewport->resizes.size(), 1u);
}

TEST_F(CTQDisplayServerTest, TheNewestServerIsCurrentUntilItIsDestroyed)
{
    EXPECT_EQ(TQGetDisplayServer(), nullptr);
    CTQProbeDisplayServer* first = NewServer();
    EXPECT_EQ(TQGetDisplayServer(), first);
    std::int32_t firstId = m_nServer;
    CTQProbeDisplayServer* second = NewServer();
    EXPECT_EQ(TQGetDisplayServer(), second);
    m_oDatabase.DestroyObject(firstId);
    EXPECT_EQ(TQGetDisplayServer(), second) << "destroying a server that is not current leaves the current one";
    EXPECT_EQ(TQGetDeviceClassInfixSource(), second);
    m_oDatabase.DestroyObject(m_nServer);
    EXPECT_EQ(TQGetDisplayServer(), nullptr);
    EXPECT_EQ(TQGetDeviceClassInfixSource(), nullptr);
}

TEST_F(CTQDisplayServerTest, TheObjectDatabaseRetriesWithTheServersInfix)
{
    EXPECT_EQ(Create("CTQViewport"), -1) << "no display server, no infix";
    NewServer();
    const std::int32_t id = Create("CTQViewport");
    ASSERT_NE(Get<CTQProbeViewport>(id), nullptr);
}

TEST_F(CTQDisplayServerTest, CreateObjectAsksForTheDeviceClassFirst)
{
    CTQProbeDisplayServer* server = NewServer();
    const std::int32_t viewport = server->CreateObject("CTQViewport");
    EXPECT_NE(Get<CTQProbeViewport>(viewport), nullptr);
    const std::int32_t before = m_oDatabase.GetCount();
    const std::int32_t scene = server->NewScene();
    ASSERT_NE(Get<CTQScene>(scene), nullptr) << "no CTQProbeScene: the plain scene stands in";
    EXPECT_EQ(scene, viewport + 1) << "no id is spent on a device name nobody registered";
    EXPECT_EQ(m_oDatabase.GetCount(), before + 1);
    EXPECT_EQ(server->CreateObject("CTQNoSuchThing"), -1);
    EXPECT_EQ(server->CreateObject(""), -1);
    server->DeleteScene(scene);
    EXPECT_EQ(Get<CTQScene>(scene), nullptr);
}

TEST_F(CTQDisplayServerTest, TheBaseHasNoModesAndOpensNothing)
{
    CTQProbeDisplayServer* server = NewServer();
    EXPECT_FALSE(server->CanChangeDisplayMode());
    EXPECT_FALSE(server->OpenDisplay());
    EXPECT_FALSE(server->IsDisplayOpen());
    server->BeginEnumDisplayModes();
    EXPECT_FALSE(server->HasMoredisplayModes());
    const _sTQDisplayModes& mode = server->GetNextDisplayMode();
    EXPECT_EQ(mode.aWords[0], 0u);
    server->EndEnumDisplayModes();
    EXPECT_EQ(server->GetSerializationMode(), 1);
}

TEST_F(CTQDisplayServerTest, StoredFormRoundTripsAndEmptyStringsStayEmpty)
{
    CTQProbeDisplayServer* server = NewServer();
    server->SetDisplayMode("type(hal) w(320) h(200) bpp(8)");
    server->AddViewport(42);
    const Bytes stored = Store(*server);

    // The display node part, then mode, type, device and the five numbers.
    const std::string mode = "type(hal) w(320) h(200) bpp(8)";
    ByteWriter expected;
    expected.Bracket(0x100, [&](ByteWriter& w) {
        w.ObjectPart(m_nServer).U8('L').I32(1).I32(42).U8('m').I32(1).I32(42).I32(0);
    });
    expected.Str(mode).Str("hal").Str("");
    expected.I32(320).I32(200).I32(8).I32(-1).I32(-1);
    EXPECT_EQ(stored, expected.Get());

    CTQProbeDisplayServer* other = NewServer();
    other->SetDisplayMode("dev(1) type(soft) w(1)");
    ASSERT_TRUE(Load(*other, stored));
    EXPECT_STREQ(other->GetDisplayMode(), mode.c_str());
    EXPECT_EQ(other->GetDisplayType(), CTQString("hal"));
    EXPECT_EQ(other->GetDisplayDevice(), CTQString("")) << "a stored empty string loads as empty";
    EXPECT_EQ(other->GetDisplayWidth(), 320);
    EXPECT_EQ(other->GetDisplaySBufferDepth(), -1);
    std::int32_t id = -1;
    std::int32_t cursor = -1;
    ASSERT_TRUE(other->GetFirstViewport(id, cursor));
    EXPECT_EQ(id, 42);
}
