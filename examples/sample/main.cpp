// The sample game: shows, step by step, what the library does for a game.

#include "SampleSections.h"
#include "SampleSupport.h"

#include <Framekit.h>
#include <Framekit/Resources/Resources.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace
{
// A game's own object class, registered by name like the library's.
class CGameCrate : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CGameCrate)

    std::int32_t GetSerializationMode() const override
    {
        return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    }

    void Serialize(CTQDataStream& s) override
    {
        CTQObject::Serialize(s);
        s.Serialize(health);
    }

    bool DispatchEvent(std::int32_t eventId, std::int32_t p1, std::uint32_t, std::uint32_t, std::uint32_t,
                       std::uint32_t) override
    {
        if (eventId != kEventDamage)
            return false;
        health -= p1;
        std::printf("  crate %d takes %d damage, health %d\n", GetId(), p1, health);
        return true;
    }

    // Its settings come from the resource it is built from; the mesh it refers to
    // gives its size.
    bool InitData(std::int32_t resourceId) override
    {
        std::int32_t meshId = -1;
        {
            CTQResourceRef res(resourceId);
            if (res.IsValid())
            {
                if (res->HasAttribute("nHealth"))
                    health = (*res)["nHealth"];
                if (res->HasAttribute("szLabel"))
                    label = (*res)["szLabel"].GetString();
                meshId = res->GetReferenceId("refMesh");
            }
        }
        CTQResourceRef mesh(meshId);
        if (mesh.IsValid() && mesh->IsOfType(CTQ3DVisualRes::GetClassType()))
        {
            static_cast<CTQ3DVisualRes*>(mesh.Get())->GetBounds(boundsMin, boundsMax);
            triangles = static_cast<CTQ3DVisualRes*>(mesh.Get())->GetTriangleCount();
        }
        return CTQObject::InitData(resourceId);
    }

    static constexpr std::int32_t kEventDamage = 1;
    std::int32_t health = 100;
    CTQString label;
    CTQVector3 boundsMin;
    CTQVector3 boundsMax;
    std::int32_t triangles = 0;
};
TQ_IMPLEMENT_CLASS_TYPE(CGameCrate, CTQObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CGameCrate)

// Another of the game's classes, built only from resources in this sample.
class CGameLamp : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CGameLamp)

    bool InitData(std::int32_t resourceId) override
    {
        CTQResourceRef res(resourceId);
        if (res.IsValid() && res->HasAttribute("fBrightness"))
            brightness = (*res)["fBrightness"];
        if (res.IsValid() && res->HasAttribute("bOn"))
            on = (*res)["bOn"];
        return CTQObject::InitData(resourceId);
    }

    float brightness = 1.0f;
    bool on = false;
};
TQ_IMPLEMENT_CLASS_TYPE(CGameLamp, CTQObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CGameLamp)

template <class TFactory>
void ListFactory()
{
    std::printf("%s:", TFactory::GetFactoryName());
    CTQString name;
    for (bool ok = TFactory::GetFirst(name); ok; ok = TFactory::GetNext(CTQString(name), name))
        std::printf(" %s", name.GetString());
    std::printf("\n");
}

void PrintTree(const CTQNode& node, int depth)
{
    CTQPath path;
    node.GetPath(path);
    std::printf("%*s%s  (%s, path %s)\n", depth * 2, "", node.GetName().GetString(),
                node.GetType().GetName().GetString(), path.GetPath().GetString());
    CTQString child;
    for (bool ok = node.GetFirstChild(child); ok; ok = node.GetNextChild(CTQString(child), child))
        PrintTree(*node.GetChild(child), depth + 1);
}

void ShowNodeTree()
{
    std::printf("\n-- node tree\n");
    CTQNamespace& ns = CTQNamespace::Instance();
    for (const char* path : {"$/net/db", "$/net/factory", "$/game/levels/intro", "game/levels/outro"})
        ns.New(CTQPath(path), "CTQNode");
    PrintTree(*ns.GetRoot(), 0);
}

