// encode, decode: the Configuration to and from the device's ConfigImage.
#include "Cli.h"
#include "catalogue/DeviceTexts.h"
#include "model/PffFile.h"
#include "transfer/ConfigDecoder.h"
#include "transfer/ConfigEncoder.h"
#include "transfer/GprsSlots.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace qta::cli {
namespace {

constexpr std::array<std::string_view, 3> kEncodeOptions = {"-o", "--frames", "--time"};
constexpr std::array<std::string_view, 2> kDecodeOptions = {"-o", "-i"};

struct TimePart {
    std::size_t position;
    int minimum;
    int maximum;
};
// YY MM DD hh mm, each as two digits.
constexpr std::array<TimePart, 5> kTimeParts = {{{0, 0, 99}, {2, 1, 12}, {4, 1, 31}, {6, 0, 23}, {8, 0, 59}}};

transfer::DateTime parseTime(const std::string& text) {
    const UsageError bad{"--time takes YYMMDDhhmm, a valid date and time"};
    if (text.size() != 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw bad;
    std::array<int, kTimeParts.size()> values{};
    for (std::size_t i = 0; i < kTimeParts.size(); ++i) {
        const TimePart& part = kTimeParts[i];
        values[i] = (text[part.position] - '0') * 10 + (text[part.position + 1] - '0');
        if (values[i] < part.minimum || values[i] > part.maximum)
            throw bad;
    }
    // The day must exist in its month: 31 April or 29 February 2026 is refused.
    const std::chrono::year_month_day date{std::chrono::year{2000 + values[0]},
                                           std::chrono::month{static_cast<unsigned>(values[1])},
                                           std::chrono::day{static_cast<unsigned>(values[2])}};
    if (!date.ok())
        throw bad;
    return {2000 + values[0], values[1], values[2], values[3], values[4]};
}

Configuration openConfiguration(const std::string& path, char decimalSeparator) {
    Configuration config = Configuration::startup(decimalSeparator);
    if (const auto result = pff::open(config, path); !result)
        throw Failure{result.message()};
    return config;
}

template <typename Bytes> void append(std::string& out, const Bytes& bytes) {
    std::transform(bytes.begin(), bytes.end(), std::back_inserter(out),
                   [](std::uint8_t byte) { return static_cast<char>(byte); });
}

transfer::ConfigImage readImage(const std::string& path) {
    const std::string content = readInputFile(path);
    const auto* first = reinterpret_cast<const std::uint8_t*>(content.data());
    auto image = transfer::ConfigImage::fromBytes({first, content.size()});
    if (!image)
        throw Failure{path + " is not a configuration image (" + std::to_string(content.size()) + " bytes, " +
                      std::to_string(transfer::kImageSize) + " expected)"};
    return *image;
}

// IMAGE.bin: the 336 payloads in address order. FRAMES.bin: the 337 Frames of 66
// bytes as a write sends them, the TimeFrame last.
int runEncode(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, kEncodeOptions);
    parsed.expectPositionals(1);
    const std::string imagePath = parsed.option("-o", true);
    const std::string framesPath = parsed.option("--frames");
    const std::string timeText = parsed.option("--time");
    if (!timeText.empty() && framesPath.empty())
        throw UsageError{"--time needs --frames"};
    const transfer::DateTime now = timeText.empty() ? transfer::localDateTime() : parseTime(timeText);

    const Configuration config = openConfiguration(parsed.positional[0], context.decimalSeparator);
    transfer::GprsSlots slots;
    transfer::SendDataFromForm(config, catalogue::imageDeviceTexts(context.language), slots);
    slots.storeTimeFrame(now);

    std::string image, frames;
    for (int number = 1; number <= transfer::GprsSlots::kSlotCount; ++number) {
        const transfer::Frame& frame = slots.slot(number).value();
        if (number != transfer::GprsSlots::kTimeFrameSlot)
            append(image, frame.payload);
        append(frames, frame.toWire());
    }
    writeOutputFile(imagePath, image);
    if (!framesPath.empty())
        writeOutputFile(framesPath, frames);
    return kExitOk;
}

// The image's Frames in ascending order over the start-up Configuration, or over BASE.
int runDecode(const Context& context, std::span<const std::string> args) {
    const auto parsed = Arguments::parse(args, kDecodeOptions);
    parsed.expectPositionals(1);
    const std::string output = parsed.option("-o", true);
    const std::string base = parsed.option("-i");

    Configuration config = base.empty() ? Configuration::startup(context.decimalSeparator)
                                        : openConfiguration(base, context.decimalSeparator);
    transfer::decodeImage(readImage(parsed.positional[0]), config, context.decimalSeparator);
    if (const auto result = pff::save(config, output); !result)
        throw Failure{result.message()};
    return kExitOk;
}

const Registration
    encode({"encode", "encode IN.pff -o IMAGE.bin [--frames FRAMES.bin --time YYMMDDhhmm]", runEncode,
            "Writes the device's configuration image of IN.pff (21,504 bytes, device texts in\n"
            "the --lang language).\n"
            "  -o IMAGE.bin           the image\n"
            "  --frames FRAMES.bin    also the 337 Frames of 66 bytes, in the order they go to the\n"
            "                         device, the time Frame last\n"
            "  --time YYMMDDhhmm      the time Frame's date and time (default: now); needs --frames\n"});
const Registration
    decode({"decode", "decode IMAGE.bin [-i BASE.pff] -o OUT.pff", runDecode,
            "Reads a 21,504-byte configuration image into a configuration and saves it.\n"
            "  -i BASE.pff  the configuration the image is read into (default: the start-up one)\n"
            "  -o OUT.pff   the file to save into\n"});

} // namespace
} // namespace qta::cli
