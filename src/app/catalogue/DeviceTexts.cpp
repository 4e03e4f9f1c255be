#include "DeviceTexts.h"

#include "log/EventTexts.h"
#include "model/Cp1250.h"

namespace qta::catalogue {
namespace {

// Trailing blanks belong to the texts; the Slovak ones have no diacritics.
constexpr DeviceTextSet kEnglish{
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
};
constexpr DeviceTextSet kSlovak{
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
};
constexpr DeviceTextSet kGerman{
    "GSM signal ",
    "GPRS Zugreifen",
    "spannung ",
    "Zeit ",
    "Analogeingang = ",
    "Gerät restarten",
    "Aktiviert",
    "Deaktiviert",
    "Fehler bei Spannung!",
    "Spannung wiederhergestellt",
    "Niedriger Spannung!",
    "Eingang",
    "Ausgang",
};

constexpr int kJammerEventCode = 0;

} // namespace

const DeviceTextSet& deviceTextSet(Language language) {
    switch (language) {
    case Language::SK:
        return kSlovak;
    case Language::DE:
        return kGerman;
    case Language::EN:
    case Language::DK:
        break;
    }
    return kEnglish;
}

std::array<std::string, kImageDeviceTextCount> imageDeviceTexts(Language language) {
    const DeviceTextSet& set = deviceTextSet(language);
    const std::array<std::string_view, kImageDeviceTextCount - 1> inImageOrder = {
        set.gsmSignal,        set.gprsAccess,    set.voltage,          set.time,
        set.analogInput,      set.restartDialer, set.activated,        set.deactivated,
        set.mainPowerFailure, set.mainPowerOk,   set.lowSupplyVoltage, set.input,
        set.output,
    };
    std::array<std::string, kImageDeviceTextCount> texts;
    for (std::size_t i = 0; i < inImageOrder.size(); ++i)
        texts[i] = utf8ToCp1250(inImageOrder[i]);
    texts.back() = utf8ToCp1250(log::eventText(kJammerEventCode, language));
    return texts;
}

} // namespace qta::catalogue
