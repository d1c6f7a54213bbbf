#include <Framekit/ObjectModel/CTQNamespace.h>

#include <Plinth/CTQPath.h>

TQ_IMPLEMENT_ROOT_CLASS_TYPE(CTQNamespace, kTQDefaultDataFormatVersion)

CTQNamespace CTQNamespace::__m_oInstance;

namespace
{
constexpr const char* kRootName = "$";

// Index of the first component below the root: a leading "$" names the root.
int FirstComponent(const CTQPath& path)
{
    return path.GetNumComponents() > 0 && path.GetComponent(0) == kRootName ? 1 : 0;
}
} // namespace

CTQNamespace::CTQNamespace()
{
    m_oRoot.m_sName = kRootName;
    m_oRoot.m_bPermanent = true;
    m_oRoot.m_pRoot = &m_oRoot;
}

CTQNamespace::~CTQNamespace() = default;

void CTQNamespace::Serialize(CTQDataStream&) {}

CTQNamespace& CTQNamespace::Instance()
{
    return __m_oInstance;
}

bool CTQNamespace::New(const CTQPath& path, const CTQClassType* type)
{
    return type != nullptr && New(path, type->GetName());
}

bool CTQNamespace::New(const CTQPath& path, const CTQString& className)
{
    const CTQString leaf = path.StripPath();
    CTQNode* current = &m_oRoot;
    for (int i = FirstComponent(path), n = path.GetNumComponents(); i < n; ++i)
    {
        const CTQString component = path.GetComponent(i);
        if (CTQNode* child = current->FindChild(component))
        {
            current = child;
            continue;
        }
        CTQNode* node = CTQNodeFactory::New(component == leaf ? className : CTQString("CTQNode"));
        if (!node)
            return false;
        if (!current->Attach(component, node))
        {
            node->Release();
            return false;
        }
        current = node;
    }
    return true;
}

CTQNode* CTQNamespace::GetRoot()
{
    return &m_oRoot;
}

const CTQNode* CTQNamespace::GetRoot() const
{
    return &m_oRoot;
}

CTQNode* CTQNamespace::Query(const CTQPath& path)
{
    CTQNode* node = Find(path);
    if (node)
        node->AddRef();
    return node;
}

std::int32_t CTQNamespace::Release(const CTQPath& path)
{
    CTQNode* node = Find(path);
    return node ? node->Release() : 0;
}

const CTQNode* CTQNamespace::Get(const CTQPath& path) const
{
    const CTQNode* current = &m_oRoot;
    for (int i = FirstComponent(path), n = path.GetNumComponents(); current && i < n; ++i)
        current = current->GetChild(path.GetComponent(i));
    return current;
}

CTQNode* CTQNamespace::Find(const CTQPath& path)
{
    CTQNode* current = &m_oRoot;
    for (int i = FirstComponent(path), n = path.GetNumComponents(); current && i < n; ++i)
        current = current->FindChild(path.GetComponent(i));
    return current;
}
