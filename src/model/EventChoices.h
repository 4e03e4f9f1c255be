#pragma once

#include <array>
#include <string_view>

namespace qta {

// One entry of the alarm-centre event list that each EventCodeIN<i> chooses from.
struct EventChoice {
    std::string_view slovak;  // UTF-8
    std::string_view english; // also used by German and Danish
    int contactIdCode;        // -1: no event is reported
};

// Index 17 is "None"; a choice of 17 or -1 puts no event into the device.
inline constexpr std::array<EventChoice, 18> kEventChoices = {{
    {"Poplach", "General alarm", 140},
    {"Zlodej", "Burglary", 130},
    {"Zlodej - tichý poplach", "Silent Burglary", 146},
    {"Tichý PA", "Silent Panic Alarm", 122},
    {"Hlasitý PA", "Audible Panic Alarm", 123},
    {"24-hodín", "24 Hour (safe)", 133},
    {"Nastavené/Odstavené", "Armed", 400},
    {"Čiastočne nastavené/odstavené", "Partial Arm", 456},
    {"Sabotáž", "Tamper", 137},
    {"Systémová chyba", "System Trouble", 300},
    {"Výpadok 230V", "AC Loss", 301},
    {"Chyba akumulátora", "Battery Missing/Dead", 311},
    {"Vybitý akumulátor", "Low system battery", 302},
    {"Vstup technika", "Program mode entry", 627},
    {"Odchod technika", "Program mode exit", 628},
    {"Požiar", "Fire", 110},
    {"Lekár", "Medical", 100},
    {"Žiadna", "None", -1},
}};

} // namespace qta
