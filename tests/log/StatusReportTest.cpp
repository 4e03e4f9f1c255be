#include "log/StatusReport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qta::log::Colour;
using qta::log::ColouredText;
using qta::log::OptionBoxes;
using qta::log::SignalLevel;
using qta::log::StatusView;

// A report of 7 December 2026 14:05 with everything else zero.
std::string report() {
    std::string r(21, '\0');
    r.replace(6, 10, "2612071405");
    r[19] = '\x1C';
    r[20] = ',';
    return r;
}

std::string with(std::size_t offset, unsigned char value) {
    std::string r = report();
    r[offset] = static_cast<char>(value);
    return r;
}

StatusView decode(const std::string& r, char separator = '.') {
    return qta::log::decodeStatusReport(
        qta::log::StatusReportBytes(reinterpret_cast<const unsigned char*>(r.data()), 21), separator);
}

TEST(StatusReport, InputBitSevenIsInputOne) {
    EXPECT_EQ(decode(with(0, 0x80)).inputActive,
              (std::array<bool, 8>{true, false, false, false, false, false, false, false}));
    EXPECT_EQ(decode(with(0, 0x01)).inputActive,
              (std::array<bool, 8>{false, false, false, false, false, false, false, true}));
}

TEST(StatusReport, AnalogInputsInShortestDecimalWithTheSystemSeparator) {
    EXPECT_EQ(decode(with(1, 123)).AIN_1, "12.3");
    EXPECT_EQ(decode(with(1, 123), ',').AIN_1, "12,3");
    EXPECT_EQ(decode(with(2, 120), ',').AIN_2, "12");
    EXPECT_EQ(decode(with(2, 0)).AIN_2, "0");
    EXPECT_EQ(decode(with(2, 5)).AIN_2, "0.5");
    EXPECT_EQ(decode(with(1, 255)).AIN_1, "25.5");
}

TEST(StatusReport, SystemVoltageAlwaysWithACommaTruncatedGreenAbove3800) {
    EXPECT_EQ(decode(with(3, 110)).MemoPSU, (ColouredText{"3,80", Colour::Red}));   // 3800 mV
    EXPECT_EQ(decode(with(3, 111)).MemoPSU, (ColouredText{"3,80", Colour::Green})); // 3804 mV
    EXPECT_EQ(decode(with(3, 0)).MemoPSU, (ColouredText{"3,36", Colour::Red}));
    EXPECT_EQ(decode(with(3, 255)).MemoPSU, (ColouredText{"4,38", Colour::Green}));
    EXPECT_EQ(decode(with(3, 2), '.').MemoPSU, (ColouredText{"3,36", Colour::Red})); // 3368 mV
}

TEST(StatusReport, MainPowerAndGprsShowOnlyTheirCodesAndKeepTheFieldOtherwise) {
    EXPECT_EQ(decode(with(4, 2)).Memo230V, (ColouredText{"OK", Colour::Green}));
    EXPECT_EQ(decode(with(4, 1)).Memo230V, (ColouredText{"Fail", Colour::Red}));
    EXPECT_EQ(decode(with(4, 0)).Memo230V, std::nullopt);
    EXPECT_EQ(decode(with(4, 3)).Memo230V, std::nullopt);
    EXPECT_EQ(decode(with(16, 1)).MemoGPRS, (ColouredText{"OK", Colour::Green}));
    EXPECT_EQ(decode(with(16, 2)).MemoGPRS, (ColouredText{"Fail", Colour::Red}));
    EXPECT_EQ(decode(with(16, 0)).MemoGPRS, std::nullopt);
    EXPECT_EQ(decode(with(16, '1')).MemoGPRS, std::nullopt);
}

TEST(StatusReport, SignalGaugeColourBandsAndNonDigitsKeepTheGauge) {
    EXPECT_EQ(decode(with(5, '0')).gaugeSIGNAL, (SignalLevel{0, Colour::Red}));
    EXPECT_EQ(decode(with(5, '2')).gaugeSIGNAL, (SignalLevel{2, Colour::Red}));
    EXPECT_EQ(decode(with(5, '3')).gaugeSIGNAL, (SignalLevel{3, Colour::Yellow}));
    EXPECT_EQ(decode(with(5, '5')).gaugeSIGNAL, (SignalLevel{5, Colour::Yellow}));
    EXPECT_EQ(decode(with(5, '6')).gaugeSIGNAL, (SignalLevel{6, Colour::Green}));
    EXPECT_EQ(decode(with(5, '9')).gaugeSIGNAL, (SignalLevel{9, Colour::Green}));
    for (const int notDigit : {0x00, 0x2F, 0x3A, 0x05, 0xFF})
        EXPECT_EQ(decode(with(5, static_cast<unsigned char>(notDigit))).gaugeSIGNAL, std::nullopt)
            << notDigit;
}

TEST(StatusReport, ClockIsNineteenCharactersDayFirst) {
    EXPECT_EQ(decode(report()).editTIME, " 07.12.2026   14:05");
    std::string odd = report();
    odd.replace(6, 10, "9x8y7z6w5v"); // copied as they stand, digits or not
    EXPECT_EQ(decode(odd).editTIME, " 7z.8y.209x   6w:5v");
    EXPECT_EQ(decode(odd).editTIME.size(), 19u);
}

TEST(StatusReport, ByteSeventeenLightsOutputsAndDecidesTheOptionBoxes) {
    const StatusView locked = decode(with(17, 0x05));
    EXPECT_EQ(locked.outputOn, (std::array<bool, 4>{true, false, true, false}));
    EXPECT_EQ(locked.optionBoxes, OptionBoxes::Locked);
    const StatusView freed = decode(with(17, 0x85));
    EXPECT_EQ(freed.outputOn, (std::array<bool, 4>{true, false, true, false}));
    EXPECT_EQ(freed.optionBoxes, OptionBoxes::Enabled);
    EXPECT_EQ(decode(with(17, 126)).optionBoxes, OptionBoxes::Locked);
    EXPECT_EQ(decode(with(17, 127)).optionBoxes, OptionBoxes::Unchanged);
    EXPECT_EQ(decode(with(17, 127)).outputOn, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(decode(with(17, 128)).optionBoxes, OptionBoxes::Enabled);
    EXPECT_EQ(decode(with(17, 0x08)).outputOn, (std::array<bool, 4>{false, false, false, true}));
}

} // namespace
