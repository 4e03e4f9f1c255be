#include "DeviceTexts.h"

#include "ByLanguage.h"
#include "log/EventTexts.h"
#include "model/Cp1250.h"

#include <string_view>

namespace qta::catalogue {
namespace {

// In image order, two to a Frame. Trailing blanks belong to the texts; the
// Slovak ones have no diacritics.
constexpr std::array<ByLanguage<std::string_view>, kImageDeviceTextCount - 1> kDeviceTexts = {{
    {"GSM signal ", "GSM signal ", "GSM signal "},
    {"GPRS access", "GPRS pristup", "GPRS Zugreifen"},
    {"voltage ", "napatie ", "spannung "},
    {"time ", "cas ", "Zeit "},
    {"Analog input = ", "Analog. vstup = ", "Analogeingang = "},
    {"Restart dialer", "Restart volaca", "Gerät restarten"},
    {"Activated", "Aktivovany", "Aktiviert"},
    {"Deactivated", "Neaktivovany", "Deaktiviert"},
    {"Main power supply failure!", "Vypadok hl. napajania!", "Fehler bei Spannung!"},
    {"Main power supply OK", "Hl. napajanie OK", "Spannung wiederhergestellt"},
    {"Low supply voltage!", "Nizke nap. napatie!", "Niedriger Spannung!"},
    {"Input", "Vstup", "Eingang"},
    {"Output", "Vystup", "Ausgang"},
}};

// The fourteenth text is the event log's text of the jammer event.
constexpr int kJammerEventCode = 0;

} // namespace

std::array<std::string, kImageDeviceTextCount> imageDeviceTexts(Language language) {
    std::array<std::string, kImageDeviceTextCount> texts;
    for (std::size_t i = 0; i < kDeviceTexts.size(); ++i)
        texts[i] = utf8ToCp1250(kDeviceTexts[i].in(language));
    texts.back() = utf8ToCp1250(log::eventText(kJammerEventCode, language));
    return texts;
}

} // namespace qta::catalogue
