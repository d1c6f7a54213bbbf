#include <Framekit.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{
class CBenchObject : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CBenchObject)
    std::int32_t GetSerializationMode() const override
    {
        return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    }
    void Serialize(CTQDataStream& s) override
    {
        CTQObject::Serialize(s);
        s.Serialize(value);
    }
    std::int32_t value = 0;
};
TQ_IMPLEMENT_CLASS_TYPE(CBenchObject, CTQObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CBenchObject)

constexpr int kObjects = 1024;

void BM_CreateReleaseByClassName(benchmark::State& state)
{
    CTQObjectDatabase db;
    std::vector<std::int32_t> ids(kObjects);
    for (auto _ : state)
    {
        for (auto& id : ids)
            id = db.CreateObject("CBenchObject");
        for (auto id : ids)
            db.ReleaseObject(id);
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_CreateReleaseByClassName);

// Baseline: the same objects made with new and counted in a plain vector.
void BM_CreateReleasePlainVector(benchmark::State& state)
{
    std::vector<CBenchObject*> table(kObjects);
    for (auto _ : state)
    {
        for (auto& p : table)
            p = new CBenchObject();
        for (auto& p : table)
        {
            delete p;
            p = nullptr;
        }
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_CreateReleasePlainVector);

void BM_QueryReleaseById(benchmark::State& state)
{
    CTQObjectDatabase db;
    for (int i = 0; i < kObjects; ++i)
        db.CreateObject("CBenchObject");
    for (auto _ : state)
    {
        for (std::int32_t id = 0; id < kObjects; ++id)
        {
            CTQObject* o = db.QueryObject(id);
            benchmark::DoNotOptimize(o);
            db.ReleaseObject(id);
        }
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_QueryReleaseById);

// Baseline: index a vector of pointers and move a count up and down.
void BM_QueryReleasePlainVector(benchmark::State& state)
{
    std::vector<std::unique_ptr<CBenchObject>> owned(kObjects);
    std::vector<CBenchObject*> table(kObjects);
    std::vector<std::int32_t> counts(kObjects, 1);
    for (int i = 0; i < kObjects; ++i)
    {
        owned[static_cast<std::size_t>(i)] = std::make_unique<CBenchObject>();
        table[static_cast<std::size_t>(i)] = owned[static_cast<std::size_t>(i)].get();
    }
    for (auto _ : state)
    {
        for (std::size_t id = 0; id < kObjects; ++id)
        {
            CBenchObject* o = id < table.size() ? table[id] : nullptr;
            benchmark::DoNotOptimize(o);
            ++counts[id];
            benchmark::DoNotOptimize(counts[id]);
            --counts[id];
        }
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_QueryReleasePlainVector);

constexpr int kSavedObjects = 100000;

void BM_SaveLoad100k(benchmark::State& state)
{
    auto* source = new CTQObjectDatabase();
    for (int i = 0; i < kSavedObjects; ++i)
        source->CreateObject("CBenchObject");
    CTQDataStream saved(CTQDataStream::eStoring, 64u * kSavedObjects);
    std::int64_t bytes = 0;
    for (auto _ : state)
    {
        saved.Rewind(CTQDataStream::eStoring);
        saved.Rewind();
        source->Serialize(saved);
        saved.Rewind(CTQDataStream::eLoading);
        source->Serialize(saved); // loads into the existing objects
        bytes += 2 * static_cast<std::int64_t>(saved.GetSize());
    }
    state.SetBytesProcessed(bytes);
    delete source;
}
BENCHMARK(BM_SaveLoad100k)->Unit(benchmark::kMillisecond);
} // namespace
