#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Spatial/sObjectList.h>
#include <Geodex/CTQVector3.h>

#include <cstdint>
#include <map>

class CFileIO;

// An editable, numbered list of placements from which an object list
// (CTQObjectList) brings a level's static scenery to life. Its attributes also
// carry the grid of the list's quadtree ("nPatchesX" and the other keys of
// CTQObjectQuadtree).
//
// Placements are kept under indices in ascending order. AddObject hands out the
// next index, which only grows: removing a placement leaves a gap, and a setter
// that makes a placement under an index at or past it moves it past that index,
// so AddObject never overwrites a placement. Getters create nothing.
//
// The record (Save/Load): the CTQResource record, then through CFileIO's typed
// operations:
//     int16  version, 4 (3 and earlier: one rotation float, about Z)
//     int16  reserved, 0
//     int32  placement count; per placement in ascending index order:
//            int32 resource id, float x, y, z, float rotation x, y, z,
//            uint16 flags (indices are not written)
//     int32  next index (read and not used: loading numbers the placements 0 to
//            count - 1 and hands out count next)
class FRAMEKIT_API CTQObjectListRes : public CTQResource
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQObjectListRes)

    // The version Save writes.
    static constexpr std::uint16_t kRecordVersion = 4;

    CTQObjectListRes();
    ~CTQObjectListRes() override;

    // False on a failed resource record, a reserved value other than 0, a count
    // the record's remaining bytes cannot hold, or a short read; the placements
    // and next index are then those the list had before.
    bool Load(CFileIO* file) override;
    bool Save(CFileIO* file) override;
    // The resource part; from another object list also its placements and
    // next index (so that a list made from a prototype, or changed to another
    // resource class, keeps its placements).
    bool Copy(CTQResource* other) override;
    // "CTQObjectListResEditorComObj".
    CTQString GetAssociatedCommandObjectNode() const override;

    // A new placement of that resource at the origin, unturned, without flags;
    // its index.
    int AddObject(std::int32_t resourceId);
    int AddObject(sObjectList entry);
    void RemoveObject(int index);
    void RemoveObjectWithSpecificId(std::int32_t resourceId);
    // The next index is not reset.
    void RemoveAllObjects();

    // Setters on an index without a placement first make an empty one there
    // (no resource, at the origin); negative indices are refused.
    void UpdateObject(int index, float x, float y, float z, CTQVector3 rotation);
    void UpdateObject(int index, float x, float y, CTQVector3 rotation);
    void SetPos(int index, float x, float y, float z);
    void SetRotation(int index, CTQVector3 rotation);
    void SetObjectFlags(int index, unsigned short flags);

    // Getters on an index without a placement give (0, 0, 0), -1, 0 and false.
    CTQVector3 GetRotation(int index) const;
    std::int32_t GetResourceId(int index) const;
    unsigned short GetObjectFlags(int index) const;
    bool IsObjectHeightFixed(int index) const;
    int GetObjectCount() const;
    // The placement and its index, in ascending index order; the cursor is the
    // index reached (placements added or removed meanwhile do not break it).
    // False, entry and index untouched, when there is no (further) placement.
    bool GetFirstObject(sObjectList& entry, int& index, std::int32_t& cursor) const;
    bool GetNextObject(sObjectList& entry, int& index, std::int32_t& cursor) const;

    int GetNextIndex() const { return m_nNextIndex; }
    const std::map<int, sObjectList>& GetObjects() const { return m_oObjects; }

private:
    // The placement under index, made empty when there is none; null for a
    // negative index.
    sObjectList* Touch(int index);
    bool ReadPlacements(CFileIO* file, std::uint16_t version, std::map<int, sObjectList>& out);

    std::map<int, sObjectList> m_oObjects;
    // Invariant: above every index in use.
    int m_nNextIndex = 0;
};
