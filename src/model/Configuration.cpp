#include "Configuration.h"

#include <algorithm>
#include <array>

namespace qta {
namespace {

using F = Family;

// The order in which "New" walks the families.
constexpr std::array kNewOrder = {
    F::TNIN_S_,      F::TNIN_V_,       F::T_SMS_IN,    F::T_SMS_RIN,   F::NO_IN,         F::NC_IN,
    F::DELAY_IN,     F::TNAIN_S_,      F::TNAIN_V_,    F::T_SMS_AIN,   F::T_SMS_RAIN,    F::DELAY_AIN,
    F::UMAX_AIN,     F::UMIN_AIN,      F::TNOUT_S_,    F::TNOUT_V_,    F::T_SMS_OUT_ON_, F::T_SMS_OUT_OFF_,
    F::DTMF_OUT_ON_, F::DTMF_OUT_OFF_, F::DELAY_OUT,   F::TNLS_,       F::TNSSMS_,       F::Auto_1,
    F::Auto_2,       F::CheckBox230V,  F::CheckBoxAku, F::CheckBoxJam, F::Pass,          F::editAPN,
    F::IP_PCO,       F::Port_PCO,      F::IP_PCO2,     F::SMS_PCO,     F::Port_PCO2,     F::TestPCO,
    F::ObjCodeIN,    F::EventCodeIN,   F::PartCodeIN,  F::ZoneCodeIN,  F::TNBLK_V_,      F::TNBLK_S_,
    F::DTMF_BLOCK,   F::MemoBlock_,    F::CheckOut_,
};

std::string localised(std::string text, char decimalSeparator) {
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

} // namespace

Configuration::Configuration(const FieldTable& table)
    : table_(&table), texts_(table.size()), values_(table.size(), 0) {}

Configuration::Configuration(const Configuration& other)
    : table_(other.table_), texts_(other.texts_), values_(other.values_) {}

Configuration::Configuration(Configuration&& other) noexcept
    : table_(other.table_), texts_(std::move(other.texts_)), values_(std::move(other.values_)) {}

// The target keeps its own observer and hears nothing: assign() is the one that shows a change.
Configuration& Configuration::operator=(const Configuration& other) {
    if (this != &other && !(*this == other))
        noteChange();
    table_ = other.table_;
    texts_ = other.texts_;
    values_ = other.values_;
    return *this;
}

Configuration& Configuration::operator=(Configuration&& other) noexcept {
    if (this != &other && !(*this == other))
        noteChange();
    table_ = other.table_;
    texts_ = std::move(other.texts_);
    values_ = std::move(other.values_);
    return *this;
}

Configuration Configuration::startup(char decimalSeparator) {
    Configuration config(FieldTable::instance());
    for (std::size_t id = 0; id < config.table().size(); ++id) {
        const FieldDef& def = config.table()[static_cast<FieldId>(id)];
        if (def.kind == FieldKind::Number)
            config.texts_[id] = localised(def.startText, decimalSeparator);
        else
            config.texts_[id] = def.startText;
        config.values_[id] = def.startValue;
    }
    return config;
}

void Configuration::changed(FieldId id) {
    noteChange();
    if (observer_)
        observer_(id);
}

void Configuration::noteChange() {
    const bool wasModified = modified();
    ++revision_;
    if (!wasModified && modifiedObserver_)
        modifiedObserver_(true);
}

void Configuration::markUnmodifiedAt(std::uint64_t revision) {
    if (revision != revision_ || !modified())
        return;
    savedRevision_ = revision_;
    if (modifiedObserver_)
        modifiedObserver_(false);
}

void Configuration::setText(FieldId id, std::string value) {
    if (texts_[id] == value)
        return;
    texts_[id] = std::move(value);
    changed(id);
    const FieldDef& def = (*table_)[id];
    if (def.list >= 0)
        applyListRule(table_->lists()[def.list]);
}

// Keeps a list filled from the front: everything after its first empty entry is
// emptied (and so locked).
void Configuration::applyListRule(const NumberList& list) {
    int firstEmpty = 0;
    while (firstEmpty < kListLength && !texts_[list.first + firstEmpty].empty())
        ++firstEmpty;
    for (int j = firstEmpty + 1; j < kListLength; ++j) {
        const auto entry = static_cast<FieldId>(list.first + j);
        if (!texts_[entry].empty()) {
            texts_[entry].clear();
            changed(entry);
        }
    }
}

bool Configuration::isEditable(FieldId id) const {
    const FieldDef& def = (*table_)[id];
    return def.position <= 1 || !texts_[id - 1].empty();
}

void Configuration::setFlag(FieldId id, bool value) {
    if (values_[id] != (value ? 1 : 0)) {
        values_[id] = value ? 1 : 0;
        changed(id);
    }
    const FieldDef& def = (*table_)[id];
    if (value && (def.family == F::NO_IN || def.family == F::NC_IN)) {
        const FieldId partner = table_->id(def.family == F::NO_IN ? F::NC_IN : F::NO_IN, def.index1);
        setFlag(partner, false);
    }
}

void Configuration::setChoice(FieldId id, int index) {
    const int value = (index >= 0 && index < kEventChoiceCount) ? index : kChoiceNone;
    if (values_[id] != value) {
        values_[id] = value;
        changed(id);
    }
}

std::span<const Family> Configuration::newOrder() {
    return kNewOrder;
}

void Configuration::applyNew() {
    for (const Family family : kNewOrder) {
        for (FieldId id : table_->family(family)) {
            const FieldDef& def = (*table_)[id];
            switch (def.kind) {
            case FieldKind::Flag:
                setFlag(id, def.newValue != 0);
                break;
            case FieldKind::Choice:
                setChoice(id, def.newValue);
                break;
            default:
                setText(id, def.newText);
                break;
            }
        }
    }
}

void Configuration::assign(const Configuration& other) {
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        const auto id = static_cast<FieldId>(i);
        if (texts_[i] != other.texts_[i] || values_[i] != other.values_[i]) {
            texts_[i] = other.texts_[i];
            values_[i] = other.values_[i];
            changed(id);
        }
    }
}

} // namespace qta
