#include "StatusText.h"

#include <array>
#include <ostream>
#include <string>
#include <string_view>

namespace qta::cli {
namespace {

// Indexed by log::Colour and log::OptionBoxes.
constexpr std::array<std::string_view, 3> kColourNames = {"red", "yellow", "green"};
constexpr std::array<std::string_view, 3> kOptionBoxesNames = {"locked", "enabled", "unchanged"};
static_assert(static_cast<int>(log::Colour::Green) == 2 &&
              static_cast<int>(log::OptionBoxes::Unchanged) == 2);

// The report's bytes come from the device, or from any peer on the GPRS port:
// one outside printable ASCII (ESC, BEL) must not reach the terminal as it is.
std::string visible(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= ' ' && byte <= '~') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string_view colourName(log::Colour colour) {
    return kColourNames[static_cast<std::size_t>(colour)];
}

template <std::size_t N> std::string lamps(const std::array<bool, N>& lit) {
    std::string digits;
    for (const bool on : lit)
        digits += on ? '1' : '0';
    return digits;
}

std::string coloured(const log::ColouredText& text) {
    return visible(text.text) + ' ' + std::string(colourName(text.colour));
}

std::string colouredOrUnchanged(const std::optional<log::ColouredText>& text) {
    return text ? coloured(*text) : "unchanged";
}

std::string gaugeOrUnchanged(const std::optional<log::SignalLevel>& gauge) {
    return gauge ? std::to_string(gauge->level) + ' ' + std::string(colourName(gauge->colour)) : "unchanged";
}

} // namespace

void printStatus(std::ostream& out, const log::StatusView& view) {
    out << "inputs=" << lamps(view.inputActive) << '\n'
        << "AIN_1=" << visible(view.AIN_1) << '\n'
        << "AIN_2=" << visible(view.AIN_2) << '\n'
        << "MemoPSU=" << coloured(view.MemoPSU) << '\n'
        << "Memo230V=" << colouredOrUnchanged(view.Memo230V) << '\n'
        << "gaugeSIGNAL=" << gaugeOrUnchanged(view.gaugeSIGNAL) << '\n'
        << "editTIME=" << visible(view.editTIME) << '\n'
        << "MemoGPRS=" << colouredOrUnchanged(view.MemoGPRS) << '\n'
        << "outputs=" << lamps(view.outputOn) << '\n'
        << "options=" << kOptionBoxesNames[static_cast<std::size_t>(view.optionBoxes)] << '\n';
}

} // namespace qta::cli
