#include "ConfigPatch.h"

#include "ConfigDiff.h"

#include "model/PffFile.h"

namespace qta::compare {

PatchResult applyPatch(const ProfileDocument& patch, Configuration& config) {
    PatchResult result;
    // Entries the patch fills; the sections and keys are the table's own, which outlive this call.
    std::vector<FieldId> filledEntries;
    pff::forEachKey(config.table(), [&](std::string_view section, std::string_view key, FieldId id) {
        const auto value = patch.value(section, key);
        if (!value)
            return;
        pff::readKey(patch, section, key, id, config);
        ++result.applied;
        if (config.table()[id].list >= 0 && !value->empty())
            filledEntries.push_back(id);
    });
    // The list rule empties an entry behind an empty one: say so rather than lose it unseen.
    for (const FieldId id : filledEntries) {
        if (config.text(id).empty())
            result.dropped.push_back(config.table()[id].name);
    }
    return result;
}

ProfileDocument makePatch(const Configuration& from, const Configuration& to) {
    ProfileDocument doc;
    pff::forEachKey(to.table(), [&](std::string_view section, std::string_view key, FieldId id) {
        if (!sameValue(from, to, id))
            doc.setValue(section, key, pff::keyValue(to, id));
    });
    return doc;
}

} // namespace qta::compare
