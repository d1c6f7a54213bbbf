#include "ResFiles.h"
#include "ResJson.h"

#include <FramekitRes/CResBuilder.h>
#include <FramekitRes/CResReport.h>

#include <Framekit/Resources/CTQ3DVisualRes.h>
#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQMeshVisualRes.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Framekit/Resources/CTQResourceFactory.h>
#include <Framekit/Spatial/CTQObjectListRes.h>
#include <Plinth/CFileIO.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <utility>
#include <vector>

using ResJson::Json;

namespace
{
struct sReferenceDesc
{
    std::string sName;
    // By name: sTarget is a resource name of the file, resolved to nId later.
    bool bByName = false;
    std::string sTarget;
    std::int32_t nId = -1;
    bool bHasClass = false;
    std::string sClass;
};

struct sVisualDesc
{
    bool bHasVertexBuffer = false;
    std::string sVertexBuffer;
    bool bHasTexture = false;
    std::string sTexture;
    bool bHasMesh = false;
    std::string sMesh;
    // All four geometry keys, or none of them.
    bool bHasGeometry = false;
    CTQVector3 vMin;
    CTQVector3 vMax;
    std::int32_t nVertexCount = 0;
    std::int32_t nTriangleCount = 0;
};

// One placement of an object list.
struct sPlacementDesc
{
    // By name: sTarget is a resource name of the file, resolved to nId later.
    bool bByName = false;
    std::string sTarget;
    sObjectList oEntry;
};

struct sResourceDesc
{
    // How messages name it: "resources[2] 'crate'".
    std::string sLabel;
    bool bHasId = false;
    std::int32_t nId = -1;
    std::string sName;
    std::string sType = ResJson::kDefaultType;
    std::string sResourceClass;
    std::string sAssociatedClass;
    bool bSingleton = false;
    std::vector<std::pair<std::string, CTQProperty>> aAttributes;
    std::vector<sReferenceDesc> aReferences;
    bool bHasDependencies = false;
    std::vector<std::int32_t> aDependencies;
    bool bHasVisual = false;
    sVisualDesc oVisual;
    bool bHasObjects = false;
    std::vector<sPlacementDesc> aPlacements;
};

// One build: reads the whole description first, reporting every fault it finds,
// and touches databases only when the description is sound.
class CBuild
{
public:
    CBuild(const std::string& sourceName, std::filesystem::path baseDir, CResReport& report)
        : m_sSource(sourceName), m_oBaseDir(std::move(baseDir)), m_rReport(report)
    {
    }

    bool Run(const Json& document, const std::string& outPath);

private:
    void Error(const std::string& resource, const std::string& text) { m_rReport.Error(m_sSource, resource, text); }

    bool ReadDocument(const Json& document);
    bool ReadResource(const Json& value, std::size_t index, sResourceDesc& out);
    bool ReadString(const Json& object, const char* key, const std::string& label, std::string& out);
    bool ReadAttributes(const Json& value, sResourceDesc& out);
    bool ReadReferences(const Json& value, sResourceDesc& out);
    bool ReadReference(const std::string& name, const Json& value, sResourceDesc& out);
    bool ReadDependencies(const Json& value, sResourceDesc& out);
    bool ReadVisual(const Json& value, sResourceDesc& out);
    bool ReadVector(const Json& value, const std::string& label, const char* key, CTQVector3& out);
    bool ReadObjects(const Json& value, sResourceDesc& out);
    bool ReadPlacement(const Json& value, const std::string& what, sResourceDesc& out);
    bool AssignIds();
    bool ResolveReferences();
    bool ResolvePlacements(const std::map<std::string, std::vector<const sResourceDesc*>>& byName);

