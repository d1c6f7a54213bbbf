// The sample game: shows, step by step, what the library does for a game.

#include <Framekit.h>

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

    static constexpr std::int32_t kEventDamage = 1;
    std::int32_t health = 100;
};
TQ_IMPLEMENT_CLASS_TYPE(CGameCrate, CTQObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CGameCrate)

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
    ShowNodeTree();
    ShowObjects((std::filesystem::temp_directory_path() / "framekit-sample.sav").string());
    return 0;
}
