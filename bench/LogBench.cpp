#include "log/EventRecord.h"
#include "log/EventTexts.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A full log: 256 records, every code with a text in turn, some with a text field.
std::string fullLog() {
    std::string log;
    for (int i = 0; i < 256; ++i) {
        std::string record = "0712261430";
        record += i % 3 == 0 ? std::string("+421900123456\0\0\0", 16) : std::string(16, '\0');
        record += std::string(5, '\0');
        record += static_cast<char>(i % qta::log::kEventTextCount);
        log += record;
    }
    return log;
}

void BM_DecodeEventLog(benchmark::State& state) {
    const std::string log = fullLog();
    const auto language = static_cast<qta::Language>(state.range(0));
    qta::log::decodeEventRecords(log, language); // the texts are built once per run, not per log
    for (auto _ : state) {
        auto lines = qta::log::decodeEventRecords(log, language);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_DecodeEventLog)
    ->Arg(static_cast<int>(qta::Language::SK))
    ->Arg(static_cast<int>(qta::Language::EN))
    ->Arg(static_cast<int>(qta::Language::DE))
    ->Unit(benchmark::kMicrosecond);

} // namespace
