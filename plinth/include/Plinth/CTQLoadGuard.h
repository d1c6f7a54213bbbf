#pragma once

#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

#include <mutex>

// Progress of a long load, from 0 to 1. Loaders advance it in steps through
// Instance(step, stage); a game that shows a loading bar installs a progress
// hook, which is called after every step with the new progress and the stage
// text of that step (null when the step named none). The game calls Reset()
// before a load starts. Progress never leaves [0, 1]: steps that would overshoot
// stop at 1, negative ones at 0.
class PLINTH_API CTQLoadGuard
{
public:
    using PFN_Progress = void (*)(float progress, const char* stage, void* user);

    static CTQLoadGuard& Instance();
    // Advances the shared guard by step and returns it.
    static CTQLoadGuard& Instance(float step, const char* stage = nullptr);

    CTQLoadGuard(const CTQLoadGuard&) = delete;
    CTQLoadGuard& operator=(const CTQLoadGuard&) = delete;

    void Reset();
    // A step that is not a number is ignored.
    void Advance(float step, const char* stage = nullptr);
    float GetProgress() const;
    // The stage text of the last step that named one.
    CTQString GetStage() const;
    // Installs a hook (null: none); the hook runs on the thread that advanced,
    // outside the guard's lock, so it may read the guard.
    void SetProgressHook(PFN_Progress hook, void* user);

private:
    CTQLoadGuard() = default;

    mutable std::mutex m_oMutex;
    float m_fProgress = 0.0f;
    CTQString m_sStage;
    PFN_Progress m_pfnHook = nullptr;
    void* m_pHookUser = nullptr;
};
