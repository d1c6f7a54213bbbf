#include <Framekit/ObjectModel/sTriggeredEvent.h>

#include <Framekit/ObjectModel/CTQEventHandler.h>
#include <Plinth/CTQDataStream.h>

int sTriggeredEvent::GetDataFormatVersion()
{
    return CTQEventHandler::GetDataFormatVersion();
}

void sTriggeredEvent::Serialize(CTQDataStream& s)
{
    s.Serialize(nEventId);
    s.Serialize(fDueTime);
    s.Serialize(nTargetId);
    s.Serialize(nParam1);
    s.Serialize(nParam2);
    s.Serialize(nParam3);
    s.Serialize(nParam4);
    s.Serialize(nParam5);
}
