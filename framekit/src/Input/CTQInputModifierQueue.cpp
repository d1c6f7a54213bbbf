#include <Framekit/Input/CTQInputModifierQueue.h>

#include <Framekit/Input/CTQInputModifier.h>
#include <Framekit/Input/CTQModifierDataTransport.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Plinth/CTQDataStream.h>

#include <algorithm>

int CTQInputModifierQueue::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;

namespace
{
constexpr std::uint8_t kQueueMarker = 0x4C; // 'L'
} // namespace

CTQInputModifierQueue::CTQInputModifierQueue() = default;
CTQInputModifierQueue::~CTQInputModifierQueue() = default;

void CTQInputModifierQueue::Serialize(CTQDataStream& s)
{
    TQSerializeArray(s, kQueueMarker, m_aEntries);
    bool busy = IsBusyWithProcessing();
    s.Serialize(busy);
    if (s.IsLoading())
    {
        // Stored entries may come in any order; the calling order is by priority.
        SortEntries();
        ++m_nGeneration;
    }
}

int CTQInputModifierQueue::Compare(const sInputModifierEntry& a, const sInputModifierEntry& b)
{
    if (a.nPriority < b.nPriority)
        return 1;
    if (a.nPriority > b.nPriority)
        return -1;
    return 0;
}

void CTQInputModifierQueue::SortEntries()
{
    std::stable_sort(m_aEntries.begin(), m_aEntries.end(),
                     [](const sInputModifierEntry& a, const sInputModifierEntry& b) { return Compare(a, b) < 0; });
}

void CTQInputModifierQueue::InstallModifier(std::int32_t priority, std::int32_t modifierId)
{
    m_aEntries.push_back({priority, modifierId});
    SortEntries();
    ++m_nGeneration;
}

void CTQInputModifierQueue::UninstallModifier(std::int32_t modifierId)
{
    auto it = std::find_if(m_aEntries.begin(), m_aEntries.end(),
                           [modifierId](const sInputModifierEntry& entry) { return entry.nModifierId == modifierId; });
    if (it == m_aEntries.end())
        return;
    m_aEntries.erase(it);
    ++m_nGeneration;
}

void CTQInputModifierQueue::UninstallAllModifiers()
{
    m_aEntries.clear();
    ++m_nGeneration;
}

bool CTQInputModifierQueue::IsInstalled(std::int32_t modifierId) const
{
    return std::any_of(m_aEntries.begin(), m_aEntries.end(),
                       [modifierId](const sInputModifierEntry& entry) { return entry.nModifierId == modifierId; });
}

void CTQInputModifierQueue::CallModifier(const sInputModifierEntry& entry, eModifierProcessingState state,
                                         std::int32_t eventId, CTQModifierDataTransport& transport) const
{
    CTQObjectDatabase* database = TQGetObjectDatabase();
    if (!database)
        return;
    CTQObject* object = database->QueryObject(entry.nModifierId);
    if (!object)
        return;
    if (object->IsOfType(CTQInputModifier::GetClassType()))
        static_cast<CTQInputModifier*>(object)->Execute(state, eventId, transport);
    // The lookup's own reference: a modifier that destroyed itself during
    // Execute has already had its OnDestruct, so it goes without another.
    object->Release();
}

bool CTQInputModifierQueue::Process(eModifierProcessingState state, std::int32_t eventId)
{
    BeginProcessing();
    CTQModifierDataTransport transport;
    // The pass walks a copy: modifiers may change the entries under it.
    const std::vector<sInputModifierEntry> entries = m_aEntries;
    const std::uint32_t generation = m_nGeneration;
    for (const sInputModifierEntry& entry : entries)
    {
        if (m_nGeneration != generation && !IsInstalled(entry.nModifierId))
            continue;
        CallModifier(entry, state, eventId, transport);
        if (transport.GetTransportMode() == eDataTransportStop)
            break;
    }
    EndProcessing();
    return transport.GetResult() == eModifierResultAccept;
}

void CTQInputModifierQueue::BeginProcessing()
{
    ++m_nProcessingDepth;
}

void CTQInputModifierQueue::EndProcessing()
{
    if (m_nProcessingDepth > 0)
        --m_nProcessingDepth;
}

std::int32_t CTQInputModifierQueue::GetNumModifiers() const
{
    return static_cast<std::int32_t>(m_aEntries.size());
}

bool CTQInputModifierQueue::HasModifiers() const
{
    return !m_aEntries.empty();
}

bool CTQInputModifierQueue::IsBusyWithProcessing() const
{
    return m_nProcessingDepth > 0;
}

void CTQInputModifierQueue::DumpQueue() const
{
    // Kept for a debugger's breakpoint: the walk shows each entry in turn.
    for ([[maybe_unused]] const sInputModifierEntry& entry : m_aEntries)
    {
    }
}
