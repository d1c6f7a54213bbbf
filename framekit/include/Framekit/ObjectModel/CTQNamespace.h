#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQNode.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>

class CTQDataStream;
class CTQPath;

// The one tree of named nodes, rooted at "$". Paths are "/"-separated and may
// start with the root's name ("$/net/db") or leave it out ("net/db").
class FRAMEKIT_API CTQNamespace
{
public:
    TQ_DECLARE_ROOT_CLASS_TYPE(CTQNamespace)

    CTQNamespace();
    CTQNamespace(const CTQNamespace&) = delete;
    CTQNamespace& operator=(const CTQNamespace&) = delete;
    virtual ~CTQNamespace();

    virtual void Serialize(CTQDataStream& s);

    // Creates the node at path and every missing node on the way (as "CTQNode");
    // true when the node at path exists afterwards.
    virtual bool New(const CTQPath& path, const CTQClassType* type);
    virtual bool New(const CTQPath& path, const CTQString& className);

    virtual CTQNode* GetRoot();
    virtual const CTQNode* GetRoot() const;

    // The node at path with one reference added, or null.
    CTQNode* Query(const CTQPath& path);
    // Release() on the node at path; 0 when there is none.
    std::int32_t Release(const CTQPath& path);

    static CTQNamespace& Instance();

protected:
    const CTQNode* Get(const CTQPath& path) const;
    CTQNode* Find(const CTQPath& path);

private:
    static CTQNamespace __m_oInstance;

    CTQNode m_oRoot;
};
