#pragma once

#include <Framekit/FramekitExport.h>

#include <cstdint>

class CTQString;

// The base of the game's application object: starts and ends the instance and
// loads and stores the profile settings around it.
//
// The game constructs one (it becomes the current application), calls
// InitInstance, then Run, then ExitInstance.
class FRAMEKIT_API CTQApplication
{
public:
    // The new application becomes the current one.
    CTQApplication();
    CTQApplication(const CTQApplication&) = delete;
    CTQApplication& operator=(const CTQApplication&) = delete;
    // Stops being current if it is.
    virtual ~CTQApplication();

    // Reads the profile settings; only when that succeeds is the instance handle
    // kept. The command line is left to the game's class.
    virtual bool InitInstance(std::uint32_t instance, const CTQString& commandLine);
    // Writes the profile settings: 0 when that succeeds, -1 otherwise.
    virtual int ExitInstance();
    // The game's main loop: runs frames until the game ends and returns the
    // process's exit code.
    virtual int Run() = 0;
    // Where and what a game stores is its own; the base has nothing to store.
    virtual bool ReadProfileSettings();
    virtual bool WriteProfileSettings();

    // 0 until InitInstance succeeds.
    std::uint32_t GetInstanceHandle() const;

private:
    std::uint32_t m_nInstance = 0;
};

// The current application, or null.
FRAMEKIT_API CTQApplication* TQGetApplication();
