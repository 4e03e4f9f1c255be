#include "catalogue/ControlNames.h"

#include "model/FieldTable.h"

namespace qta::catalogue {
namespace {

constexpr int kFirstNumberLabel = 10001;

} // namespace

std::string numberLabelName(int list, int position) {
    return "Label" + std::to_string(kFirstNumberLabel + list * kListLength + position - 1);
}

std::string arcInputLabelName(int input) {
    return "Label" + std::to_string(input == 1 ? 2 : input + 5);
}

} // namespace qta::catalogue
