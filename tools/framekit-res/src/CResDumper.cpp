#include "CResLoadedFile.h"
#include "ResFiles.h"
#include "ResJson.h"

#include <FramekitRes/CResDumper.h>
#include <FramekitRes/CResReport.h>

#include <Framekit/Resources/CTQ3DVisualRes.h>
#include <Framekit/Resources/CTQMeshVisualRes.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Spatial/CTQObjectListRes.h>

#include <map>
#include <set>

using ResJson::Json;

namespace
{
struct sTarget
{
    std::string sName;
    std::string sResourceClass;
};

// What the dumper knows of the whole database while it prints one resource.
struct sIndex
{
    std::map<std::int32_t, sTarget> targets;
    std::map<std::string, int> nameCounts;
    // The back-links that building the printed references makes: target id to the
    // ids of the resources that refer to it.
    std::map<std::int32_t, std::set<std::int32_t>> derivedDependencies;
};

std::set<std::int32_t> StoredDependencies(const CTQResource& resource)
{
    std::set<std::int32_t> ids;
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    for (bool more = resource.GetFirstDependency(id, cursor); more; more = resource.GetNextDependency(id, cursor))
        ids.insert(id);
    return ids;
}

Json AttributesToJson(const CTQResource& resource)
{
    Json attributes = Json::object();
    CTQString name;
    CTQProperty value;
    std::int32_t cursor = 0;
    for (bool more = resource.GetFirstAttribute(name, value, cursor); more;
         more = resource.GetNextAttribute(name, value, cursor))
        attributes[name.str()] = ResJson::AttributeToJson(value);
    return attributes;
}

// The target's name where it is unique in the file (with the class when it is not
// the target's resource class), else the id and the class.
Json ReferenceToJson(std::int32_t id, const std::string& classType, const sIndex* index)
{
    Json reference = Json::object();
    const auto target = index ? index->targets.find(id) : decltype(index->targets.find(id))();
    if (index && target != index->targets.end() && index->nameCounts.at(target->second.sName) == 1)
    {
        if (classType == target->second.sResourceClass)
            return target->second.sName;
        reference[ResJson::kRefResource] = target->second.sName;
    }
    else
        reference[ResJson::kRefId] = id;
    reference[ResJson::kRefClass] = classType;
    return reference;
}

Json ReferencesToJson(const CTQResource& resource, const sIndex* index)
{
    Json references = Json::object();
    CTQString name;
    CTQString classType;
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    for (bool more = resource.GetFirstReference(name, id, classType, cursor); more;
         more = resource.GetNextReference(name, id, classType, cursor))
        references[name.str()] = ReferenceToJson(id, classType.str(), index);
    return references;
}

Json VectorToJson(const CTQVector3& v)
{
    return Json::array({ResJson::FloatToJson(v.x), ResJson::FloatToJson(v.y), ResJson::FloatToJson(v.z)});
}

Json VisualToJson(const CTQ3DVisualRes& visual)
{
    Json out = Json::object();
    out[ResJson::kVertexBuffer] = visual.GetVertexbufferFilename().str();
    out[ResJson::kTexture] = visual.GetTextureFilename().str();
    if (visual.IsOfType(CTQMeshVisualRes::GetClassType()))
        out[ResJson::kMesh] = static_cast<const CTQMeshVisualRes&>(visual).GetMeshFilename().str();
    CTQVector3 min;
    CTQVector3 max;
    visual.GetBounds(min, max);
    out[ResJson::kBoundsMin] = VectorToJson(min);
    out[ResJson::kBoundsMax] = VectorToJson(max);
    out[ResJson::kVertexCount] = visual.GetVertexCount();
    out[ResJson::kTriangleCount] = visual.GetTriangleCount();
    return out;
}

// The placed resource by its name where the name is unique in the file, else by id.
Json PlacedResourceToJson(std::int32_t id, const sIndex* index)
{
    const auto target = index ? index->targets.find(id) : decltype(index->targets.find(id))();
    if (index && target != index->targets.end() && index->nameCounts.at(target->second.sName) == 1)
        return target->second.sName;
    return id;
}

// Every placement with its resource and both vectors; flags only when set.
Json ObjectsToJson(const CTQObjectListRes& list, const sIndex* index)
{
    Json objects = Json::array();
    for (const auto& [placementIndex, entry] : list.GetObjects())
    {
        Json placement = Json::object();
        placement[ResJson::kPlacedResource] = PlacedResourceToJson(entry.nResourceId, index);
        placement[ResJson::kPos] = VectorToJson(CTQVector3(entry.fX, entry.fY, entry.fZ));
        placement[ResJson::kRotation] = VectorToJson(entry.vRotation);
        if (entry.nFlags != 0)
            placement[ResJson::kFlags] = entry.nFlags;
        objects.push_back(placement);
    }
    return objects;
}

// index is null for a prototype of a class file: it has no id, no resource class,
// and its references point into a database that is not at hand.
Json ResourceToJson(const CTQResource& resource, const std::string& resourceClass, const sIndex* index)
{
    Json out = Json::object();
    if (index)
        out[ResJson::kId] = resource.GetId();
    out[ResJson::kName] = resource.GetName().str();
    out[ResJson::kType] = resource.GetType().GetName().str();
    if (!resourceClass.empty())
        out[ResJson::kResourceClass] = resourceClass;
    if (!resource.GetAssociatedClassType().IsEmpty())
        out[ResJson::kAssociatedClass] = resource.GetAssociatedClassType().str();
    if (resource.IsSingleton())
        out[ResJson::kSingleton] = true;
    if (resource.GetAttributeCount() > 0)
        out[ResJson::kAttributes] = AttributesToJson(resource);
    if (resource.HasReferences())
        out[ResJson::kReferences] = ReferencesToJson(resource, index);

    const std::set<std::int32_t> stored = StoredDependencies(resource);
    std::set<std::int32_t> derived;
    if (index)
    {
        auto found = index->derivedDependencies.find(resource.GetId());
        if (found != index->derivedDependencies.end())
            derived = found->second;
    }
    if (stored != derived)
        out[ResJson::kDependencies] = Json(std::vector<std::int32_t>(stored.begin(), stored.end()));
    if (resource.IsOfType(CTQ3DVisualRes::GetClassType()))
        out[ResJson::kVisual] = VisualToJson(static_cast<const CTQ3DVisualRes&>(resource));
    if (resource.IsOfType(CTQObjectListRes::GetClassType()))
        out[ResJson::kObjects] = ObjectsToJson(static_cast<const CTQObjectListRes&>(resource), index);
    return out;
}

sIndex IndexDatabase(CTQLocalResourceDatabase& db)
{
    sIndex index;
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    CTQString resourceClass;
    for (bool more = db.GetFirstResource(id, resourceClass, cursor); more;
         more = db.GetNextResource(id, resourceClass, cursor))
    {
        CTQResource* resource = db.QueryResource(id);
        index.targets[id] = sTarget{resource->GetName().str(), resourceClass.str()};
        ++index.nameCounts[resource->GetName().str()];
        db.ReleaseResource(id);
    }
    for (const auto& [referrer, unused] : index.targets)
    {
        CTQResource* resource = db.QueryResource(referrer);
        CTQString name;
        CTQString classType;
        std::int32_t target = -1;
        std::int32_t refCursor = 0;
        for (bool more = resource->GetFirstReference(name, target, classType, refCursor); more;
             more = resource->GetNextReference(name, target, classType, refCursor))
        {
            if (target != referrer && index.targets.count(target))
                index.derivedDependencies[target].insert(referrer);
        }
        db.ReleaseResource(referrer);
    }
    return index;
}

Json DumpDatabase(CTQLocalResourceDatabase& db)
{
    const sIndex index = IndexDatabase(db);
    Json resources = Json::array();
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    CTQString resourceClass;
    for (bool more = db.GetFirstResource(id, resourceClass, cursor); more;
         more = db.GetNextResource(id, resourceClass, cursor))
    {
        CTQResource* resource = db.QueryResource(id);
        resources.push_back(ResourceToJson(*resource, resourceClass.str(), &index));
        db.ReleaseResource(id);
    }
    return resources;
}

Json DumpClasses(CTQResourceClassDatabase& classes, const std::string& path, CResReport& report)
{
    Json resources = Json::array();
    CTQString name;
    std::int32_t cursor = 0;
    for (bool more = classes.GetFirstResourceClass(name, cursor); more;
         more = classes.GetNextResourceClass(name, cursor))
    {
        CTQResource* prototype = classes.QueryResourceClass(name);
        if (prototype->GetId() != -1)
            report.Warning(path, ResFiles::ResourceLabel(name.str(), prototype->GetId()),
                           "a prototype's id is not kept: built again, it has none");
        resources.push_back(ResourceToJson(*prototype, std::string(), nullptr));
        classes.ReleaseResourceClass(name);
    }
    return resources;
}
} // namespace

bool CResDumper::DumpFile(const std::string& path, eResFileKind kind, std::string& json, CResReport& report)
{
    json.clear();
    const std::size_t errorsBefore = report.GetErrors().size();
    CResLoadedFile file;
    if (!file.Load(path, kind, report))
        return false;
    Json document = Json::object();
    document[ResJson::kKind] = ResFileKindName(file.GetKind());
    document[ResJson::kResources] = file.GetKind() == eResFileKind::Database
                                        ? DumpDatabase(file.GetDatabase())
                                        : DumpClasses(file.GetClasses(), path, report);
    json = ResJson::Print(document);
    return report.GetErrors().size() == errorsBefore;
}
