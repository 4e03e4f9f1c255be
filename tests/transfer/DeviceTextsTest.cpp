#include "catalogue/DeviceTexts.h"

#include <gtest/gtest.h>

namespace qta::catalogue {
namespace {

using Texts = std::array<std::string, kImageDeviceTextCount>;

// Windows-1250 bytes, in the order the image carries them.
TEST(DeviceTextsTest, FourteenTextsPerLanguageInImageOrder) {
    const std::array<std::pair<Language, Texts>, 3> expected = {{
        {Language::EN,
         {"GSM signal ", "GPRS access", "voltage ", "time ", "Analog input = ", "Restart dialer", "Activated",
          "Deactivated", "Main power supply failure!", "Main power supply OK", "Low supply voltage!", "Input",
          "Output", "GSM jammer detected !"}},
        {Language::SK,
         {"GSM signal ", "GPRS pristup", "napatie ", "cas ", "Analog. vstup = ", "Restart volaca",
          "Aktivovany", "Neaktivovany", "Vypadok hl. napajania!", "Hl. napajanie OK", "Nizke nap. napatie!",
          "Vstup", "Vystup", "Zachytena rusicka GSM !"}},
        {Language::DE,
         {"GSM signal ", "GPRS Zugreifen", "spannung ", "Zeit ", "Analogeingang = ", "Ger\xE4t restarten",
          "Aktiviert", "Deaktiviert", "Fehler bei Spannung!", "Spannung wiederhergestellt",
          "Niedriger Spannung!", "Eingang", "Ausgang", "GSM-Jamming erkannt!"}},
    }};
    for (const auto& [language, texts] : expected)
        EXPECT_EQ(imageDeviceTexts(language), texts) << static_cast<int>(language);
    EXPECT_EQ(imageDeviceTexts(Language::DK), expected[0].second);
}

} // namespace
} // namespace qta::catalogue
