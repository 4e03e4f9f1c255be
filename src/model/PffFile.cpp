#include "PffFile.h"

#include "AtomicFile.h"

#include <string_view>

namespace qta::pff {
namespace {

using F = Family;

// Save's order, which is also Open's. IP_PCO2, Port_PCO2 and SMS_PCO come
// straight after TestPCO and so open sections 8D, 8E and 8F.
constexpr KeyRun kKeyRuns[] = {
    {"1A", F::TNIN_S_},
    {"1B", F::TNIN_V_},
    {"1C", F::T_SMS_IN},
    {"1D", F::T_SMS_RIN},
    {"1E", F::NO_IN},
    {"1F", F::NC_IN},
    {"1G", F::DELAY_IN},
    {"2A", F::TNAIN_S_},
    {"2B", F::TNAIN_V_},
    {"2C", F::T_SMS_AIN},
    {"2D", F::T_SMS_RAIN},
    {"2E", F::DELAY_AIN},
    {"2F", F::UMAX_AIN},
    {"2G", F::UMIN_AIN},
    {"3A", F::TNOUT_S_},
    {"3B", F::TNOUT_V_},
    {"3C", F::T_SMS_OUT_ON_},
    {"3D", F::T_SMS_OUT_OFF_},
    {"3E", F::DTMF_OUT_ON_},
    {"3F", F::DTMF_OUT_OFF_},
    {"3G", F::DELAY_OUT},
    {"5A", F::TNLS_},
    {"6A", F::TNSSMS_},
    {"6B", F::Auto_1},
    {"6B", F::Auto_2},
    {"6C", F::CheckBox230V, "230V"},
    {"6C", F::CheckBoxAku, "Aku"},
    {"6C", F::CheckBoxJam, "Jam"},
    {"7A", F::Pass},
    {"7B", F::editAPN},
    {"8A", F::IP_PCO},
    {"8B", F::Port_PCO},
    {"8C", F::TestPCO},
    {"8D", F::IP_PCO2},
    {"8E", F::Port_PCO2},
    {"8F", F::SMS_PCO},
    {"8D", F::ObjCodeIN},
    {"8E", F::EventCodeIN},
    {"8F", F::PartCodeIN},
    {"8G", F::ZoneCodeIN},
    {"9A", F::MemoBlock_},
    {"9B", F::DTMF_BLOCK},
    {"9C", F::TNBLK_V_},
    {"9D", F::TNBLK_S_},
    {"9E", F::CheckOut_},
};

// Flags of a missing key are false, except the three failure reports of 6C.
bool missingFlag(std::string_view section) {
    return section == "6C";
}

} // namespace

std::span<const KeyRun> keyRuns() {
    return kKeyRuns;
}

void forEachKey(const FieldTable& table, const KeyVisit& visit) {
    for (const KeyRun& run : kKeyRuns) {
        for (FieldId id : table.family(run.family))
            visit(run.section, run.key.empty() ? std::string_view(table[id].name) : run.key, id);
    }
}

std::string keyValue(const Configuration& config, FieldId id) {
    switch (config.table()[id].kind) {
    case FieldKind::Flag:
        return config.flag(id) ? "1" : "0";
    case FieldKind::Choice:
        return std::to_string(config.choice(id));
    default:
        return config.text(id);
    }
}

void readKey(const ProfileDocument& doc, std::string_view section, std::string_view key, FieldId id,
             Configuration& config) {
    switch (config.table()[id].kind) {
    case FieldKind::Flag: {
        const auto value = doc.integer(section, key);
        config.setFlag(id, value ? *value != 0 : missingFlag(section));
        break;
    }
    case FieldKind::Choice: {
        const auto value = doc.integer(section, key).value_or(0);
        config.setChoice(id, value >= 0 && value < kEventChoiceCount ? static_cast<int>(value) : kChoiceNone);
        break;
    }
    default:
        config.setText(id, doc.value(section, key).value_or(std::string()));
        break;
    }
}

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
    case Error::TooLarge:
        return tooLargeMessage(path);
    case Error::UnsafeLink:
        return unsafeLinkMessage(path);
    }
    return {};
}

void write(const Configuration& config, ProfileDocument& doc) {
    forEachKey(config.table(), [&](std::string_view section, std::string_view key, FieldId id) {
        doc.setValue(section, key, keyValue(config, id));
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
        readKey(doc, section, key, id, config);
    });
    return true;
}

namespace {

// The existing file to update in place, or an empty document for a new one.
Result loadExisting(const std::string& path, ProfileDocument& doc) {
    std::string content;
    switch (readWholeFile(path, content)) {
    case ReadStatus::Read:
        doc = ProfileDocument::parse(content);
        return {Error::None, path};
    case ReadStatus::Missing:
        return {Error::None, path};
    case ReadStatus::TooLarge:
        return {Error::TooLarge, path};
    case ReadStatus::Failed:
        break;
    }
    return {Error::CannotWrite, path};
}

Result written(WriteStatus status, const std::string& path) {
    switch (status) {
    case WriteStatus::Written:
        return {Error::None, path};
    case WriteStatus::UnsafeLink:
        return {Error::UnsafeLink, path};
    case WriteStatus::Failed:
        break;
    }
    return {Error::CannotWrite, path};
}

} // namespace

Result save(const Configuration& config, const std::string& path) {
    ProfileDocument doc;
    if (Result loaded = loadExisting(path, doc); !loaded)
        return loaded;
    write(config, doc);
    return written(doc.saveTo(path), path);
}

Result checkSave(const std::string& path) {
    ProfileDocument doc;
    if (Result loaded = loadExisting(path, doc); !loaded)
        return loaded;
    return written(checkWritable(path), path);
}

Result open(Configuration& config, const std::string& path) {
    std::string content;
    switch (readWholeFile(path, content)) {
    case ReadStatus::Read:
        break;
    case ReadStatus::TooLarge:
        return {Error::TooLarge, path};
    case ReadStatus::Missing:
    case ReadStatus::Failed:
        return {Error::CannotRead, path};
    }
    if (!read(ProfileDocument::parse(content), config))
        return {Error::NotAPffFile, path};
    return {Error::None, path};
}

} // namespace qta::pff
