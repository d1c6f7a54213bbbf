#include "SampleSupport.h"

#include <Framekit.h>

bool LoadLevel(CTQLocalResourceDatabase& resources, const char* levelPath)
{
    CFileIO file;
    try
    {
        return file.Open(levelPath, CFileIO::eRead) && resources.Load(&file);
    }
    catch (CTQException* e)
    {
        e->ReportError();
        e->Delete();
    }
    return false;
}

std::int32_t FindResource(CTQResourceDatabase& resources, const char* name)
{
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    CTQString resourceClass;
    for (bool more = resources.GetFirstResource(id, resourceClass, cursor); more;
         more = resources.GetNextResource(id, resourceClass, cursor))
    {
        CTQResourceRef resource(id);
        if (resource.IsValid() && resource->GetName() == name)
            return id;
    }
    return -1;
}
