#include "ConfigDiff.h"

#include "FieldCaptions.h"

#include "catalogue/LanguageCatalogue.h"
#include "model/Cp1250.h"
#include "model/EntryRules.h"
#include "model/PffFile.h"

#include <algorithm>

namespace qta::compare {

bool sameValue(const Configuration& first, const Configuration& second, FieldId id) {
    const FieldDef& def = first.table()[id];
    switch (def.kind) {
    case FieldKind::Flag:
        return first.flag(id) == second.flag(id);
    case FieldKind::Choice:
        return first.choice(id) == second.choice(id);
    case FieldKind::Number: {
        const auto a = entry::parseNumber(first.text(id));
        const auto b = entry::parseNumber(second.text(id));
        if (a && b)
            return *a == *b;
        return first.text(id) == second.text(id);
    }
    default:
        return first.text(id) == second.text(id);
    }
}

std::string shownValue(const Configuration& config, FieldId id, Language language) {
    switch (config.table()[id].kind) {
    case FieldKind::Flag:
        return config.flag(id) ? "[x]" : "[ ]";
    case FieldKind::Choice: {
        const int choice = config.choice(id);
        if (choice < 0 || choice >= kEventChoiceCount)
            return {};
        return catalogue::languageCatalogue(language).eventChoiceItems[static_cast<std::size_t>(choice)];
    }
    default:
        return cp1250ToUtf8(config.text(id));
    }
}

std::vector<Difference> diff(const Configuration& first, const Configuration& second, Language language) {
    std::vector<Difference> differences;
    for (std::size_t i = 0; i < first.table().size(); ++i) {
        const auto id = static_cast<FieldId>(i);
        if (sameValue(first, second, id))
            continue;
        Difference d;
        d.field = id;
        d.name = first.table()[id].name;
        d.caption = fieldCaption(id, language);
        d.before = pff::keyValue(first, id);
        d.after = pff::keyValue(second, id);
        d.shownBefore = shownValue(first, id, language);
        d.shownAfter = shownValue(second, id, language);
        differences.emplace_back(std::move(d));
    }
    return differences;
}

void take(Configuration& target, const Configuration& source, FieldId id) {
    switch (target.table()[id].kind) {
    case FieldKind::Flag:
        target.setFlag(id, source.flag(id));
        break;
    case FieldKind::Choice:
        target.setChoice(id, source.choice(id));
        break;
    default:
        target.setText(id, source.text(id));
        break;
    }
}

void takeAll(Configuration& target, const Configuration& source, std::span<const Difference> differences) {
    std::vector<FieldId> ids;
    for (const Difference& d : differences)
        ids.push_back(d.field);
    std::sort(ids.begin(), ids.end());
    for (const FieldId id : ids)
        take(target, source, id);
}

} // namespace qta::compare
