// Feeds arbitrary bytes to the number lists' CSV import, whole and --partial:
// nothing may crash, hang or read out of bounds whatever a spreadsheet wrote; a
// refused row leaves the configuration as it was; what is taken keeps every list
// filled from the front and comes back the same through an export.
#include "compare/ListsCsv.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void checkListsFilledFromTheFront(const qta::Configuration& config) {
    for (const qta::NumberList& list : config.table().lists()) {
        bool emptySeen = false;
        for (int j = 0; j < qta::kListLength; ++j) {
            const bool empty = config.text(static_cast<qta::FieldId>(list.first + j)).empty();
            if (emptySeen && !empty)
                __builtin_trap();
            emptySeen = emptySeen || empty;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qta::Configuration base = qta::Configuration::startup(',');

    qta::Configuration whole = base;
    const qta::compare::ImportResult result = qta::compare::importLists(bytes, whole, false);
    if ((!result.refused.empty() || !result.fault.empty()) && !(whole == base))
        __builtin_trap();

    qta::Configuration partial = base;
    qta::compare::importLists(bytes, partial, true);
    checkListsFilledFromTheFront(partial);
    qta::Configuration again = base;
    const auto back = qta::compare::importLists(qta::compare::exportLists(partial, {}), again, false);
    if (!back.refused.empty() || !(again == partial))
        __builtin_trap();
    return 0;
}
