#include "catalogue/LanguageCatalogue.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qta;

// The first use of a language builds its whole catalogue; this is what a
// switch to a language not shown before costs on top of applying it.
void BM_BuildLanguageCatalogue(benchmark::State& state) {
    const auto language = static_cast<Language>(state.range(0));
    for (auto _ : state) {
        catalogue::LanguageCatalogue built = catalogue::buildLanguageCatalogue(language);
        benchmark::DoNotOptimize(built.controlTexts.data());
    }
}
BENCHMARK(BM_BuildLanguageCatalogue)
    ->Arg(static_cast<int>(Language::SK))
    ->Arg(static_cast<int>(Language::EN))
    ->Arg(static_cast<int>(Language::DE))
    ->Arg(static_cast<int>(Language::DK))
    ->Unit(benchmark::kMicrosecond);

void BM_BuildAllFourCatalogues(benchmark::State& state) {
    for (auto _ : state) {
        for (Language language : {Language::SK, Language::EN, Language::DE, Language::DK}) {
            catalogue::LanguageCatalogue built = catalogue::buildLanguageCatalogue(language);
            benchmark::DoNotOptimize(built.controlTexts.data());
        }
    }
}
BENCHMARK(BM_BuildAllFourCatalogues)->Unit(benchmark::kMicrosecond);

} // namespace
