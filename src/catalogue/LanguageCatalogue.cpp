#include "catalogue/LanguageCatalogue.h"

#include "catalogue/CaptionTables.h"
#include "catalogue/ControlNames.h"
#include "model/EventChoices.h"

#include <algorithm>
#include <unordered_set>

namespace qta::catalogue {
namespace {

using tables::Shape;
using tables::TextRow;

std::string memberName(std::string_view prefix, int index) {
    return std::string(prefix) + std::to_string(index);
}

// Calls add(name, number) for every member of the row, in order.
template <class Add> void forEachMember(const TextRow& row, Add add) {
    switch (row.shape) {
    case Shape::Single:
        add(std::string(row.name), 0);
        return;
    case Shape::Family:
        for (int i = 1; i <= row.members; ++i)
            add(memberName(row.name, i), i);
        return;
    case Shape::ListFamily:
        for (int i = 1; i <= row.members; ++i)
            for (int j = 1; j <= kListLength; ++j)
                add(memberName(row.name, i) + "_" + std::to_string(j), j);
        return;
    case Shape::NumberLabels: {
        const auto lists = static_cast<int>(FieldTable::instance().lists().size());
        for (int list = 0; list < lists; ++list)
            for (int position = 1; position <= kListLength; ++position)
                add(numberLabelName(list, position), position);
        return;
    }
    case Shape::ArcInputLabels:
        for (int i = 1; i <= row.members; ++i)
            add(arcInputLabelName(i), i);
        return;
    }
}

void appendControlTexts(const TextRow& row, Language language, std::vector<ControlText>& out) {
    const char* text = row.text.in(language);
    if (text == nullptr)
        return; // this language leaves the controls as they are
    forEachMember(row, [&](std::string name, int number) {
        out.push_back(
            {std::move(name), row.role, row.numbered ? std::to_string(number) + text : std::string(text)});
    });
}

std::vector<ControlText> controlTexts(Language language) {
    std::vector<ControlText> texts;
    texts.reserve(2400);
    for (const TextRow& row : tables::controlTextRows())
        appendControlTexts(row, language, texts);
    return texts;
}

std::vector<ControlText> menuCaptions(std::span<const tables::MenuRow> rows, Language language) {
    std::vector<ControlText> captions;
    for (const tables::MenuRow& row : rows)
        captions.push_back({std::string(row.item), TextRole::Caption, row.caption.in(language)});
    return captions;
}

Messages messages(Language language) {
    Messages result;
    for (const tables::MessageRow& row : tables::messageRows())
        result.*row.message = row.text.in(language);
    return result;
}

std::array<std::string, 18> eventChoiceItems(Language language) {
    std::array<std::string, 18> items;
    std::transform(kEventChoices.begin(), kEventChoices.end(), items.begin(), [&](const EventChoice& choice) {
        return std::string(language == Language::SK ? choice.slovak : choice.english);
    });
    return items;
}

// Danish is English but for its code, its title and the event-log menu caption.
void applyDanishDifferences(LanguageCatalogue& catalogue) {
    catalogue.title = tables::kDanishTitle;
    for (ControlText& item : catalogue.menuCaptions)
        if (item.control == tables::kEventLogMenuItem)
            item.text = tables::kDanishEventLogMenuCaption;
}

template <Language L> const LanguageCatalogue& cachedCatalogue() {
    static const LanguageCatalogue catalogue = buildLanguageCatalogue(L);
    return catalogue;
}

} // namespace

LanguageCatalogue buildLanguageCatalogue(Language language) {
    LanguageCatalogue catalogue;
    catalogue.language = language;
    catalogue.code = std::string(languageCode(language));
    catalogue.title = tables::kTitle.in(language);
    catalogue.menuCaptions = menuCaptions(tables::menuRows(), language);
    catalogue.ownMenuCaptions = menuCaptions(tables::ownMenuRows(), language);
    catalogue.heslo = {tables::kHesloCaption.in(language), tables::kHesloHint.in(language),
                       tables::kHesloLeft.in(language)};
    catalogue.messages = messages(language);
    catalogue.apnHint = tables::kApnHint.in(language);
    catalogue.controlTexts = controlTexts(language);
    catalogue.eventChoiceItems = eventChoiceItems(language);
    if (language == Language::DK)
        applyDanishDifferences(catalogue);
    return catalogue;
}

const LanguageCatalogue& languageCatalogue(Language language) {
    switch (language) {
    case Language::SK:
        return cachedCatalogue<Language::SK>();
    case Language::DE:
        return cachedCatalogue<Language::DE>();
    case Language::DK:
        return cachedCatalogue<Language::DK>();
    case Language::EN:
        break;
    }
    return cachedCatalogue<Language::EN>();
}

std::vector<std::string> controlNamesWithTexts() {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (Language language : {Language::SK, Language::EN, Language::DE, Language::DK})
        for (const ControlText& text : languageCatalogue(language).controlTexts)
            if (seen.insert(text.control).second)
                names.push_back(text.control);
    return names;
}

} // namespace qta::catalogue
