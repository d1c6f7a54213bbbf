#pragma once

#include <Framekit/Display/CTQDisplayNode.h>
#include <Framekit/FramekitExport.h>

#include <cstdint>
#include <utility>
#include <vector>

class CTQDataStream;
class CTQVisual3d;

// The base of everything that can be shown: a display node whose children are
// other visuals, with visibility, culling, a render priority, a style word, a
// dirty mark and blind-display requests.
//
// Visuals refer to their parent and children only by object id and look the
// id up each time; an id that names no object, or an object that is not a
// visual, is skipped.
//
// Invariant: every ancestor of a dirty visual is dirty. A change marks the
// visual dirty and the mark climbs to the top of the tree, stopping at the
// first ancestor that is already dirty (whose own ancestors are then dirty
// too). Update() on the top visual once a frame does the visual's own work
// and descends only into dirty children.
class FRAMEKIT_API CTQVisual : public CTQDisplayNode
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQVisual)

    // A new visual is visible, not culled, dirty, and a root (no parent).
    CTQVisual();
    ~CTQVisual() override;

    // Precache on every child visual.
    virtual void Precache(std::int32_t viewport);
    // A visible, unculled visual tells the viewport (whose device layer draws
    // it), then displays every visible, unculled child visual.
    virtual void Display(std::int32_t viewport);
    // Nothing in the base.
    virtual void BlindDisplay(std::int32_t viewport);
    virtual void SetVisible(bool visible);
    virtual void SetCulled(bool culled);
    // Makes id a child: the child takes this visual as its parent and this
    // tree's top visual as its root, and both are marked dirty.
    virtual void AddVisual(std::int32_t id);
    // The child leaves and becomes a root of its own; this visual is marked
    // dirty, so that what depends on its children is recomputed.
    virtual void RemoveVisual(std::int32_t id);
    virtual void SetRenderPriority(std::int32_t priority);
    virtual std::int32_t GetRenderPriority() const;
    virtual void Update();
    // source < 0: a change of this visual; the mark always climbs. source >= 0:
    // the child with that id reports a change; the climb stops here when this
    // visual is already dirty.
    virtual void SetDirty(int source);
    virtual bool IsDirty() const;
    // Passed up to the top visual, which handles blind-display requests. A
    // request that meets a parent id naming no visual yet is kept and passed
    // on in the next Update().
    virtual void RequestBlindDisplay(std::int32_t id);
    virtual void UnRequestBlindDisplay(std::int32_t id);
    virtual void RequestParentBlindDisplay(std::int32_t id);
    virtual void SetParent(std::int32_t id);
    // id < 0 makes this visual a root: its children then take its own id.
    virtual void SetRoot(std::int32_t id);
    virtual void SetStyle(std::uint32_t style);
    virtual void ModifyStyle(std::uint32_t remove, std::uint32_t add);
    virtual std::uint32_t GetStyle() const;

    bool IsVisible() const { return m_bVisible; }
    bool IsCulled() const { return m_bCulled; }
    // -1 for none.
    std::int32_t GetParent() const { return m_nParent; }
    // -1 when this visual is a root, else the id of its tree's top visual.
    std::int32_t GetRoot() const { return m_nRoot; }
    std::int32_t GetPendingBlindDisplay() const { return m_nPendingBlindDisplay; }
    bool GetFirstVisual(std::int32_t& id, std::int32_t& cursor);
    bool GetNextVisual(std::int32_t& id, std::int32_t& cursor);

    // Marks every child for a look at the next Update(), as a child added
    // without AddVisual() has not reported its state.
    void AddChild(std::int32_t id) override;

    std::int32_t GetSerializationMode() const override;
    // The display node part, then updating state (1 byte), parent, root and
    // pending request (4 each), visible and culled (1 each), render priority
    // (4), dirty (1) and style (4).
    void Serialize(CTQDataStream& s) override;

protected:
    // Passed on to every child visual; a hook for classes that keep
    // blind-display registrations.
    virtual void BlindUpdateCheck(std::int32_t newParent, std::int32_t oldParent);
    virtual void ClearDirty();
    // Empty hooks, called in this order by Update() on a dirty visual.
    virtual void BeginUpdateState();
    virtual void UpdateState();
    virtual void EndUpdateState();
    virtual bool IsUpdatingState() const;

    // The child at this place of the child list when it is a visual (a 3D
    // visual), else null; and the parent when its id names a visual (a 3D
    // visual). Ids are looked up in the current object database on every use,
    // so an object that is gone is never reached.
    CTQVisual* GetChildVisualAt(std::size_t place);
    CTQVisual3d* GetChild3dAt(std::size_t place);
    CTQVisual* GetParentVisual();
    CTQVisual3d* GetParentVisual3d();

private:
    void NoteReport(std::int32_t child);
    void UpdateDirtyChildren();
    void UpdateReportedChildren();

    bool m_bUpdatingState = false;
    std::int32_t m_nParent = -1;
    std::int32_t m_nRoot = -1;
    std::int32_t m_nPendingBlindDisplay = -1;
    bool m_bVisible = true;
    bool m_bCulled = false;
    std::int32_t m_nRenderPriority = 0;
    bool m_bDirty = false;
    std::uint32_t m_nStyle = 0;
    // Children that reported a change since the last Update(), so that an
    // update visits those instead of every child; when the reports cannot be
    // trusted to be complete (a new or loaded visual, a child added directly)
    // every child is looked at once.
    bool m_bUpdateEveryChild = true;
    std::vector<std::int32_t> m_aReportedChildren;
    std::vector<std::pair<std::int32_t, std::int32_t>> m_aReportScratch;
};
