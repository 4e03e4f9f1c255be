#include "catalogue/DeviceTexts.h"
#include "transfer/ConfigDecoder.h"
#include "transfer/ConfigEncoder.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qta;

// Every list full, every text at its longest: the most work an image can be.
Configuration filledConfiguration(char filler) {
    Configuration config = Configuration::startup(',');
    for (const FieldDef& def : config.table().fields()) {
        const FieldId id = config.table().id(def.name);
        if (def.kind == FieldKind::PhoneNumber)
            config.setText(id, "+42190" + std::string(8, filler));
        else if (def.kind == FieldKind::SmsText)
            config.setText(id, std::string(127, filler));
    }
    return config;
}

void BM_EncodeImage(benchmark::State& state) {
    const Configuration config = filledConfiguration('1');
    const auto texts = catalogue::imageDeviceTexts(Language::DE);
    for (auto _ : state) {
        const transfer::ConfigImage image = transfer::encodeImage(config, texts);
        benchmark::DoNotOptimize(image.bytes().data());
    }
}
BENCHMARK(BM_EncodeImage)->Unit(benchmark::kMicrosecond);

// Two different images in turn, so every field really changes on each decode.
void BM_DecodeImage(benchmark::State& state) {
    const auto texts = catalogue::imageDeviceTexts(Language::EN);
    const transfer::ConfigImage images[] = {transfer::encodeImage(filledConfiguration('1'), texts),
                                            transfer::encodeImage(filledConfiguration('2'), texts)};
    Configuration config = Configuration::startup(',');
    std::size_t turn = 0;
    for (auto _ : state) {
        transfer::decodeImage(images[turn++ % 2], config, ',');
        benchmark::DoNotOptimize(config.text(0).data());
    }
}
BENCHMARK(BM_DecodeImage)->Unit(benchmark::kMicrosecond);

} // namespace
