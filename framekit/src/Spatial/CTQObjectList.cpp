#include <Framekit/Spatial/CTQObjectList.h>
#include <Framekit/Spatial/CTQObjectListRes.h>
#include <Framekit/Spatial/CTQObjectOcttree.h>
#include <Framekit/Spatial/CTQObjectQuadtree.h>

#include <Framekit/Display/CTQVisual3d.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/TQObjectLookup.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Framekit/Resources/CTQResourceRef.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include <algorithm>

TQ_IMPLEMENT_CLASS_TYPE(CTQObjectList, CTQVisual, 0x200)
TQ_REGISTER_OBJECT_FACTORY(CTQObjectList)

namespace
{
// The object list resources being built on this thread: a placement that names
// one of them (a list placed in itself, directly or through others) would build
// without end.
thread_local std::vector<std::int32_t> t_aBuilding;

struct sBuildingGuard
{
    explicit sBuildingGuard(std::int32_t id) { t_aBuilding.push_back(id); }
    ~sBuildingGuard() { t_aBuilding.pop_back(); }
    sBuildingGuard(const sBuildingGuard&) = delete;
    sBuildingGuard& operator=(const sBuildingGuard&) = delete;
};

bool IsBeingBuilt(std::int32_t resourceId)
{
    return std::find(t_aBuilding.begin(), t_aBuilding.end(), resourceId) != t_aBuilding.end();
}
} // namespace

CTQObjectList::CTQObjectList() = default;

CTQObjectList::~CTQObjectList()
{
    DestroyContainers();
}

void CTQObjectList::DestroyContainers()
{
    const std::int32_t quadtree = m_nQuadtreeId;
    const std::int32_t octree = m_nOcttreeId;
    m_nQuadtreeId = -1;
    m_nOcttreeId = -1;
    CTQObjectDatabase* database = TQGetObjectDatabase();
    for (std::int32_t id : {quadtree, octree})
    {
        if (id < 0)
            continue;
        RemoveChild(id);
        if (database)
            database->DestroyObject(id);
    }
}

CTQObjectQuadtree* CTQObjectList::GetObjectQuadtree() const
{
    return TQPeekObjectAs<CTQObjectQuadtree>(m_nQuadtreeId);
}

CTQObjectOcttree* CTQObjectList::GetObjectOcttree() const
{
    return TQPeekObjectAs<CTQObjectOcttree>(m_nOcttreeId);
}

// ---- Building ---------------------------------------------------------------------

bool CTQObjectList::InitData(std::int32_t resourceId)
{
    CTQVisual::InitData(resourceId);
    CTQResourceRef res(resourceId);
    if (!res.IsValid() || !res->IsOfType(CTQObjectListRes::GetClassType()))
    {
        Debug_Warning("CTQObjectList::InitData(): resource %d is %s", resourceId,
                      res.IsValid() ? "not an object list" : "missing");
        return false;
    }
    if (IsBeingBuilt(resourceId))
    {
        Debug_Warning("CTQObjectList::InitData(): object list %d is placed within itself", resourceId);
        return false;
    }
    sBuildingGuard guard(resourceId);
    DestroyContainers();
    m_oAssociations.clear();
    CreateContainers(resourceId);
    BuildPlacements(static_cast<const CTQObjectListRes&>(*res));
    if (CTQObjectQuadtree* quadtree = GetObjectQuadtree())
        quadtree->ForcePrecaching();
    if (CTQObjectOcttree* octree = GetObjectOcttree())
        octree->ForcePrecaching();
    CTQVisual::AddVisual(m_nQuadtreeId);
    CTQVisual::AddVisual(m_nOcttreeId);
    return true;
}

// The containers' own InitData results are not needed: a quadtree without a
// grid says so itself and holds its objects without filing them.
void CTQObjectList::CreateContainers(std::int32_t resourceId)
{
    CTQObjectDatabase* database = TQGetObjectDatabase();
    if (!database)
        return;
    m_nQuadtreeId = database->CreateObject("CTQObjectQuadtree");
    if (CTQObjectQuadtree* quadtree = GetObjectQuadtree())
        quadtree->InitData(resourceId);
    m_nOcttreeId = database->CreateObject("CTQObjectOcttree");
    if (CTQObjectOcttree* octree = GetObjectOcttree())
        octree->InitData(resourceId);
}

// The object's one reference (the database's, from its creation) passes to the
// container that files it.
void CTQObjectList::BuildPlacements(const CTQObjectListRes& list)
{
    CTQObjectDatabase* database = TQGetObjectDatabase();
    if (!database)
        return;
    for (const auto& [index, entry] : list.GetObjects())
    {
        if (IsBeingBuilt(entry.nResourceId))
        {
            Debug_Warning("CTQObjectList::InitData(): placement %d places object list %d within itself", index,
                          entry.nResourceId);
            continue;
        }
        const std::int32_t id = database->CreateObjectFromResource(entry.nResourceId);
        if (id < 0)
        {
            Debug_Warning("CTQObjectList::InitData(): placement %d: resource %d makes no object", index,
                          entry.nResourceId);
            continue;
        }
        CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
        if (!visual)
        {
            Debug_Warning("CTQObjectList::InitData(): placement %d: resource %d makes no 3D visual", index,
                          entry.nResourceId);
            database->DestroyObject(id);
            continue;
        }
        visual->SetPos(CTQVector3(entry.fX, entry.fY, entry.fZ));
        visual->SetRotation(entry.vRotation);
        AddVisual(id);
        m_oAssociations[index] = id;
    }
}

