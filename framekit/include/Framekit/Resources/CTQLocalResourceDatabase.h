#pragma once

#include <Framekit/Resources/CTQResourceDatabase.h>

#include <cstdint>
#include <vector>

// The resource database kept in local files. Its source-control operations are
// inert: they answer false and change nothing.
//
// The resource database file, all values through CFileIO's typed operations:
//     int16  marker, 0
//     int16  version, 0
//     int32  reserved, 0
//     int    resource count
//     per resource in id order:
//         string resource type (the resource's class type name)
//         string resource class name of the entry (may be empty)
//         int32  length in bytes of the record that follows
//         the resource record (CTQResource)
//
// Loading enters every record whose type the resource factory knows under the id
// it holds (replacing an entry of that id), skips records of unknown types by
// their length, and always continues at the length a record states: a record is
// read from its own bytes only and cannot read into the next one. Afterwards the
// id counter stands past the highest id entered.
class FRAMEKIT_API CTQLocalResourceDatabase : public CTQResourceDatabase
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQLocalResourceDatabase)

    CTQLocalResourceDatabase();
    ~CTQLocalResourceDatabase() override;

    bool Startup() override;
    bool Closedown() override;

    bool Login(const CTQString& server, const CTQString& database, const CTQString& user,
               const CTQString& password) override;
    bool Logout() override;
    bool IsConnected() const override;
    bool CheckIn(std::int32_t id) override;
    bool CheckOut(std::int32_t id) override;
    bool UndoCheckOut(std::int32_t id) override;
    bool GetLatest(std::int32_t id) override;
    bool IsCheckedOut(std::int32_t id) const override;
    bool IsCheckedOutByMe(std::int32_t id) const override;
    bool IsCheckedOutBySomeoneElse(std::int32_t id) const override;
    bool IsDifferent(std::int32_t id) const override;
    bool GetCheckOutInfo(std::int32_t id, CTQString& user, CTQString& machine, std::int32_t& time) const override;
    bool CheckInResourceTree() override;
    bool CheckOutResourceTree() override;
    bool GetLatestResourceTree() override;
    bool IsCheckedOutResourceTree() const override;
    bool IsCheckedOutByMeResourceTree() const override;
    bool IsCheckedOutBySomeoneElseResourceTree() const override;
    bool IsDifferentResourceTree() const override;
    bool CheckInFile(CTQString path, bool& changed) override;
    bool CheckOutFile(CTQString path, bool& changed) override;
    bool SCAddFile(const CTQString& path, const CTQString& comment, bool binary) override;

    // -1 when the prototype is absent or its class cannot be made.
    std::int32_t CreateResourceFromClass(const CTQString& name, const CTQString& resourceClass) override;
    // Takes the next id that is free; -1 when the type cannot be made (the id
    // stays consumed).
    std::int32_t CreateResource(const CTQString& name, const CTQString& type) override;
    // -1 for a negative id, an id already taken, or a type that cannot be made.
    // The id counter is not moved.
    std::int32_t CreateResourceWithFixedId(std::int32_t id, const CTQString& name, const CTQString& type) override;
    // Gives back the table's reference and removes the entry whatever the count.
    void DestroyResource(std::int32_t id) override;
    CTQResource* QueryResource(std::int32_t id) override;
    std::int32_t ReleaseResource(std::int32_t id) override;
    void ReloadResource(std::int32_t id) override;

    std::int32_t GetCount() const override;

    bool GetFirstResource(std::int32_t& id, CTQString& resourceClass, std::int32_t& cursor) const override;
    bool GetNextResource(std::int32_t& id, CTQString& resourceClass, std::int32_t& cursor) const override;
    bool GetFirstResourceOfResourceClassType(const CTQString& resourceClass, std::int32_t& id,
                                             std::int32_t& cursor) const override;
    bool GetNextResourceOfResourceClassType(const CTQString& resourceClass, std::int32_t& id,
                                            std::int32_t& cursor) const override;

    // False for a bad header, a truncated file, an impossible count or length, or
    // a record that its resource could not read (that record is left out and
    // loading goes on). What was read stays entered; the database stays usable.
    bool Load(CFileIO* file) override;
    bool Save(CFileIO* file) override;
    bool ReadResourceTreeFile(CTQString& path) override;
    // Empties path.
    bool WriteResourceTreeFile(CTQString& path) override;

    bool GetResourceClassType(std::int32_t id, CTQString& resourceClass) const override;
    bool IsResourceIdValid(std::int32_t id) const override;
    void SetIdCounter(std::int32_t id) override;
    // Remakes the resource from the prototype resourceClass, then its own content,
    // name, id and dependencies over it. False (the resource unchanged) for an
    // unknown id, a resource others still hold, an absent prototype or a class
    // that cannot be made.
    bool ChangeResourceClass(std::int32_t id, const CTQString& resourceClass) override;

protected:
    std::int32_t NextUniqueId() override;

private:
    // Each record goes through an in-memory file of its own: written there first
    // so its length can precede it, read from there so it cannot read into the next.
    bool LoadRecord(CFileIO* file, CFileIO& record, std::vector<std::uint8_t>& bytes, bool& recordFailed);
    bool SaveRecord(CFileIO* file, CFileIO& record, const sResource& entry);
    std::int32_t NextFreeId();

    std::int32_t m_nNextUniqueId = 0;
};
