#include "PffFile.h"

#include "AtomicFile.h"

#include <string_view>

namespace qta::pff {
namespace {

// One run of keys in a section: a family of fields, or a single field under a
// key name of its own.
struct KeyRun {
    std::string_view section;
    std::string_view family;
    std::string_view key = {}; // empty: the fields' canonical names
};

// Save's order, which is also Open's. IP_PCO2, Port_PCO2 and SMS_PCO come
// straight after TestPCO and so open sections 8D, 8E and 8F.
constexpr KeyRun kKeyRuns[] = {
    {"1A", "TNIN_S_"},
    {"1B", "TNIN_V_"},
    {"1C", "T_SMS_IN"},
    {"1D", "T_SMS_RIN"},
    {"1E", "NO_IN"},
    {"1F", "NC_IN"},
    {"1G", "DELAY_IN"},
    {"2A", "TNAIN_S_"},
    {"2B", "TNAIN_V_"},
    {"2C", "T_SMS_AIN"},
    {"2D", "T_SMS_RAIN"},
    {"2E", "DELAY_AIN"},
    {"2F", "UMAX_AIN"},
    {"2G", "UMIN_AIN"},
    {"3A", "TNOUT_S_"},
    {"3B", "TNOUT_V_"},
    {"3C", "T_SMS_OUT_ON_"},
    {"3D", "T_SMS_OUT_OFF_"},
    {"3E", "DTMF_OUT_ON_"},
    {"3F", "DTMF_OUT_OFF_"},
    {"3G", "DELAY_OUT"},
    {"5A", "TNLS_"},
    {"6A", "TNSSMS_"},
    {"6B", "Auto_1"},
    {"6B", "Auto_2"},
    {"6C", "CheckBox230V", "230V"},
    {"6C", "CheckBoxAku", "Aku"},
    {"6C", "CheckBoxJam", "Jam"},
    {"7A", "Pass"},
    {"7B", "editAPN"},
    {"8A", "IP_PCO"},
    {"8B", "Port_PCO"},
    {"8C", "TestPCO"},
    {"8D", "IP_PCO2"},
    {"8E", "Port_PCO2"},
    {"8F", "SMS_PCO"},
    {"8D", "ObjCodeIN"},
    {"8E", "EventCodeIN"},
    {"8F", "PartCodeIN"},
    {"8G", "ZoneCodeIN"},
    {"9A", "MemoBlock_"},
    {"9B", "DTMF_BLOCK"},
    {"9C", "TNBLK_V_"},
    {"9D", "TNBLK_S_"},
    {"9E", "CheckOut_"},
};

// Calls visit(section, key, field) for each of the 1145 keys in Save's order.
template <typename Visit> void forEachKey(const FieldTable& table, Visit visit) {
    for (const KeyRun& run : kKeyRuns) {
        for (FieldId id : table.family(run.family))
            visit(run.section, run.key.empty() ? std::string_view(table[id].name) : run.key, id);
    }
}

// Flags of a missing key are false, except the three failure reports of 6C.
bool missingFlag(std::string_view section) {
    return section == "6C";
}

} // namespace

std::string Result::message() const {
    switch (error) {
    case Error::None:
        return {};
    case Error::CannotRead:
        return "Unable to read " + path;
    case Error::NotAPffFile:
        return path + " is not a QTA 710 configuration file";
    case Error::CannotWrite:
        return "Unable to write to " + path;
    }
    return {};
}

void write(const Configuration& config, ProfileDocument& doc) {
    forEachKey(config.table(), [&](std::string_view section, std::string_view key, FieldId id) {
        switch (config.table()[id].kind) {
        case FieldKind::Flag:
            doc.setValue(section, key, config.flag(id) ? "1" : "0");
            break;
        case FieldKind::Choice:
            doc.setValue(section, key, std::to_string(config.choice(id)));
            break;
        default:
            doc.setValue(section, key, config.text(id));
            break;
        }
    });
}

bool read(const ProfileDocument& doc, Configuration& config) {
    bool anyKey = false;
    forEachKey(config.table(), [&](std::string_view section, std::string_view key, FieldId) {
        anyKey = anyKey || doc.value(section, key).has_value();
    });
    if (!anyKey)
        return false;

    forEachKey(config.table(), [&](std::string_view section, std::string_view key, FieldId id) {
        switch (config.table()[id].kind) {
        case FieldKind::Flag: {
            const auto value = doc.integer(section, key);
            config.setFlag(id, value ? *value != 0 : missingFlag(section));
            break;
        }
        case FieldKind::Choice: {
            const auto value = doc.integer(section, key).value_or(0);
            config.setChoice(id,
                             value >= 0 && value < kEventChoiceCount ? static_cast<int>(value) : kChoiceNone);
            break;
        }
        default:
            config.setText(id, doc.value(section, key).value_or(std::string()));
            break;
        }
    });
    return true;
}

Result save(const Configuration& config, const std::string& path) {
    std::optional<ProfileDocument> doc = ProfileDocument::loadForUpdate(path);
    if (!doc)
        return {Error::CannotWrite, path};
    write(config, *doc);
    return {doc->saveTo(path) ? Error::None : Error::CannotWrite, path};
}

Result open(Configuration& config, const std::string& path) {
    std::string content;
    if (readWholeFile(path, content) != ReadStatus::Read)
        return {Error::CannotRead, path};
    if (!read(ProfileDocument::parse(content), config))
        return {Error::NotAPffFile, path};
    return {Error::None, path};
}

} // namespace qta::pff
