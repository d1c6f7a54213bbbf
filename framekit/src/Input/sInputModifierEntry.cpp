#include <Framekit/Input/sInputModifierEntry.h>

#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Plinth/CTQDataStream.h>

int sInputModifierEntry::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;

void sInputModifierEntry::Serialize(CTQDataStream& s)
{
    s.Serialize(nPriority);
    s.Serialize(nModifierId);
}
