#pragma once

// Test support: whether a table that walks the field families reaches every
// field it should exactly once. Header only, so tests of any layer can use it.
#include "model/FieldTable.h"

#include <span>
#include <string>
#include <vector>

namespace qta::coverage {

// The fields of `families`, in walking order.
inline std::vector<FieldId> fieldsOf(std::span<const Family> families) {
    const FieldTable& table = FieldTable::instance();
    std::vector<FieldId> fields;
    for (const Family family : families) {
        const auto& ids = table.family(family);
        fields.insert(fields.end(), ids.begin(), ids.end());
    }
    return fields;
}

// One line per fault of `reached` against "each field for which expected(id)
// holds, exactly once, and no other": "missing NAME", "twice NAME" or
// "unexpected NAME". Empty when there is none.
template <typename Expected> std::string faults(const std::vector<FieldId>& reached, Expected expected) {
    const FieldTable& table = FieldTable::instance();
    std::vector<int> times(table.size(), 0);
    for (const FieldId id : reached)
        ++times.at(id);
    std::string found;
    for (FieldId id = 0; id < table.size(); ++id) {
        const bool wanted = expected(id);
        if (wanted && times[id] == 0)
            found += "missing " + table[id].name + "\n";
        else if (times[id] > 1)
            found += "twice " + table[id].name + "\n";
        else if (!wanted && times[id] > 0)
            found += "unexpected " + table[id].name + "\n";
    }
    return found;
}

inline bool everyField(FieldId) {
    return true;
}

} // namespace qta::coverage
