#include "TQVisual3dResourceBounds.h"

#include <Framekit/Resources/CTQ3DVisualRes.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceRef.h>

#include <Plinth/Log.h>

namespace
{
void ReadBoundsAttributes(const CTQResource& resource, sTQVisual3dResourceSettings& out)
{
    struct sCoordinate
    {
        const char* key;
        float* value;
    };
    const sCoordinate coordinates[] = {{"BoundsXMin", &out.boundsMin.x}, {"BoundsYMin", &out.boundsMin.y},
                                       {"BoundsZMin", &out.boundsMin.z}, {"BoundsXMax", &out.boundsMax.x},
                                       {"BoundsYMax", &out.boundsMax.y}, {"BoundsZMax", &out.boundsMax.z}};
    out.boundsMin = CTQVector3();
    out.boundsMax = CTQVector3();
    for (const sCoordinate& coordinate : coordinates)
        if (resource.HasAttribute(coordinate.key))
            *coordinate.value = resource.GetAttribute(coordinate.key).GetFloat();
}
} // namespace

bool TQReadVisual3dResourceSettings(std::int32_t resourceId, sTQVisual3dResourceSettings& out)
{
    CTQResourceRef resource(resourceId);
    if (!resource.IsValid())
    {
        Debug_Warning("CTQVisual3d::InitData(): no resource %d; the visual keeps its default bounds",
                      static_cast<int>(resourceId));
        return false;
    }
    if (resource->IsOfType(CTQ3DVisualRes::GetClassType()))
        static_cast<const CTQ3DVisualRes&>(*resource).GetBounds(out.boundsMin, out.boundsMax);
    else
        ReadBoundsAttributes(*resource, out);
    out.hasStyle = resource->HasAttribute("VisualStyle");
    if (out.hasStyle)
        out.style = static_cast<std::uint32_t>(resource->GetAttribute("VisualStyle").GetInt());
    return true;
}
