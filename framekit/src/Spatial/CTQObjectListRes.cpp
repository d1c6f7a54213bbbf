#include <Framekit/Spatial/CTQObjectListRes.h>

#include <Plinth/CFileIO.h>
#include <Plinth/Log.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQObjectListRes, CTQResource, kTQDefaultDataFormatVersion)
TQ_REGISTER_RESOURCE_FACTORY(CTQObjectListRes)

namespace
{
// Records before this version turn their placements about Z only.
constexpr std::uint16_t kFirstVersionWithFullRotation = 4;
// Bytes of one stored placement: resource id, position, rotation, flags.
constexpr std::int64_t kPlacementBytes = 4 + 12 + 12 + 2;
constexpr std::int64_t kOldPlacementBytes = 4 + 12 + 4 + 2;
// The next index that closes the record.
constexpr std::int64_t kTrailerBytes = 4;

bool ReadVector(CFileIO* file, CTQVector3& v)
{
    return file->ReadFloat(v.x) && file->ReadFloat(v.y) && file->ReadFloat(v.z);
}
} // namespace

CTQObjectListRes::CTQObjectListRes() = default;
CTQObjectListRes::~CTQObjectListRes() = default;

CTQString CTQObjectListRes::GetAssociatedCommandObjectNode() const
{
    return "CTQObjectListResEditorComObj";
}

bool CTQObjectListRes::Copy(CTQResource* other)
{
    if (!CTQResource::Copy(other))
        return false;
    if (other->IsOfType(GetClassType()))
    {
        const auto* list = static_cast<const CTQObjectListRes*>(other);
        m_oObjects = list->m_oObjects;
        m_nNextIndex = list->m_nNextIndex;
    }
    return true;
}

// ---- Placements ------------------------------------------------------------------

int CTQObjectListRes::AddObject(std::int32_t resourceId)
{
    sObjectList entry;
    entry.nResourceId = resourceId;
    return AddObject(entry);
}

int CTQObjectListRes::AddObject(sObjectList entry)
{
    const int index = m_nNextIndex++;
    m_oObjects[index] = entry;
    return index;
}

void CTQObjectListRes::RemoveObject(int index)
{
    m_oObjects.erase(index);
}

void CTQObjectListRes::RemoveObjectWithSpecificId(std::int32_t resourceId)
{
    std::erase_if(m_oObjects, [resourceId](const auto& item) { return item.second.nResourceId == resourceId; });
}

void CTQObjectListRes::RemoveAllObjects()
{
    m_oObjects.clear();
}

sObjectList* CTQObjectListRes::Touch(int index)
{
    if (index < 0)
        return nullptr;
    if (index >= m_nNextIndex)
        m_nNextIndex = index + 1;
    return &m_oObjects[index];
}

void CTQObjectListRes::UpdateObject(int index, float x, float y, float z, CTQVector3 rotation)
{
    if (sObjectList* entry = Touch(index))
    {
        entry->fX = x;
        entry->fY = y;
        entry->fZ = z;
        entry->vRotation = rotation;
    }
}

void CTQObjectListRes::UpdateObject(int index, float x, float y, CTQVector3 rotation)
{
    UpdateObject(index, x, y, 0.0f, rotation);
}

void CTQObjectListRes::SetPos(int index, float x, float y, float z)
{
    if (sObjectList* entry = Touch(index))
    {
        entry->fX = x;
        entry->fY = y;
        entry->fZ = z;
    }
}

void CTQObjectListRes::SetRotation(int index, CTQVector3 rotation)
{
    if (sObjectList* entry = Touch(index))
        entry->vRotation = rotation;
}

void CTQObjectListRes::SetObjectFlags(int index, unsigned short flags)
{
    if (sObjectList* entry = Touch(index))
        entry->nFlags = flags;
}

CTQVector3 CTQObjectListRes::GetRotation(int index) const
{
    auto it = m_oObjects.find(index);
    return it == m_oObjects.end() ? CTQVector3() : it->second.vRotation;
}