// ---- Routing ----------------------------------------------------------------------

void CTQObjectList::AddVisual(std::int32_t id)
{
    const CTQVisual* visual = TQPeekObjectAs<CTQVisual>(id);
    if (!visual)
        return;
    if ((visual->GetStyle() & kQuadtreeBit) != 0)
    {
        if (CTQObjectQuadtree* quadtree = GetObjectQuadtree())
            quadtree->AddVisual(id);
    }
    else if (CTQObjectOcttree* octree = GetObjectOcttree())
        octree->AddVisual(id);
}

// By where the object is, not by its style: a style changed since it was added
// would send it to the container that does not hold it.
void CTQObjectList::RemoveVisual(std::int32_t id)
{
    CTQObjectQuadtree* quadtree = GetObjectQuadtree();
    CTQObjectOcttree* octree = GetObjectOcttree();
    if (quadtree && quadtree->HasObject(id))
        quadtree->RemoveVisual(id);
    else if (octree && octree->HasObject(id))
        octree->RemoveVisual(id);
}

void CTQObjectList::Update()
{
    CTQVisual::Update();
}

void CTQObjectList::Display(std::int32_t viewport)
{
    if (!IsVisible() || IsCulled())
        return;
    if (CTQObjectOcttree* octree = GetObjectOcttree())
        octree->Display(viewport);
    if (CTQObjectQuadtree* quadtree = GetObjectQuadtree())
        quadtree->Display(viewport);
}

bool CTQObjectList::PickObjectsAt(std::vector<_sTQPickingResultEntry>& hits, std::int32_t viewport, int x, int y,
                                  eTQPickingBehaviour behaviour, std::uint32_t selector)
{
    if (Quadtree(selector))
    {
        CTQObjectQuadtree* quadtree = GetObjectQuadtree();
        return quadtree && quadtree->PickObjectsAt(hits, viewport, x, y, behaviour);
    }
    CTQObjectOcttree* octree = GetObjectOcttree();
    return octree && octree->PickObjectsAt(hits, viewport, x, y, behaviour);
}

bool CTQObjectList::PickObjectsInRect(std::set<int>& ids, std::int32_t viewport, int x0, int y0, int x1, int y1,
                                      eTQPickingBehaviour behaviour, std::uint32_t selector)
{
    if (Quadtree(selector))
    {
        CTQObjectQuadtree* quadtree = GetObjectQuadtree();
        return quadtree && quadtree->PickObjectsInRect(ids, viewport, x0, y0, x1, y1, behaviour);
    }
    CTQObjectOcttree* octree = GetObjectOcttree();
    return octree && octree->PickObjectsInRect(ids, viewport, x0, y0, x1, y1, behaviour);
}

bool CTQObjectList::EnumerateVisibleObjects(std::set<int>& ids, std::int32_t viewport, std::uint32_t selector)
{
    if (Quadtree(selector))
    {
        CTQObjectQuadtree* quadtree = GetObjectQuadtree();
        return quadtree && quadtree->EnumerateVisibleObjects(ids, viewport);
    }
    CTQObjectOcttree* octree = GetObjectOcttree();
    return octree && octree->EnumerateVisibleObjects(ids, viewport);
}

bool CTQObjectList::EnumerateObjectsInRect(std::set<int>& ids, float x0, float y0, float x1, float y1,
                                           eTQPickingBehaviour behaviour, std::uint32_t selector)
{
    if (Quadtree(selector))
    {
        CTQObjectQuadtree* quadtree = GetObjectQuadtree();
        return quadtree && quadtree->EnumerateObjectsInRect(ids, x0, y0, x1, y1, behaviour);
    }
    CTQObjectOcttree* octree = GetObjectOcttree();
    return octree && octree->EnumerateObjectsInRect(ids, x0, y0, x1, y1, behaviour);
}

// ---- Stored form ----------------------------------------------------------------

void CTQObjectList::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQVisual>(s, *this);
    const int version = CTQObjectList::GetDataFormatVersion();
    const int stored = s.SerializeBegin(s.IsStoring() ? version : -1);
    s.Serialize(m_nQuadtreeId);
    s.SerializeEnd();
    // Data written before the octree came has no block for it.
    if (s.IsLoading() && stored < version)
        return;
    s.SerializeBegin(s.IsStoring() ? version : -1);
    s.Serialize(m_nOcttreeId);
    s.SerializeEnd();
}
