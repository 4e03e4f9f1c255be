#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qta {

// The 45 families the fields are built from, in the order the field table
// enumerates them. Each is named after the prefix of its fields' names
// (Family::TNIN_V_ gives TNIN_V_1_1 to TNIN_V_8_32); a single field is a family
// of its own.
enum class Family : std::uint8_t {
    // Digital inputs
    TNIN_V_,
    TNIN_S_,
    T_SMS_IN,
    T_SMS_RIN,
    DELAY_IN,
    NO_IN,
    NC_IN,
    // Analog inputs
    TNAIN_V_,
    TNAIN_S_,
    T_SMS_AIN,
    T_SMS_RAIN,
    DELAY_AIN,
    UMAX_AIN,
    UMIN_AIN,
    // Outputs
    TNOUT_V_,
    TNOUT_S_,
    T_SMS_OUT_ON_,
    T_SMS_OUT_OFF_,
    DTMF_OUT_ON_,
    DTMF_OUT_OFF_,
    DELAY_OUT,
    CheckOut_,
    // Input blocking
    TNBLK_V_,
    TNBLK_S_,
    MemoBlock_,
    DTMF_BLOCK,
    // Listening and status SMS
    TNLS_,
    TNSSMS_,
    Auto_1,
    Auto_2,
    CheckBoxJam,
    CheckBoxAku,
    CheckBox230V,
    // Alarm-receiving centre
    ObjCodeIN,
    EventCodeIN,
    PartCodeIN,
    ZoneCodeIN,
    IP_PCO,
    Port_PCO,
    IP_PCO2,
    Port_PCO2,
    SMS_PCO,
    TestPCO,
    // Device access
    Pass,
    editAPN,
};

inline constexpr std::size_t kFamilyCount = 45;

// The prefix the family's field names are composed from: "TNIN_V_" for Family::TNIN_V_.
std::string_view familyName(Family family);

// The family of exactly this name (letter case counts), or nullopt.
std::optional<Family> findFamily(std::string_view name);

} // namespace qta
