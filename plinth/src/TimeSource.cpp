#include <Plinth/TimeSource.h>

#include <chrono>

namespace
{
class CSteadyTimeSource final : public ITQTimeSource
{
public:
    double GetSeconds() const override
    {
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_oStart;
        return elapsed.count();
    }

private:
    std::chrono::steady_clock::time_point m_oStart = std::chrono::steady_clock::now();
};

// Null stands for the default source, so that nothing has to be installed before
// the first reading.
std::atomic<ITQTimeSource*> g_pInstalledSource{nullptr};
} // namespace

ITQTimeSource::~ITQTimeSource() = default;

void CTQManualClock::Advance(double seconds)
{
    double current = m_fSeconds.load();
    while (!m_fSeconds.compare_exchange_weak(current, current + seconds))
    {
    }
}

ITQTimeSource* TQGetDefaultTimeSource()
{
    static CSteadyTimeSource s_source;
    return &s_source;
}

ITQTimeSource* TQSetTimeSource(ITQTimeSource* source)
{
    ITQTimeSource* previous = g_pInstalledSource.exchange(source);
    return previous ? previous : TQGetDefaultTimeSource();
}

ITQTimeSource* TQGetTimeSource()
{
    ITQTimeSource* source = g_pInstalledSource.load();
    return source ? source : TQGetDefaultTimeSource();
}
