#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Resources/CTQ3DVisualRes.h>
#include <Plinth/CTQString.h>

class CFileIO;

// A 3D visual resource that also names a mesh file for the device layer.
//
// The record (Save/Load): the CTQ3DVisualRes record, then through CFileIO's typed
// operations:
//     int16  marker, 0
//     int16  version, 0
//     string mesh file name
class FRAMEKIT_API CTQMeshVisualRes : public CTQ3DVisualRes
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQMeshVisualRes)

    CTQMeshVisualRes();
    ~CTQMeshVisualRes() override;

    // False when the 3D visual record fails, when the marker or version is not 0,
    // or on a short read; fields read before stay read.
    bool Load(CFileIO* file) override;
    bool Save(CFileIO* file) override;
    // "CTQMeshVisualResEditorComObj".
    CTQString GetAssociatedCommandObjectNode() const override;

    virtual void SetMeshFilename(CTQString name);
    virtual CTQString GetMeshFilename() const;

private:
    CTQString m_sMeshFilename;
};
