#include "app/catalogue/DeviceTexts.h"

#include <gtest/gtest.h>

namespace qta::catalogue {
namespace {

using Texts = std::array<std::string, kImageDeviceTextCount>;

TEST(DeviceTextsTest, EnglishInImageOrder) {
    const Texts expected = {
        "GSM signal ",
        "GPRS access",
        "voltage ",
        "time ",
        "Analog input = ",
        "Restart dialer",
        "Activated",
        "Deactivated",
        "Main power supply failure!",
        "Main power supply OK",
        "Low supply voltage!",
        "Input",
        "Output",
        "GSM jammer detected !",
    };
    EXPECT_EQ(imageDeviceTexts(Language::EN), expected);
}

TEST(DeviceTextsTest, SlovakWithoutDiacritics) {
    const Texts expected = {
        "GSM signal ",
        "GPRS pristup",
        "napatie ",
        "cas ",
        "Analog. vstup = ",
        "Restart volaca",
        "Aktivovany",
        "Neaktivovany",
        "Vypadok hl. napajania!",
        "Hl. napajanie OK",
        "Nizke nap. napatie!",
        "Vstup",
        "Vystup",
        "Zachytena rusicka GSM !",
    };
    EXPECT_EQ(imageDeviceTexts(Language::SK), expected);
}

TEST(DeviceTextsTest, GermanInWindows1250) {
    const Texts expected = {
        "GSM signal ",
        "GPRS Zugreifen",
        "spannung ",
        "Zeit ",
        "Analogeingang = ",
        "Ger\xE4t restarten",
        "Aktiviert",
        "Deaktiviert",
        "Fehler bei Spannung!",
        "Spannung wiederhergestellt",
        "Niedriger Spannung!",
        "Eingang",
        "Ausgang",
        "GSM-Jamming erkannt!",
    };
    EXPECT_EQ(imageDeviceTexts(Language::DE), expected);
}

TEST(DeviceTextsTest, DanishEqualsEnglish) {
    EXPECT_EQ(imageDeviceTexts(Language::DK), imageDeviceTexts(Language::EN));
    EXPECT_EQ(deviceTextSet(Language::DK).restartDialer, "Restart dialer");
}

} // namespace
} // namespace qta::catalogue
