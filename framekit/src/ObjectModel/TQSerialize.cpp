#include <Framekit/ObjectModel/TQSerialize.h>

int TQSerializeBegin(CTQDataStream& s, int classVersion)
{
    if (classVersion == kTQUnversioned)
        return classVersion;
    return s.SerializeBegin(s.IsStoring() ? classVersion : -1);
}

void TQSerializeEnd(CTQDataStream& s, int classVersion)
{
    if (classVersion != kTQUnversioned)
        s.SerializeEnd();
}

namespace
{
constexpr std::int32_t kStringResourceMarker = -1;

void StoreString(CTQDataStream& s, const CTQString& value)
{
    if (value.IsIdenticalToStringResource())
    {
        s.Write(kStringResourceMarker);
        s.Write(value.GetStringResourceId());
        return;
    }
    s.Write(static_cast<std::int32_t>(value.GetLength()));
    s.Put(value.GetString(), static_cast<std::uint32_t>(value.GetLength()));
}

bool LoadString(CTQDataStream& s, CTQString& value)
{
    value.Empty();
    std::int32_t length = 0;
    if (!s.Read(length))
        return false;
    if (length == kStringResourceMarker)
    {
        std::int32_t id = -1;
        if (!s.Read(id))
            return false;
        // A missing resource leaves the text empty but remembers which it was.
        if (!value.LoadStringResource(id))
            value.SetStringResourceId(id);
        return true;
    }
    if (length < 0 || !s.CheckCount(static_cast<std::uint32_t>(length), 1))
    {
        s.SetFailed();
        return false;
    }
    if (length > 0)
    {
        char* buffer = value.GetBuffer(length);
        s.Get(buffer, static_cast<std::uint32_t>(length));
        value.ReleaseBuffer(length);
    }
    return true;
}
} // namespace

bool TQSerializeString(CTQDataStream& s, CTQString& value)
{
    if (s.IsStoring())
    {
        StoreString(s, value);
        return true;
    }
    return LoadString(s, value);
}
