#include <Framekit/Resources/CTQMeshVisualRes.h>

#include <Plinth/CFileIO.h>

#include <utility>

TQ_IMPLEMENT_CLASS_TYPE(CTQMeshVisualRes, CTQ3DVisualRes, kTQDefaultDataFormatVersion)
TQ_REGISTER_RESOURCE_FACTORY(CTQMeshVisualRes)

namespace
{
constexpr std::uint16_t kMarker = 0;
constexpr std::uint16_t kVersion = 0;
} // namespace

CTQMeshVisualRes::CTQMeshVisualRes() = default;
CTQMeshVisualRes::~CTQMeshVisualRes() = default;

bool CTQMeshVisualRes::Save(CFileIO* file)
{
    return CTQ3DVisualRes::Save(file) && file->WriteUInt16(kMarker) && file->WriteUInt16(kVersion) &&
           file->WriteString(m_sMeshFilename);
}

bool CTQMeshVisualRes::Load(CFileIO* file)
{
    std::uint16_t marker = 1;
    std::uint16_t version = 1;
    CTQString name;
    if (!CTQ3DVisualRes::Load(file) || !file->ReadUInt16(marker) || marker != kMarker ||
        !file->ReadUInt16(version) || version != kVersion || !file->ReadString(name))
        return false;
    m_sMeshFilename = std::move(name);
    return true;
}

CTQString CTQMeshVisualRes::GetAssociatedCommandObjectNode() const
{
    return "CTQMeshVisualResEditorComObj";
}

void CTQMeshVisualRes::SetMeshFilename(CTQString name)
{
    m_sMeshFilename = std::move(name);
}

CTQString CTQMeshVisualRes::GetMeshFilename() const
{
    return m_sMeshFilename;
}
