#include "FleetPatch.h"

#include "model/PffFile.h"

namespace qta::cli {

// The device's values go through the file's own mapping and back, so each
// changed key is read exactly as opening a whole file would read it.
Configuration patched(const Configuration& device, const ProfileDocument& changes) {
    ProfileDocument merged;
    pff::write(device, merged);
    pff::visitKeys(device.table(), [&](std::string_view section, std::string_view key, FieldId) {
        if (const auto value = changes.value(section, key))
            merged.setValue(section, key, *value);
    });
    Configuration result = device;
    pff::read(merged, result);
    return result;
}

int patchKeyCount(const FieldTable& table, const ProfileDocument& changes) {
    int count = 0;
    pff::visitKeys(table, [&](std::string_view section, std::string_view key, FieldId) {
        count += changes.value(section, key).has_value() ? 1 : 0;
    });
    return count;
}

std::string pffContent(const Configuration& config) {
    ProfileDocument doc;
    pff::write(config, doc);
    return doc.serialize();
}

} // namespace qta::cli
