#include <Plinth/CTQParams.h>

#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include "TQPropertyIO.h"

int CTQParams::_m_nDataFormatVersion = 0x100;

namespace
{
CTQProperty& MissingParam(int index, int count)
{
    Debug_Warning("CTQParams::Get(): index %d out of range (%d parameters)\n", index, count);
    static thread_local CTQProperty s_oMissing;
    s_oMissing.Clear();
    return s_oMissing;
}
} // namespace

CTQParams::CTQParams() = default;
CTQParams::~CTQParams() = default;
CTQParams::CTQParams(const CTQParams& other) = default;
CTQParams& CTQParams::operator=(const CTQParams& other) = default;
CTQParams::CTQParams(CTQParams&& other) noexcept = default;
CTQParams& CTQParams::operator=(CTQParams&& other) noexcept = default;

CTQProperty& CTQParams::Get(int index)
{
    if (index < 0 || index >= GetCount())
        return MissingParam(index, GetCount());
    return m_aParams[static_cast<std::size_t>(index)];
}

const CTQProperty& CTQParams::Get(int index) const
{
    if (index < 0 || index >= GetCount())
        return MissingParam(index, GetCount());
    return m_aParams[static_cast<std::size_t>(index)];
}

int CTQParams::Add(const CTQProperty& value)
{
    m_aParams.push_back(value);
    return GetCount() - 1;
}

bool CTQParams::Remove(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_aParams.erase(m_aParams.begin() + index);
    return true;
}

void CTQParams::RemoveAll()
{
    m_aParams.clear();
}

bool CTQParams::Serialize(CTQDataStream& stream)
{
    if (stream.IsStoring())
    {
        stream.Write(static_cast<std::int32_t>(GetCount()));
        for (const CTQProperty& param : m_aParams)
            TQPropertyIO::WriteValue(stream, param);
        return true;
    }

    RemoveAll();
    std::int32_t count = 0;
    if (!stream.Read(count))
        return false;
    if (count < 0 || !stream.CheckCount(static_cast<std::uint32_t>(count), TQPropertyIO::kMinValueSize))
    {
        stream.SetFailed();
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i)
    {
        CTQProperty param;
        if (!TQPropertyIO::ReadValue(stream, param))
            return false;
        m_aParams.push_back(param);
    }
    return true;
}
