#include <Plinth/CTQLoadGuard.h>

#include <algorithm>
#include <cmath>

CTQLoadGuard& CTQLoadGuard::Instance()
{
    static CTQLoadGuard s_guard;
    return s_guard;
}

CTQLoadGuard& CTQLoadGuard::Instance(float step, const char* stage)
{
    CTQLoadGuard& guard = Instance();
    guard.Advance(step, stage);
    return guard;
}

void CTQLoadGuard::Reset()
{
    std::lock_guard<std::mutex> lock(m_oMutex);
    m_fProgress = 0.0f;
    m_sStage.Empty();
}

void CTQLoadGuard::Advance(float step, const char* stage)
{
    if (std::isnan(step))
        return;
    PFN_Progress hook;
    void* user;
    float progress;
    {
        std::lock_guard<std::mutex> lock(m_oMutex);
        m_fProgress = std::clamp(m_fProgress + step, 0.0f, 1.0f);
        if (stage)
            m_sStage = stage;
        progress = m_fProgress;
        hook = m_pfnHook;
        user = m_pHookUser;
    }
    if (hook)
        hook(progress, stage, user);
}

float CTQLoadGuard::GetProgress() const
{
    std::lock_guard<std::mutex> lock(m_oMutex);
    return m_fProgress;
}

CTQString CTQLoadGuard::GetStage() const
{
    std::lock_guard<std::mutex> lock(m_oMutex);
    return m_sStage;
}

void CTQLoadGuard::SetProgressHook(PFN_Progress hook, void* user)
{
    std::lock_guard<std::mutex> lock(m_oMutex);
    m_pfnHook = hook;
    m_pHookUser = hook ? user : nullptr;
}
