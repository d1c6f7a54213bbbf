#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Resources/CTQResource.h>
#include <Geodex/CTQVector3.h>
#include <Plinth/CTQString.h>

#include <cstdint>

class CFileIO;

// A resource that describes a piece of geometry kept in a separate vertex-buffer
// file: the names of that file and of its texture, the geometry's bounding box and
// its vertex and triangle counts. Visuals take their initial bounds from it.
//
// Invariant: bounds and counts describe the vertex-buffer file named last (as it
// was when it was named), or were loaded or given with that name.
//
// The vertex-buffer file is text in vertex/face notation, read line by line:
//     v <x> <y> <z>     a vertex: widens the bounds, counts one vertex
//     f <a> <b> <c>     a face: its first three indices count toward triangles
// Anything else is ignored. A "v" line whose three numbers do not all parse as
// finite numbers is skipped whole; a line longer than kMaxLineLength characters
// is one line cut short, never two.
//
// The record (Save/Load): the CTQResource record, then through CFileIO's typed
// operations:
//     int16  marker, 0
//     int16  version, 0
//     string vertex-buffer file name
//     string texture file name
//     float  bounds min x, y, z; bounds max x, y, z
//     int    vertex count
//     int    triangle count
class FRAMEKIT_API CTQ3DVisualRes : public CTQResource
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQ3DVisualRes)

    // The longest line of a vertex-buffer file that is looked at (characters);
    // the rest of a longer line is passed over.
    static constexpr int kMaxLineLength = 2000;

    CTQ3DVisualRes();
    ~CTQ3DVisualRes() override;

    // False when the resource record fails, when the marker or version is not 0,
    // on a short read or a negative count; fields read before stay read.
    bool Load(CFileIO* file) override;
    bool Save(CFileIO* file) override;

    // Reads the vertex-buffer file name for its bounds and counts, then keeps the
    // name. A file that cannot be opened gives zero counts and leaves the bounds
    // as they were (with a warning through the log sink).
    virtual void SetVertexbufferFilename(const CTQString& name);
    virtual void SetTextureFilename(const CTQString& name);
    virtual const CTQString& GetVertexbufferFilename() const;
    virtual const CTQString& GetTextureFilename() const;
    virtual void GetBounds(CTQVector3& min, CTQVector3& max) const;
    virtual std::int32_t GetVertexCount() const;
    virtual std::int32_t GetTriangleCount() const;

    // Takes a vertex-buffer file name together with geometry already known, without
    // opening the file: for authoring tools that carry a resource from one file to
    // another where the vertex-buffer file may not be at hand. Negative counts are
    // taken as 0.
    void SetVertexbuffer(const CTQString& name, const CTQVector3& min, const CTQVector3& max,
                         std::int32_t vertexCount, std::int32_t triangleCount);

protected:
    // Scans an open vertex-buffer file from its current position to its end and
    // sets the bounds and counts from it. Always true.
    bool ParseVertexBuffer(CFileIO& file);

private:
    bool ReadGeometry(CFileIO* file);

    CTQString m_sVertexbufferFilename;
    CTQString m_sTextureFilename;
    // False until the current parse has seen its first vertex.
    bool m_bBoundsValid = false;
    CTQVector3 m_vBoundsMin;
    CTQVector3 m_vBoundsMax;
    std::int32_t m_nVertexCount = 0;
    std::int32_t m_nTriangleCount = 0;
};
