#include "CResLoadedFile.h"
#include "ResFiles.h"

#include <FramekitRes/CResChecker.h>
#include <FramekitRes/CResReport.h>

#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Spatial/CTQObjectListRes.h>

namespace
{
std::string Label(CTQLocalResourceDatabase& db, std::int32_t id)
{
    CTQResource* resource = db.QueryResource(id);
    const std::string label = ResFiles::ResourceLabel(resource ? resource->GetName().str() : std::string(), id);
    if (resource)
        db.ReleaseResource(id);
    return label;
}

bool RefersTo(const CTQResource& resource, std::int32_t target)
{
    CTQString name;
    CTQString classType;
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    for (bool more = resource.GetFirstReference(name, id, classType, cursor); more;
         more = resource.GetNextReference(name, id, classType, cursor))
    {
        if (id == target)
            return true;
    }
    return false;
}

void CheckReferences(CTQLocalResourceDatabase& db, const CTQResource& resource, const std::string& path,
                     CResReport& report)
{
    const std::string label = Label(db, resource.GetId());
    CTQString name;
    CTQString classType;
    std::int32_t target = -1;
    std::int32_t cursor = 0;
    for (bool more = resource.GetFirstReference(name, target, classType, cursor); more;
         more = resource.GetNextReference(name, target, classType, cursor))
    {
        if (target == -1)
            continue;
        const std::string what = "reference '" + name.str() + "'";
        CTQResource* other = db.QueryResource(target);
        if (!other)
        {
            report.Error(path, label, what + " points at id " + std::to_string(target) + ", which is not in the file");
            continue;
        }
        if (!other->DoesDependOn(resource.GetId()))
            report.Error(path, label,
                         what + " points at " + Label(db, target) + ", which does not list it as a dependency");
        db.ReleaseResource(target);
    }
}

void CheckDependencies(CTQLocalResourceDatabase& db, const CTQResource& resource, const std::string& path,
                       CResReport& report)
{
    const std::string label = Label(db, resource.GetId());
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    for (bool more = resource.GetFirstDependency(id, cursor); more; more = resource.GetNextDependency(id, cursor))
    {
        CTQResource* other = db.QueryResource(id);
        if (!other)
            report.Error(path, label,
                         "lists id " + std::to_string(id) + " as referring to it, which is not in the file");
        else if (!RefersTo(*other, resource.GetId()))
            report.Error(path, label, "lists " + Label(db, id) + " as referring to it, which it does not");
        if (other)
            db.ReleaseResource(id);
    }
}
// Each placement must name a resource of the file that builds an object; -1
// names none and is left alone, as an unset reference is.
void CheckPlacements(CTQLocalResourceDatabase& db, const CTQResource& resource, const std::string& path,
                     CResReport& report)
{
    if (!resource.IsOfType(CTQObjectListRes::GetClassType()))
        return;
    const std::string label = Label(db, resource.GetId());
    for (const auto& [index, entry] : static_cast<const CTQObjectListRes&>(resource).GetObjects())
    {
        if (entry.nResourceId == -1)
            continue;
        const std::string what = "placement " + std::to_string(index);
        CTQResource* placed = db.QueryResource(entry.nResourceId);
        if (!placed)
        {
            report.Error(path, label,
                         what + " places id " + std::to_string(entry.nResourceId) + ", which is not in the file");
            continue;
        }
        if (placed->GetAssociatedClassType().IsEmpty())
            report.Error(path, label,
                         what + " places " + Label(db, entry.nResourceId) +
                             ", which builds no object (no associated class)");
        db.ReleaseResource(entry.nResourceId);
    }
}
} // namespace

bool CResChecker::CheckFile(const std::string& path, eResFileKind kind, CResReport& report)
{
    const std::size_t errorsBefore = report.GetErrors().size();
    CResLoadedFile file;
    if (!file.Load(path, kind, report))
        return false;
    if (file.GetKind() == eResFileKind::Database)
    {
        CTQLocalResourceDatabase& db = file.GetDatabase();
        std::int32_t id = -1;
        std::int32_t cursor = 0;
        CTQString resourceClass;
        for (bool more = db.GetFirstResource(id, resourceClass, cursor); more;
             more = db.GetNextResource(id, resourceClass, cursor))
        {
            CTQResource* resource = db.QueryResource(id);
            CheckReferences(db, *resource, path, report);
            CheckDependencies(db, *resource, path, report);
            CheckPlacements(db, *resource, path, report);
            db.ReleaseResource(id);
        }
    }
    return report.GetErrors().size() == errorsBefore;
}