std::int32_t CTQObjectListRes::GetResourceId(int index) const
{
    auto it = m_oObjects.find(index);
    return it == m_oObjects.end() ? -1 : it->second.nResourceId;
}

unsigned short CTQObjectListRes::GetObjectFlags(int index) const
{
    auto it = m_oObjects.find(index);
    return it == m_oObjects.end() ? 0 : it->second.nFlags;
}

bool CTQObjectListRes::IsObjectHeightFixed(int index) const
{
    return (GetObjectFlags(index) & sObjectList::kFlagHeightFixed) != 0;
}

int CTQObjectListRes::GetObjectCount() const
{
    return static_cast<int>(m_oObjects.size());
}

bool CTQObjectListRes::GetFirstObject(sObjectList& entry, int& index, std::int32_t& cursor) const
{
    if (m_oObjects.empty())
        return false;
    const auto& [first, placement] = *m_oObjects.begin();
    entry = placement;
    index = first;
    cursor = first;
    return true;
}

bool CTQObjectListRes::GetNextObject(sObjectList& entry, int& index, std::int32_t& cursor) const
{
    auto it = m_oObjects.upper_bound(cursor);
    if (it == m_oObjects.end())
        return false;
    entry = it->second;
    index = it->first;
    cursor = it->first;
    return true;
}

// ---- Record ---------------------------------------------------------------------------

bool CTQObjectListRes::Save(CFileIO* file)
{
    if (!CTQResource::Save(file) || !file->WriteUInt16(kRecordVersion) || !file->WriteUInt16(0) ||
        !file->WriteInt32(static_cast<std::int32_t>(m_oObjects.size())))
        return false;
    for (const auto& [index, entry] : m_oObjects)
    {
        if (!file->WriteInt32(entry.nResourceId) || !file->WriteFloat(entry.fX) || !file->WriteFloat(entry.fY) ||
            !file->WriteFloat(entry.fZ) || !file->WriteFloat(entry.vRotation.x) ||
            !file->WriteFloat(entry.vRotation.y) || !file->WriteFloat(entry.vRotation.z) ||
            !file->WriteUInt16(entry.nFlags))
            return false;
    }
    return file->WriteInt32(m_nNextIndex);
}

// The placements are read aside and take the old ones' place only when the
// whole record was read.
bool CTQObjectListRes::Load(CFileIO* file)
{
    std::uint16_t version = 0;
    std::uint16_t reserved = 1;
    if (!CTQResource::Load(file) || !file->ReadUInt16(version) || !file->ReadUInt16(reserved) || reserved != 0)
        return false;
    std::map<int, sObjectList> placements;
    std::int32_t nextIndex = 0;
    if (!ReadPlacements(file, version, placements) || !file->ReadInt32(nextIndex))
    {
        Debug_Warning("CTQObjectListRes::Load(): the placements of resource %d are cut short", GetId());
        return false;
    }
    m_oObjects.swap(placements);
    m_nNextIndex = static_cast<int>(m_oObjects.size());
    return true;
}

bool CTQObjectListRes::ReadPlacements(CFileIO* file, std::uint16_t version, std::map<int, sObjectList>& out)
{
    const bool fullRotation = version >= kFirstVersionWithFullRotation;
    std::int32_t count = -1;
    const std::int64_t left = static_cast<std::int64_t>(file->GetSize()) - file->GetPosition();
    if (!file->ReadInt32(count) || count < 0 ||
        static_cast<std::int64_t>(count) * (fullRotation ? kPlacementBytes : kOldPlacementBytes) + kTrailerBytes >
            left - 4)
        return false;
    for (std::int32_t i = 0; i < count; ++i)
    {
        sObjectList entry;
        const bool read = file->ReadInt32(entry.nResourceId) && file->ReadFloat(entry.fX) &&
                          file->ReadFloat(entry.fY) && file->ReadFloat(entry.fZ) &&
                          (fullRotation ? ReadVector(file, entry.vRotation) : file->ReadFloat(entry.vRotation.z)) &&
                          file->ReadUInt16(entry.nFlags);
        if (!read)
            return false;
        out.emplace(i, entry);
    }
    return true;
}
