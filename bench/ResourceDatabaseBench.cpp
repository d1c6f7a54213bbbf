#include <Framekit/Resources/Resources.h>
#include <Plinth/CFileIO.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// Saving and loading a local resource database of 100 000 resources, each with
// three attributes and two references, beside reading the same file's bytes with
// a plain fread: the ratio is the cost of the typed record format over raw I/O.
namespace
{
constexpr std::int32_t kResources = 100000;

const std::string& FilePath()
{
    static const std::string s_sPath =
        (std::filesystem::temp_directory_path() / ("framekit_res_bench_" + std::to_string(getpid()) + ".res")).string();
    return s_sPath;
}

// Built once; its file is written once so every load reads the same bytes.
struct SSource
{
    CTQLocalResourceDatabase db;
    std::int64_t fileSize = 0;

    SSource()
    {
        for (std::int32_t i = 0; i < kResources; ++i)
        {
            const std::int32_t id = db.CreateResource("resource" + std::to_string(i), "CTQResource");
            CTQResource* r = db.QueryResource(id);
            (*r)["nCount"] = i;
            (*r)["fScale"] = 0.5f * static_cast<float>(i);
            (*r)["szMesh"] = "meshes/rock.msh";
            r->SetAssociatedClassType("CTQVisual");
            if (i >= 2)
            {
                r->AddReference("refPrev", id - 1, "Rock");
                r->AddReference("refPrevPrev", id - 2, "Rock");
            }
            db.ReleaseResource(id);
        }
        CFileIO file;
        file.Open(FilePath().c_str(), CFileIO::eWrite);
        db.Save(&file);
        fileSize = file.GetSize();
    }
    ~SSource()
    {
        std::error_code ignored;
        std::filesystem::remove(FilePath(), ignored);
    }
};

SSource& Source()
{
    static SSource s_oSource;
    return s_oSource;
}

void BM_SaveResourceDatabase(benchmark::State& state)
{
    SSource& source = Source();
    const std::string path = FilePath() + ".save";
    for (auto _ : state)
    {
        CFileIO file;
        file.Open(path.c_str(), CFileIO::eWrite);
        benchmark::DoNotOptimize(source.db.Save(&file));
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * source.fileSize);
}
BENCHMARK(BM_SaveResourceDatabase)->Unit(benchmark::kMillisecond);

void BM_LoadResourceDatabase(benchmark::State& state)
{
    SSource& source = Source();
    for (auto _ : state)
    {
        auto loaded = std::make_unique<CTQLocalResourceDatabase>();
        CFileIO file;
        file.Open(FilePath().c_str(), CFileIO::eRead);
        benchmark::DoNotOptimize(loaded->Load(&file));
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * source.fileSize);
}
BENCHMARK(BM_LoadResourceDatabase)->Unit(benchmark::kMillisecond);

// Baseline: the same file's bytes with one fread into a buffer.
void BM_ReadResourceFileWithFread(benchmark::State& state)
{
    SSource& source = Source();
    std::vector<char> bytes(static_cast<std::size_t>(source.fileSize));
    for (auto _ : state)
    {
        std::FILE* file = std::fopen(FilePath().c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    state.SetBytesProcessed(state.iterations() * source.fileSize);
}
BENCHMARK(BM_ReadResourceFileWithFread)->Unit(benchmark::kMillisecond);

// Baseline for saving: the same number of bytes with one fwrite.
void BM_WriteResourceFileWithFwrite(benchmark::State& state)
{
    SSource& source = Source();
    const std::string path = FilePath() + ".fwrite";
    std::vector<char> bytes(static_cast<std::size_t>(source.fileSize), 'x');
    for (auto _ : state)
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        benchmark::DoNotOptimize(std::fwrite(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * source.fileSize);
}
BENCHMARK(BM_WriteResourceFileWithFwrite)->Unit(benchmark::kMillisecond);
} // namespace
