// Feeds arbitrary bytes to the profile reader and the .pff mapping, then writes
// the result back and encodes it for the device: nothing may crash, hang or
// read out of bounds whatever a file holds (texts beyond every limit, numbers
// out of range), and what is written is again a configuration file.
#include "model/PffFile.h"
#include "transfer/ConfigEncoder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qta::ProfileDocument doc = qta::ProfileDocument::parse(bytes);
    qta::Configuration config = qta::Configuration::startup(',');
    qta::pff::read(doc, config);
    qta::transfer::encodeImage(config, qta::transfer::DeviceTexts{});
    qta::pff::write(config, doc);
    // The program's own keys now hold one line each, whatever came in.
    qta::Configuration again = qta::Configuration::startup('.');
    if (!qta::pff::read(qta::ProfileDocument::parse(doc.serialize()), again))
        __builtin_trap();
    return 0;
}
