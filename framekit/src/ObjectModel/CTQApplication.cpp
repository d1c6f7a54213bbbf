#include <Framekit/ObjectModel/CTQApplication.h>

#include <Plinth/CTQString.h>

namespace
{
CTQApplication* s_pCurrentApplication = nullptr;
} // namespace

CTQApplication* TQGetApplication()
{
    return s_pCurrentApplication;
}

CTQApplication::CTQApplication()
{
    s_pCurrentApplication = this;
}

CTQApplication::~CTQApplication()
{
    if (s_pCurrentApplication == this)
        s_pCurrentApplication = nullptr;
}

bool CTQApplication::InitInstance(std::uint32_t instance, const CTQString& /*commandLine*/)
{
    const bool read = ReadProfileSettings();
    if (read)
        m_nInstance = instance;
    return read;
}

int CTQApplication::ExitInstance()
{
    return WriteProfileSettings() ? 0 : -1;
}

bool CTQApplication::ReadProfileSettings()
{
    return true;
}

bool CTQApplication::WriteProfileSettings()
{
    return true;
}

std::uint32_t CTQApplication::GetInstanceHandle() const
{
    return m_nInstance;
}
