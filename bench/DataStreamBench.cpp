#include <Framekit.h>

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <vector>

// A small bracketed record of about 64 bytes, the size of most per-object state
// records: a versioned block holding a handful of fields.
namespace
{
struct SmallRecord
{
    std::int32_t id = 7;
    std::int32_t flags = 3;
    float pos[3] = {1.0f, 2.0f, 3.0f};
    float rot[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    std::int32_t res = 12;
    std::int32_t mode = 1;
    std::uint8_t visible = 1;
};

constexpr int kRecords = 1024;

void WriteRecord(CTQDataStream& s, SmallRecord& r)
{
    s.SerializeBegin(0x100);
    s.Serialize(r.id);
    s.Serialize(r.flags);
    for (float& f : r.pos)
        s.Serialize(f);
    for (float& f : r.rot)
        s.Serialize(f);
    s.Serialize(r.res);
    s.Serialize(r.mode);
    s.Serialize(r.visible);
    s.SerializeEnd();
}

std::size_t RecordBytes()
{
    CTQDataStream s(CTQDataStream::eStoring);
    SmallRecord r;
    WriteRecord(s, r);
    return s.GetSize();
}

void BM_DataStreamWriteRead(benchmark::State& state)
{
    CTQDataStream s(CTQDataStream::eStoring, 64 * kRecords * 2);
    SmallRecord r;
    for (auto _ : state)
    {
        s.Rewind(CTQDataStream::eStoring);
        s.Rewind();
        for (int i = 0; i < kRecords; ++i)
            WriteRecord(s, r);
        s.Rewind(CTQDataStream::eLoading);
        for (int i = 0; i < kRecords; ++i)
            WriteRecord(s, r);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords * 2 *
                            static_cast<std::int64_t>(RecordBytes()));
}
BENCHMARK(BM_DataStreamWriteRead);

// The baseline: the same bytes copied in and out with memcpy.
void BM_MemcpyWriteRead(benchmark::State& state)
{
    std::size_t bytes = RecordBytes();
    std::vector<std::uint8_t> buffer(bytes * kRecords);
    std::array<std::uint8_t, 128> record{};
    for (auto _ : state)
    {
        for (int i = 0; i < kRecords; ++i)
            std::memcpy(buffer.data() + i * bytes, record.data(), bytes);
        for (int i = 0; i < kRecords; ++i)
            std::memcpy(record.data(), buffer.data() + i * bytes, bytes);
        benchmark::DoNotOptimize(record);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords * 2 *
                            static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_MemcpyWriteRead);
} // namespace

BENCHMARK_MAIN();
