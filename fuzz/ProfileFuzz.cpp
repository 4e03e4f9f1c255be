// Feeds arbitrary bytes to the profile reader and the .pff mapping, then writes
// the result back and encodes it for the device: nothing may crash, hang or
// read out of bounds whatever a file holds (texts beyond every limit, numbers
// out of range), and what is written is again a configuration file. A UTF-8
// byte-order mark in front changes nothing.
#include "model/PffFile.h"
#include "transfer/ConfigEncoder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void checkByteOrderMarkIsSkipped(std::string_view bytes, const qta::ProfileDocument& doc) {
    if (bytes.starts_with(kByteOrderMark))
        return; // only the first mark is skipped
    const std::string marked = std::string(kByteOrderMark) + std::string(bytes);
    if (qta::ProfileDocument::parse(marked).serialize() != doc.serialize())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qta::ProfileDocument doc = qta::ProfileDocument::parse(bytes);
    checkByteOrderMarkIsSkipped(bytes, doc);
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
