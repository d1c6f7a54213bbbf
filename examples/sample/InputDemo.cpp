// Scripted input through the headless devices: recorded to a file, played back
// with its timing, and the played-back events compared with the live ones.

#include "SampleSections.h"

#include <Framekit.h>
#include <FramekitHeadless/HeadlessInput.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
struct sSeen
{
    std::int32_t type, device, value, x, y;
    bool operator==(const sSeen&) const = default;
};

// What a game does once per frame: read and empty the queue under its lock.
std::vector<sSeen> ReadQueue(CTQInputServer& server)
{
    std::vector<sSeen> seen;
    server.LockEventQueue();
    std::int32_t index = 0;
    std::int32_t eventId = -1;
    for (bool more = server.GetFirstEventInQueue(index, eventId); more;
         more = server.GetNextEventInQueue(index, eventId))
    {
        if (CTQInputEvent* event = server.QueryEvent(eventId))
        {
            seen.push_back({static_cast<std::int32_t>(event->GetEventType()), event->GetDeviceId(), event->GetKey(),
                            event->GetXPos(), event->GetYPos()});
            server.ReleaseEvent(eventId);
        }
        server.RemoveEventFromQueue(index);
    }
    server.UnlockEventQueue();
    return seen;
}

void Print(const char* what, const std::vector<sSeen>& events)
{
    std::printf("%s:", what);
    for (const sSeen& e : events)
        std::printf(" [type %d dev %d value %d at %d,%d]", e.type, e.device, e.value, e.x, e.y);
    std::printf("\n");
}

bool PrintCursor(int x, int y)
{
    std::printf("  cursor placed at %d,%d\n", x, y);
    return true;
}
} // namespace

void ShowInput()
{
    std::printf("\n-- input: record and play back\n");
    CTQManualClock clock(10.0);
    ITQTimeSource* previousClock = TQSetTimeSource(&clock);
    PFN_SYSSetCursorPos previousCursor = SYS_SetCursorPosHook(PrintCursor);
    {
        CTQObjectDatabase database;
        CTQHeadlessInputServer server;
        server.CreateDevices();
        const std::int32_t recorderId = database.CreateObject("CTQInputRecorder");
        auto* recorder = static_cast<CTQInputRecorder*>(database.QueryObject(recorderId));
        database.ReleaseObject(recorderId);
        server.InstallModifier(10, recorderId);
        const std::string path = (std::filesystem::temp_directory_path() / "framekit-sample.rec").string();

        recorder->Record(path.c_str());
        std::vector<sSeen> live;
        auto frame = [&](double at) {
            clock.Set(at);
            server.Trigger();
            for (const sSeen& e : ReadQueue(server))
                live.push_back(e);
        };
        server.GetKeyboard()->TapKey('W');
        frame(10.0);
        server.GetMouse()->MoveTo(320, 200);
        frame(10.5);
        server.GetMouse()->Click(0, 330, 210);
        frame(11.0);
        recorder->Stop();
        Print("live", live);

        std::vector<sSeen> played;
        recorder->Play(path.c_str());
        for (double t = 20.0; t <= 21.5; t += 0.25)
        {
            clock.Set(t);
            server.Trigger();
            for (const sSeen& e : ReadQueue(server))
                played.push_back(e);
        }
        Print("played", played);
        std::printf("played back equals recorded: %s\n", played == live ? "yes" : "NO");
        recorder->Stop();
        std::filesystem::remove(path);
    }
    SYS_SetCursorPosHook(previousCursor);
    TQSetTimeSource(previousClock);
}

void ShowCalendar()
{
    std::printf("\n-- calendar\n");
    CTQManualClock clock(0.0);
    ITQTimeSource* previousClock = TQSetTimeSource(&clock);
    {
        CTQObjectDatabase database;
        CTQEnvironmentServer environment;
        const std::int32_t clockId = database.CreateObject("CTQGameclock");
        auto* gameClock = static_cast<CTQGameclock*>(database.QueryObject(clockId));
        CTQGameTime start(28.0f, 2, 1801);
        gameClock->SetTime(start);
        gameClock->Start();
        const double secondsPerDay = gameClock->GameDaysToRealTime(1.0f) / 1000.0;
        for (int frame = 0; frame < 4; ++frame)
        {
            std::printf("day %d: %s\n", frame, gameClock->GetTime().Format().GetString());
            clock.Advance(secondsPerDay);
            gameClock->Update();
        }
        environment.SetAttribute("Framekit/GameTime/OutputFormat", CTQProperty(1));
        std::printf("the same date in format 1: %s\n", gameClock->GetTime().Format().GetString());
        database.ReleaseObject(clockId);
    }
    TQSetTimeSource(previousClock);
}