void ShowObjects(const std::string& savePath)
{
    std::printf("\n-- objects\n");
    CTQManualClock clock;
    ITQTimeSource* previousClock = TQSetTimeSource(&clock);
    auto* database = new CTQObjectDatabase();
    auto* events = new CTQEventHandler();

    const std::int32_t first = database->CreateObject("CGameCrate");
    const std::int32_t second = database->CreateObject("CGameCrate");
    std::printf("created crates %d and %d; %d objects live\n", first, second, database->GetCount());

    events->Trigger(CGameCrate::kEventDamage, first, 10, 0, 0, 0, 0);
    events->DelayedTrigger(CGameCrate::kEventDamage, 0.05, second, 25, 0, 0, 0, 0);
    for (int frame = 0; frame < 5; ++frame)
    {
        std::printf("frame %d (t = %.3f s)\n", frame, CTimer::GetCurTime());
        events->Update();
        clock.Advance(1.0 / 60.0);
    }

    CFileIO file;
    try
    {
        file.Open(savePath.c_str(), CFileIO::eWrite);
    }
    catch (CFileIOException* e)
    {
        e->ReportError();
        e->Delete();
    }
    std::printf("saved: %s\n", database->Save(&file) ? "yes" : "no");
    file.Close();

    delete database;
    database = new CTQObjectDatabase();
    try
    {
        file.Open(savePath.c_str(), CFileIO::eRead);
    }
    catch (CFileIOException* e)
    {
        e->ReportError();
        e->Delete();
    }
    const bool loaded = database->Load(&file);
    std::printf("reloaded: %s, %d objects live\n", loaded ? "yes" : "no", database->GetCount());
    file.Close();
    for (std::int32_t id : {first, second})
    {
        if (auto* crate = static_cast<CGameCrate*>(database->QueryObject(id)))
        {
            std::printf("  crate %d health %d\n", id, crate->health);
            database->ReleaseObject(id);
        }
    }
    database->Dump();

    delete events;
    delete database;
    TQSetTimeSource(previousClock);
    std::filesystem::remove(savePath);
}

void PrintMadeObject(CTQObjectDatabase& objects, std::int32_t id)
{
    CTQObject* object = objects.QueryObject(id);
    if (!object)
        return;
    std::printf("  object %d, a %s", id, object->GetType().GetName().GetString());
    if (object->IsOfType(CGameCrate::GetClassType()))
    {
        auto* crate = static_cast<CGameCrate*>(object);
        std::printf(": %s, health %d, %d triangles from (%g, %g, %g) to (%g, %g, %g)", crate->label.GetString(),
                    crate->health, crate->triangles, crate->boundsMin.x, crate->boundsMin.y, crate->boundsMin.z,
                    crate->boundsMax.x, crate->boundsMax.y, crate->boundsMax.z);
    }
    else if (object->IsOfType(CGameLamp::GetClassType()))
    {
        auto* lamp = static_cast<CGameLamp*>(object);
        std::printf(": brightness %.2f, %s", lamp->brightness, lamp->on ? "on" : "off");
    }
    std::printf("\n");
    objects.ReleaseObject(id);
}

// The level's resource file, built from level.json by framekit-res, is loaded and
// every resource that names a class becomes an object of that class.
void ShowResources(const char* levelPath)
{
    std::printf("\n-- resources\n");
    auto* classes = new CTQResourceClassDatabase();
    auto* resources = new CTQLocalResourceDatabase();
    auto* objects = new CTQObjectDatabase();

    const bool loaded = LoadLevel(*resources, levelPath);
    std::printf("loaded %s: %s, %d resources\n", levelPath, loaded ? "yes" : "no", resources->GetCount());

    std::int32_t id = -1;
    std::int32_t cursor = 0;
    CTQString resourceClass;
    for (bool more = resources->GetFirstResource(id, resourceClass, cursor); more;
         more = resources->GetNextResource(id, resourceClass, cursor))
    {
        CTQResourceRef res(id);
        std::printf("resource %d '%s' (%s)", id, res->GetName().GetString(), res->GetType().GetName().GetString());
        if (res->GetAssociatedClassType().IsEmpty())
        {
            std::printf(", builds no object\n");
            continue;
        }
        const std::int32_t objectId = objects->CreateObjectFromResource(id);
        std::printf(" -> %s\n", objectId == -1 ? "no object" : "made");
        PrintMadeObject(*objects, objectId);
    }

    delete objects;
    delete resources;
    delete classes;
}

// Diagnostics go where the game wants them; here, in line with the rest.
void PrintDiagnostic(const TQLogMessage& message, void*)
{
    std::printf("  [log] %s", message.text);
}
} // namespace

int main()
{
    TQSetLogSink(PrintDiagnostic);
    std::printf("Framekit sample\n\n-- registered classes\n");
    ListFactory<CTQNodeFactory>();
    ListFactory<CTQObjectFactory>();
    ListFactory<CTQResourceFactory>();
    ShowNodeTree();
    ShowObjects((std::filesystem::temp_directory_path() / "framekit-sample.sav").string());
#ifdef FRAMEKIT_SAMPLE_LEVEL
    ShowResources(FRAMEKIT_SAMPLE_LEVEL);
    ShowDisplay(FRAMEKIT_SAMPLE_LEVEL);
#endif
    ShowInput();
    ShowCalendar();
#ifdef FRAMEKIT_SAMPLE_LEVEL
    ShowSpatial(FRAMEKIT_SAMPLE_LEVEL);
#endif
    return 0;
}
