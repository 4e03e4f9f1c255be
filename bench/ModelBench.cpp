#include "model/PffFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace qta;

// A Configuration with every list full and every text filled.
Configuration fullConfiguration() {
    Configuration config = Configuration::startup(',');
    for (const FieldDef& def : config.table().fields()) {
        const auto id = config.table().id(def.name);
        if (def.kind == FieldKind::PhoneNumber)
            config.setText(id, "+4219001234" + std::to_string(def.position));
        else if (def.kind == FieldKind::SmsText)
            config.setText(id, std::string(100, 'a'));
    }
    return config;
}

std::string benchPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string(name) + std::to_string(::getpid()) + ".pff"))
        .string();
}

void BM_BuildFieldTable(benchmark::State& state) {
    for (auto _ : state) {
        FieldTable table;
        benchmark::DoNotOptimize(table.size());
    }
}
BENCHMARK(BM_BuildFieldTable)->Unit(benchmark::kMicrosecond);

void BM_StartupConfiguration(benchmark::State& state) {
    for (auto _ : state) {
        Configuration config = Configuration::startup(',');
        benchmark::DoNotOptimize(config.text(0));
    }
}
BENCHMARK(BM_StartupConfiguration)->Unit(benchmark::kMicrosecond);

void BM_SavePffFile(benchmark::State& state) {
    const Configuration config = fullConfiguration();
    const std::string path = benchPath("bench-save");
    for (auto _ : state) {
        if (!pff::save(config, path))
            state.SkipWithError("save failed");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SavePffFile)->Unit(benchmark::kMicrosecond);

// Opens a full file and a start-up file in turn, so every Open really changes
// the fields (opening the same file again would find every value in place).
void BM_OpenPffFile(benchmark::State& state) {
    const std::string full = benchPath("bench-open-full");
    const std::string startup = benchPath("bench-open-startup");
    pff::save(fullConfiguration(), full);
    pff::save(Configuration::startup(','), startup);
    Configuration config = Configuration::startup(',');
    bool fullNext = true;
    for (auto _ : state) {
        if (!pff::open(config, fullNext ? full : startup))
            state.SkipWithError("open failed");
        fullNext = !fullNext;
    }
    std::remove(full.c_str());
    std::remove(startup.c_str());
}
BENCHMARK(BM_OpenPffFile)->Unit(benchmark::kMicrosecond);

} // namespace
