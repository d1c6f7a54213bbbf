#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>

#include <cstdint>
#include <map>
#include <vector>

class CTQDataStream;

// An object that keeps an ordered list of child object ids: the common base of
// the display server, the viewport and every visual.
//
// Two views of the same children are kept: the list, in the order in which the
// children were added (it decides the order of iteration), and the index, from
// child id to the place the id had in the list when it was added (it decides
// membership and the child count). Invariant: both hold the same set of ids,
// each once. Places stored in the index are not renumbered when an earlier
// child leaves.
//
// Serialised after the object part as the list section, the byte 'L', a 32-bit
// count and the ids in list order, then the index section, the byte 'm', a
// 32-bit count and (id, place) pairs in ascending id order.
class FRAMEKIT_API CTQDisplayNode : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQDisplayNode)

    static constexpr std::uint8_t kListTag = 0x4C;  // 'L'
    static constexpr std::uint8_t kIndexTag = 0x6D; // 'm'

    CTQDisplayNode();
    ~CTQDisplayNode() override;

    // Appends id and records its place. An id that is already a child is left
    // where it is, so the list never holds an id twice.
    virtual void AddChild(std::int32_t id);
    // Removes the first occurrence of id; an id that is not a child changes nothing.
    virtual void RemoveChild(std::int32_t id);
    virtual void RemoveAllChildren();
    // Iteration in list order; the cursor is the place in the list.
    virtual bool GetFirstChild(std::int32_t& id, std::int32_t& cursor);
    virtual bool GetNextChild(std::int32_t& id, std::int32_t& cursor);
    virtual std::int32_t GetChildCount();
    virtual bool HasChildren();

    // Written by the object database, and created by it when loading.
    std::int32_t GetSerializationMode() const override;
    // Loading repairs a stream that carries only one of the two sections (or two
    // that disagree) so that list and index hold the same ids again; a stream
    // with neither keeps the children the node had.
    void Serialize(CTQDataStream& s) override;

    // The children in list order, for callers that only read.
    const std::vector<std::int32_t>& GetChildList() const { return m_aChildren; }
    const std::map<std::int32_t, std::int32_t>& GetChildIndex() const { return m_oChildIndex; }
    bool IsChild(std::int32_t id) const { return m_oChildIndex.count(id) != 0; }

private:
    void StoreChildren(CTQDataStream& s);
    void LoadChildren(CTQDataStream& s);
    void AdoptList(std::vector<std::int32_t> list, const std::map<std::int32_t, std::int32_t>* storedIndex);
    void AdoptIndex(std::map<std::int32_t, std::int32_t> index);

    std::vector<std::int32_t> m_aChildren;
    std::map<std::int32_t, std::int32_t> m_oChildIndex;
};