    bool WriteDatabase(const std::string& outPath);
    bool WriteClasses(const std::string& outPath);
    bool CreateEntry(CTQLocalResourceDatabase& db, CTQResourceClassDatabase& classes, const sResourceDesc& desc);
    bool Configure(CTQResource& resource, const sResourceDesc& desc);
    bool ConfigureVisual(CTQ3DVisualRes& visual, const sResourceDesc& desc);
    static void AddReferences(CTQResource& resource, const sResourceDesc& desc);
    static void AddPlacements(CTQResource& resource, const sResourceDesc& desc);
    static void SetDependencies(CTQResource& resource, const sResourceDesc& desc);
    template <class TDatabase>
    bool Save(TDatabase& database, const std::string& outPath);

    std::string m_sSource;
    std::filesystem::path m_oBaseDir;
    CResReport& m_rReport;
    bool m_bClasses = false;
    std::vector<sResourceDesc> m_aResources;
};

bool HasOnlyKeys(const Json& object, const std::set<std::string>& allowed, std::string& unknown)
{
    for (auto it = object.begin(); it != object.end(); ++it)
    {
        if (!allowed.count(it.key()))
        {
            unknown = it.key();
            return false;
        }
    }
    return true;
}

// ---- Reading the description ---------------------------------------------------------

bool CBuild::ReadDocument(const Json& document)
{
    std::string unknown;
    if (!document.is_object())
    {
        Error("", "the description is not a JSON object");
        return false;
    }
    if (!HasOnlyKeys(document, {ResJson::kKind, ResJson::kResources}, unknown))
    {
        Error("", "unknown key '" + unknown + "' (the description has \"kind\" and \"resources\")");
        return false;
    }
    if (document.contains(ResJson::kKind))
    {
        const Json& kind = document[ResJson::kKind];
        if (!kind.is_string() || (kind != "database" && kind != "classes"))
        {
            Error("", "\"kind\" must be \"database\" or \"classes\"");
            return false;
        }
        m_bClasses = kind == "classes";
    }
    if (!document.contains(ResJson::kResources) || !document[ResJson::kResources].is_array())
    {
        Error("", "\"resources\" must be an array");
        return false;
    }
    const Json& resources = document[ResJson::kResources];
    bool ok = true;
    m_aResources.resize(resources.size());
    for (std::size_t i = 0; i < resources.size(); ++i)
        ok = ReadResource(resources[i], i, m_aResources[i]) && ok;
    // Ids are checked whatever else was wrong; references are resolved only among
    // resources that were read whole.
    ok = AssignIds() && ok;
    return ok && ResolveReferences();
}

bool CBuild::ReadString(const Json& object, const char* key, const std::string& label, std::string& out)
{
    if (!object.contains(key))
        return true;
    if (!object[key].is_string())
    {
        Error(label, std::string("\"") + key + "\" must be a string");
        return false;
    }
    out = object[key].get<std::string>();
    return true;
}

bool CBuild::ReadResource(const Json& value, std::size_t index, sResourceDesc& out)
{
    out.sLabel = "resources[" + std::to_string(index) + "]";
    if (!value.is_object())
    {
        Error(out.sLabel, "is not an object");
        return false;
    }
    if (!value.contains(ResJson::kName) || !value[ResJson::kName].is_string())
    {
        Error(out.sLabel, "has no \"name\" string");
        return false;
    }
    out.sName = value[ResJson::kName].get<std::string>();
    out.sLabel += " '" + out.sName + "'";

    std::set<std::string> allowed = {ResJson::kName,       ResJson::kType,         ResJson::kAssociatedClass,
                                     ResJson::kSingleton,  ResJson::kAttributes,   ResJson::kReferences,
                                     ResJson::kDependencies, ResJson::kVisual,     ResJson::kObjects};
    if (!m_bClasses)
        allowed.insert({ResJson::kId, ResJson::kResourceClass});
    std::string unknown;
    if (!HasOnlyKeys(value, allowed, unknown))
    {
        Error(out.sLabel, "unknown key '" + unknown + "'" +
                              (m_bClasses && (unknown == ResJson::kId || unknown == ResJson::kResourceClass)
                                   ? " (prototypes of a class file have neither id nor resource class)"
                                   : ""));
        return false;
    }

    bool ok = ReadString(value, ResJson::kType, out.sLabel, out.sType) &&
              ReadString(value, ResJson::kResourceClass, out.sLabel, out.sResourceClass) &&
              ReadString(value, ResJson::kAssociatedClass, out.sLabel, out.sAssociatedClass);
    if (ok && !CTQResourceFactory::IsValidClassType(out.sType.c_str()))
    {
        Error(out.sLabel, "unknown type '" + out.sType + "' (not a class registered with the resource factory)");
        ok = false;
    }
    if (value.contains(ResJson::kId))
    {
        out.bHasId = true;
        if (!ResJson::Int32FromJson(value[ResJson::kId], out.nId) || out.nId < 0)
        {
            Error(out.sLabel, "\"id\" must be an integer from 0 to 2147483647");
            ok = false;
        }
    }
    if (value.contains(ResJson::kSingleton))
    {
        if (value[ResJson::kSingleton].is_boolean())
            out.bSingleton = value[ResJson::kSingleton].get<bool>();
        else
        {
            Error(out.sLabel, "\"singleton\" must be true or false");
            ok = false;
        }
    }
    if (value.contains(ResJson::kAttributes))
        ok = ReadAttributes(value[ResJson::kAttributes], out) && ok;
    if (value.contains(ResJson::kReferences))
        ok = ReadReferences(value[ResJson::kReferences], out) && ok;
    if (value.contains(ResJson::kDependencies))
        ok = ReadDependencies(value[ResJson::kDependencies], out) && ok;
    if (value.contains(ResJson::kVisual))
        ok = ReadVisual(value[ResJson::kVisual], out) && ok;
    if (value.contains(ResJson::kObjects))
        ok = ReadObjects(value[ResJson::kObjects], out) && ok;
    return ok;
}

bool CBuild::ReadAttributes(const Json& value, sResourceDesc& out)
{
    if (!value.is_object())
    {
        Error(out.sLabel, "\"attributes\" must be an object");
        return false;
    }
    bool ok = true;
    for (auto it = value.begin(); it != value.end(); ++it)
    {
        CTQProperty property;
        std::string why;
        if (ResJson::AttributeFromJson(it.value(), property, why))
            out.aAttributes.emplace_back(it.key(), property);
        else
        {
            Error(out.sLabel, "attribute '" + it.key() + "' " + why);
            ok = false;
        }
    }
    return ok;
}

bool CBuild::ReadReferences(const Json& value, sResourceDesc& out)
{
    if (!value.is_object())
    {
        Error(out.sLabel, "\"references\" must be an object");
        return false;
    }
    bool ok = true;
    for (auto it = value.begin(); it != value.end(); ++it)
        ok = ReadReference(it.key(), it.value(), out) && ok;
    return ok;
}

bool CBuild::ReadReference(const std::string& name, const Json& value, sResourceDesc& out)
{
    const std::string what = "reference '" + name + "'";
    sReferenceDesc reference;
    reference.sName = name;
    std::string unknown;
    if (value.is_string())
    {
        reference.bByName = true;
        reference.sTarget = value.get<std::string>();
    }
    else if (value.is_object() && HasOnlyKeys(value, {ResJson::kRefResource, ResJson::kRefId, ResJson::kRefClass}, unknown) &&
             value.contains(ResJson::kRefResource) != value.contains(ResJson::kRefId))
    {
        if (value.contains(ResJson::kRefResource))
        {
            reference.bByName = true;
            if (!value[ResJson::kRefResource].is_string())
            {
                Error(out.sLabel, what + ": \"resource\" must be a resource name");
                return false;
            }
            reference.sTarget = value[ResJson::kRefResource].get<std::string>();
        }
        else if (!ResJson::Int32FromJson(value[ResJson::kRefId], reference.nId))
        {
            Error(out.sLabel, what + ": \"id\" must be a 32-bit integer");
            return false;
        }
        if (value.contains(ResJson::kRefClass))
        {
            reference.bHasClass = true;
            if (!value[ResJson::kRefClass].is_string())
            {
                Error(out.sLabel, what + ": \"class\" must be a string");
                return false;
            }
            reference.sClass = value[ResJson::kRefClass].get<std::string>();
        }
    }
    else
    {
        Error(out.sLabel, what + R"( must be a resource name, or an object with "resource" or "id" and perhaps "class")");
        return false;
    }
    if (reference.bByName && m_bClasses)
    {
        Error(out.sLabel, what + ": a class file has no resources to name; refer by {\"id\": n}");
        return false;
    }
    out.aReferences.push_back(std::move(reference));
    return true;
}

bool CBuild::ReadDependencies(const Json& value, sResourceDesc& out)
{
    out.bHasDependencies = true;
    if (!value.is_array())
    {
        Error(out.sLabel, "\"dependencies\" must be an array of ids");
        return false;
    }
    for (const Json& item : value)
    {
        std::int32_t id = -1;
        if (!ResJson::Int32FromJson(item, id))
        {
            Error(out.sLabel, "\"dependencies\" must be an array of ids");
            return false;
        }
        out.aDependencies.push_back(id);
    }
    return true;
}

bool CBuild::ReadVector(const Json& value, const std::string& label, const char* key, CTQVector3& out)
{
    const Json& v = value[key];
    if (!v.is_array() || v.size() != 3 || !ResJson::FloatFromJson(v[0], out.x) ||
        !ResJson::FloatFromJson(v[1], out.y) || !ResJson::FloatFromJson(v[2], out.z))
    {
        Error(label, std::string("\"visual\": \"") + key + "\" must be an array of three numbers");
        return false;
    }
    return true;
}

bool CBuild::ReadVisual(const Json& value, sResourceDesc& out)
{
    out.bHasVisual = true;
    sVisualDesc& visual = out.oVisual;
    const bool isVisual = CTQResourceFactory::IsValidClassType(out.sType.c_str()) &&
                          CTQResourceFactory::IsClassOfType(out.sType.c_str(), CTQ3DVisualRes::GetClassType());
    const bool isMesh = isVisual && CTQResourceFactory::IsClassOfType(out.sType.c_str(), CTQMeshVisualRes::GetClassType());
    std::string unknown;
    if (!value.is_object())
    {
        Error(out.sLabel, "\"visual\" must be an object");
        return false;
    }
    // An unknown type has been reported already.
    if (!CTQResourceFactory::IsValidClassType(out.sType.c_str()))
        return false;
    if (!isVisual)
    {
        Error(out.sLabel, "\"visual\" is only for types derived from CTQ3DVisualRes, not '" + out.sType + "'");
        return false;
    }
    if (!HasOnlyKeys(value,
                     {ResJson::kVertexBuffer, ResJson::kTexture, ResJson::kMesh, ResJson::kBoundsMin,
                      ResJson::kBoundsMax, ResJson::kVertexCount, ResJson::kTriangleCount},
                     unknown))
    {
        Error(out.sLabel, "\"visual\": unknown key '" + unknown + "'");
        return false;
    }
    if (value.contains(ResJson::kMesh) && !isMesh)
    {
        Error(out.sLabel, "\"visual\": \"mesh\" is only for types derived from CTQMeshVisualRes");
        return false;
    }
    visual.bHasVertexBuffer = value.contains(ResJson::kVertexBuffer);
    visual.bHasTexture = value.contains(ResJson::kTexture);
    visual.bHasMesh = value.contains(ResJson::kMesh);
    if (!ReadString(value, ResJson::kVertexBuffer, out.sLabel, visual.sVertexBuffer) ||
        !ReadString(value, ResJson::kTexture, out.sLabel, visual.sTexture) ||
        !ReadString(value, ResJson::kMesh, out.sLabel, visual.sMesh))
        return false;

    const int geometryKeys = static_cast<int>(value.contains(ResJson::kBoundsMin)) +
                             static_cast<int>(value.contains(ResJson::kBoundsMax)) +
                             static_cast<int>(value.contains(ResJson::kVertexCount)) +
                             static_cast<int>(value.contains(ResJson::kTriangleCount));
    if (geometryKeys == 0)
        return true;
    if (geometryKeys != 4)
    {
        Error(out.sLabel, "\"visual\": give all of boundsMin, boundsMax, vertexCount and triangleCount, or none "
                          "(then they are read from the vertex buffer)");
        return false;
    }
    visual.bHasGeometry = true;
    if (!ReadVector(value, out.sLabel, ResJson::kBoundsMin, visual.vMin) ||
        !ReadVector(value, out.sLabel, ResJson::kBoundsMax, visual.vMax))
        return false;
    if (!ResJson::Int32FromJson(value[ResJson::kVertexCount], visual.nVertexCount) || visual.nVertexCount < 0 ||
        !ResJson::Int32FromJson(value[ResJson::kTriangleCount], visual.nTriangleCount) || visual.nTriangleCount < 0)
    {
        Error(out.sLabel, "\"visual\": vertexCount and triangleCount must be integers of 0 or more");
        return false;
    }
    return true;
}

bool CBuild::ReadObjects(const Json& value, sResourceDesc& out)
{
    out.bHasObjects = true;
    // An unknown type has been reported already.
    if (!CTQResourceFactory::IsValidClassType(out.sType.c_str()))
        return false;
    if (!CTQResourceFactory::IsClassOfType(out.sType.c_str(), CTQObjectListRes::GetClassType()))
    {
        Error(out.sLabel, "\"objects\" is only for types derived from CTQObjectListRes, not '" + out.sType + "'");
        return false;
    }
    if (!value.is_array())
    {
        Error(out.sLabel, "\"objects\" must be an array of placements");
        return false;
    }
    bool ok = true;
    for (std::size_t i = 0; i < value.size(); ++i)
        ok = ReadPlacement(value[i], "\"objects\"[" + std::to_string(i) + "]", out) && ok;
    return ok;
}

bool CBuild::ReadPlacement(const Json& value, const std::string& what, sResourceDesc& out)
{
    std::string unknown;
    if (!value.is_object())
    {
        Error(out.sLabel, what + " must be an object");
        return false;
    }
    if (!HasOnlyKeys(value, {ResJson::kPlacedResource, ResJson::kPos, ResJson::kRotation, ResJson::kFlags}, unknown))
    {
        Error(out.sLabel, what + ": unknown key '" + unknown + "'");
        return false;
    }
    sPlacementDesc placement;
    const Json* resource = value.contains(ResJson::kPlacedResource) ? &value[ResJson::kPlacedResource] : nullptr;
    if (resource && resource->is_string())
    {
        placement.bByName = true;
        placement.sTarget = resource->get<std::string>();
    }
    else if (!resource || !ResJson::Int32FromJson(*resource, placement.oEntry.nResourceId))
    {
        Error(out.sLabel, what + ": \"resource\" must be a resource name or a 32-bit id");
        return false;
    }
    if (placement.bByName && m_bClasses)
    {
        Error(out.sLabel, what + ": a class file has no resources to name; give the id");
        return false;
    }
    CTQVector3 pos;
    const auto readVector = [&](const char* key, CTQVector3& v) {
        const Json& a = value[key];
        if (a.is_array() && a.size() == 3 && ResJson::FloatFromJson(a[0], v.x) && ResJson::FloatFromJson(a[1], v.y) &&
            ResJson::FloatFromJson(a[2], v.z))
            return true;
        Error(out.sLabel, what + ": \"" + key + "\" must be an array of three numbers");
        return false;
    };
    if ((value.contains(ResJson::kPos) && !readVector(ResJson::kPos, pos)) ||
        (value.contains(ResJson::kRotation) && !readVector(ResJson::kRotation, placement.oEntry.vRotation)))
        return false;
    placement.oEntry.fX = pos.x;
    placement.oEntry.fY = pos.y;
    placement.oEntry.fZ = pos.z;
    std::int32_t flags = 0;
    if (value.contains(ResJson::kFlags) &&
        (!ResJson::Int32FromJson(value[ResJson::kFlags], flags) || flags < 0 || flags > 0xFFFF))
    {
        Error(out.sLabel, what + ": \"flags\" must be an integer from 0 to 65535");
        return false;
    }
    placement.oEntry.nFlags = static_cast<std::uint16_t>(flags);
    out.aPlacements.push_back(std::move(placement));
    return true;
}

// Given ids first, then the smallest free ids in list order.
bool CBuild::AssignIds()
{
    if (m_bClasses)
    {
        std::set<std::string> names;
        bool ok = true;
        for (const sResourceDesc& desc : m_aResources)
        {
            if (!names.insert(desc.sName).second)
            {
                Error(desc.sLabel, "a class file holds one prototype per name, and this name comes twice");
                ok = false;
            }
        }
        return ok;
    }
    std::map<std::int32_t, const sResourceDesc*> taken;
    bool ok = true;
    for (const sResourceDesc& desc : m_aResources)
    {
        if (!desc.bHasId)
            continue;
        auto [it, inserted] = taken.emplace(desc.nId, &desc);
        if (!inserted)
        {
            Error(desc.sLabel, "id " + std::to_string(desc.nId) + " is taken by " + it->second->sLabel);
            ok = false;
        }
    }
    std::int32_t next = 0;
    for (sResourceDesc& desc : m_aResources)
    {
        if (desc.bHasId)
            continue;
        while (taken.count(next))
            ++next;
        desc.nId = next;
        taken.emplace(next, &desc);
    }
    return ok;
}

bool CBuild::ResolveReferences()
{
    std::map<std::string, std::vector<const sResourceDesc*>> byName;
    std::map<std::int32_t, const sResourceDesc*> byId;
    for (const sResourceDesc& desc : m_aResources)
    {
        byName[desc.sName].push_back(&desc);
        byId[desc.nId] = &desc;
    }
    bool ok = true;
    for (sResourceDesc& desc : m_aResources)
    {
        for (sReferenceDesc& reference : desc.aReferences)
        {
            const std::string what = "reference '" + reference.sName + "'";
            const sResourceDesc* target = nullptr;
            if (reference.bByName)
            {
                auto found = byName.find(reference.sTarget);
                if (found == byName.end())
                {
                    Error(desc.sLabel, what + " names '" + reference.sTarget + "', which is not a resource of this file");
                    ok = false;
                    continue;
                }
                if (found->second.size() > 1)
                {
                    Error(desc.sLabel, what + " names '" + reference.sTarget +
                                           "', which more than one resource is called; refer by {\"id\": n}");
                    ok = false;
                    continue;
                }
                target = found->second.front();
                reference.nId = target->nId;
            }
            else if (!m_bClasses)
            {
                auto found = byId.find(reference.nId);
                target = found == byId.end() ? nullptr : found->second;
            }
            if (!m_bClasses && reference.nId == desc.nId)
            {
                Error(desc.sLabel, what + " refers to the resource itself");
                ok = false;
                continue;
            }
            if (!reference.bHasClass)
                reference.sClass = target ? target->sResourceClass : std::string();
        }
    }
    return ResolvePlacements(byName) && ok;
}

bool CBuild::ResolvePlacements(const std::map<std::string, std::vector<const sResourceDesc*>>& byName)
{
    bool ok = true;
    for (sResourceDesc& desc : m_aResources)
    {
        for (std::size_t i = 0; i < desc.aPlacements.size(); ++i)
        {
            sPlacementDesc& placement = desc.aPlacements[i];
            if (!placement.bByName)
                continue;
            const std::string what = "\"objects\"[" + std::to_string(i) + "]";
            auto found = byName.find(placement.sTarget);
            if (found == byName.end() || found->second.size() > 1)
            {
                Error(desc.sLabel, what + " names '" + placement.sTarget + "', which " +
                                       (found == byName.end() ? "is not a resource of this file"
                                                              : "more than one resource is called; give the id"));
                ok = false;
                continue;
            }
            placement.oEntry.nResourceId = found->second.front()->nId;
        }
    }
    return ok;
}

// ---- Writing the file ---------------------------------------------------------------------

void CBuild::AddReferences(CTQResource& resource, const sResourceDesc& desc)
{
    for (const sReferenceDesc& reference : desc.aReferences)
        resource.AddReference(reference.sName.c_str(), reference.nId, reference.sClass.c_str());
}

void CBuild::AddPlacements(CTQResource& resource, const sResourceDesc& desc)
{
    if (!desc.bHasObjects)
        return;
    auto& list = static_cast<CTQObjectListRes&>(resource);
    for (const sPlacementDesc& placement : desc.aPlacements)
        list.AddObject(placement.oEntry);
}

void CBuild::SetDependencies(CTQResource& resource, const sResourceDesc& desc)
{
    if (!desc.bHasDependencies)
        return;
    resource.RemoveAllDependencies();
    for (std::int32_t id : desc.aDependencies)
        resource.AddDependency(id);
}

bool CBuild::ConfigureVisual(CTQ3DVisualRes& visual, const sResourceDesc& desc)
{
    const sVisualDesc& v = desc.oVisual;
    if (v.bHasTexture)
        visual.SetTextureFilename(v.sTexture.c_str());
    if (v.bHasMesh)
        static_cast<CTQMeshVisualRes&>(visual).SetMeshFilename(v.sMesh.c_str());
    if (v.bHasGeometry)
    {
        visual.SetVertexbuffer(v.sVertexBuffer.c_str(), v.vMin, v.vMax, v.nVertexCount, v.nTriangleCount);
        return true;
    }
    if (!v.bHasVertexBuffer || v.sVertexBuffer.empty())
        return true;
    // The file is looked for beside the description, the name kept as written.
    std::filesystem::path path(v.sVertexBuffer);
    if (path.is_relative())
        path = m_oBaseDir / path;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
    {
        Error(desc.sLabel, "vertex buffer '" + v.sVertexBuffer + "' cannot be read (looked for " + path.string() +
                               "); give boundsMin, boundsMax, vertexCount and triangleCount to build without it");
        return false;
    }
    visual.SetVertexbufferFilename(path.string().c_str());
    CTQVector3 min;
    CTQVector3 max;
    visual.GetBounds(min, max);
    visual.SetVertexbuffer(v.sVertexBuffer.c_str(), min, max, visual.GetVertexCount(), visual.GetTriangleCount());
    return true;
}

bool CBuild::Configure(CTQResource& resource, const sResourceDesc& desc)
{
    resource.SetSingleton(desc.bSingleton);
    resource.SetAssociatedClassType(desc.sAssociatedClass.c_str());
    for (const auto& [name, value] : desc.aAttributes)
        resource.SetAttribute(name.c_str(), value);
    AddPlacements(resource, desc);
    if (!desc.bHasVisual)
        return true;
    return ConfigureVisual(static_cast<CTQ3DVisualRes&>(resource), desc);
}

// An entry with a resource class is made from a prototype of that name and of the
// resource's type, kept in the builder's class database only for this.
bool CBuild::CreateEntry(CTQLocalResourceDatabase& db, CTQResourceClassDatabase& classes,
                         const sResourceDesc& desc)
{
    const CTQString name = desc.sName.c_str();
    std::int32_t id = -1;
    if (desc.sResourceClass.empty())
        id = db.CreateResourceWithFixedId(desc.nId, name, desc.sType.c_str());
    else
    {
        const CTQString resourceClass = desc.sResourceClass.c_str();
        if (CTQResource* prototype = classes.QueryResourceClass(resourceClass))
        {
            const bool sameType = prototype->GetType().GetName() == CTQString(desc.sType.c_str());
            classes.ReleaseResourceClass(resourceClass);
            if (!sameType)
                classes.DestroyResourceClass(resourceClass);
        }
        if (!classes.HasClass(resourceClass))
            classes.CreateResourceClass(resourceClass, desc.sType.c_str());
        db.SetIdCounter(desc.nId);
        id = db.CreateResourceFromClass(name, resourceClass);
    }
    if (id != desc.nId)
    {
        Error(desc.sLabel, "could not be created with id " + std::to_string(desc.nId));
        return false;
    }
    return true;
}

template <class TDatabase>
bool CBuild::Save(TDatabase& database, const std::string& outPath)
{
    bool saved = false;
    {
        CFileIO file;
        if (!ResFiles::OpenForWriting(file, outPath, m_rReport))
            return false;
        saved = database.Save(&file);
    }
    if (!saved)
    {
        m_rReport.Error(outPath, "", "could not be written");
        std::error_code ignored;
        std::filesystem::remove(outPath, ignored);
    }
    return saved;
}

bool CBuild::WriteDatabase(const std::string& outPath)
{
    CTQResourceClassDatabase classes;
    CTQLocalResourceDatabase db;
    bool ok = true;
    for (const sResourceDesc& desc : m_aResources)
        ok = CreateEntry(db, classes, desc) && ok;
    for (const sResourceDesc& desc : m_aResources)
    {
        CTQResource* resource = ok ? db.QueryResource(desc.nId) : nullptr;
        if (!resource)
            break;
        ok = Configure(*resource, desc) && ok;
        db.ReleaseResource(desc.nId);
    }
    if (!ok)
        return false;
    // Every resource exists before any reference is added, so each reference
    // makes its back-link.
    for (const sResourceDesc& desc : m_aResources)
    {
        CTQResource* resource = db.QueryResource(desc.nId);
        AddReferences(*resource, desc);
        db.ReleaseResource(desc.nId);
    }
    for (const sResourceDesc& desc : m_aResources)
    {
        CTQResource* resource = db.QueryResource(desc.nId);
        SetDependencies(*resource, desc);
        db.ReleaseResource(desc.nId);
    }
    return Save(db, outPath);
}

bool CBuild::WriteClasses(const std::string& outPath)
{
    CTQResourceClassDatabase classes;
    bool ok = true;
    for (const sResourceDesc& desc : m_aResources)
    {
        const CTQString name = desc.sName.c_str();
        CTQResource* prototype =
            classes.CreateResourceClass(name, desc.sType.c_str()) ? classes.QueryResourceClass(name) : nullptr;
        if (!prototype)
        {
            Error(desc.sLabel, "could not be created");
            ok = false;
            continue;
        }
        ok = Configure(*prototype, desc) && ok;
        AddReferences(*prototype, desc);
        SetDependencies(*prototype, desc);
        classes.ReleaseResourceClass(name);
    }
    return ok && Save(classes, outPath);
}

bool CBuild::Run(const Json& document, const std::string& outPath)
{
    if (!ReadDocument(document))
        return false;
    return m_bClasses ? WriteClasses(outPath) : WriteDatabase(outPath);
}
} // namespace

bool CResBuilder::BuildText(const std::string& jsonText, const std::string& sourceName,
                            const std::filesystem::path& baseDir, const std::string& outPath, CResReport& report)
{
    Json document;
    try
    {
        document = Json::parse(jsonText, nullptr, true, true);
    }
    catch (const Json::exception& e)
    {
        report.Error(sourceName, "", std::string("not valid JSON: ") + e.what());
        return false;
    }
    return CBuild(sourceName, baseDir, report).Run(document, outPath);
}

bool CResBuilder::BuildFile(const std::string& jsonPath, const std::string& outPath, CResReport& report)
{
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(jsonPath, error))
        in.open(jsonPath, std::ios::binary);
    std::string text;
    if (in.is_open())
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad())
    {
        report.Error(jsonPath, "", "cannot be read");
        return false;
    }
    return BuildText(text, jsonPath, std::filesystem::path(jsonPath).parent_path(), outPath, report);
}
