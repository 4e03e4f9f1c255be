#pragma once

#include "model/Configuration.h"
#include "model/Language.h"

#include <span>
#include <string>
#include <vector>

// Two configurations compared setting by setting, over every key a .pff carries.
namespace qta::compare {

// One setting whose value differs. `before` belongs to the first configuration
// (the window's, or file A), `after` to the second (the other file, the device).
struct Difference {
    FieldId field = 0;
    std::string name;    // the field's name, e.g. "TNIN_V_3_17"
    std::string caption; // UTF-8, in the user's language: "Digit. inputs, 3 .input, ..."
    // The values as a .pff holds them: Windows-1250 text bytes, "1"/"0", the choice's index.
    std::string before;
    std::string after;
    // The values as the window shows them, UTF-8: the text, "[x]"/"[ ]", the event's name.
    std::string shownBefore;
    std::string shownAfter;
    // The device forces this setting (the failure-reporting boxes while it reports them locked).
    bool forced = false;
};

// Every field whose value differs, in field-table order. Number fields are
// compared by their value, so "25,5" and "25.5" are the same; texts byte for byte.
std::vector<Difference> diff(const Configuration& first, const Configuration& second, Language language);

// Whether the two hold the same value (as diff() decides).
bool sameValue(const Configuration& first, const Configuration& second, FieldId id);

// A field's value as the window shows it, UTF-8 (see Difference::shownBefore).
std::string shownValue(const Configuration& config, FieldId id, Language language);

// Takes `source`'s value of one setting into `target` through its setters, so the
// list rule and the polarity pair apply and `target`'s observer hears the change.
void take(Configuration& target, const Configuration& source, FieldId id);

// Takes every listed difference, in field-table order (a list is filled from the front).
void takeAll(Configuration& target, const Configuration& source, std::span<const Difference> differences);

} // namespace qta::compare
