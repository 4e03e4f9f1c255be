#pragma once

#include "FieldTable.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace qta {

// The complete set of settings of one communicator: 1145 named fields. Texts are
// held as the Windows-1250 bytes that files and the device carry. The Configuration
// rejects nothing: loaded texts of any length are kept as they come.
class Configuration {
public:
    // Called with each field whose value changed, including entries that the list
    // rule cleared; the widgets use it to follow the model.
    using Observer = std::function<void(FieldId)>;

    // The start-up values; decimal numbers are written with `decimalSeparator`.
    static Configuration startup(char decimalSeparator);

    // A copy carries the values only, never the observer: a snapshot or a scratch
    // decode must not reach the widgets of the Configuration it was taken from.
    // Assigning keeps the target's observer and notifies nothing.
    Configuration(const Configuration& other);
    Configuration& operator=(const Configuration& other);
    Configuration(Configuration&& other) noexcept;
    Configuration& operator=(Configuration&& other) noexcept;
    ~Configuration() = default;

    const FieldTable& table() const { return *table_; }

    const std::string& text(FieldId id) const { return texts_[id]; }
    bool flag(FieldId id) const { return values_[id] != 0; }
    int choice(FieldId id) const { return values_[id]; }

    // Sets a text, digit or number field; on a list entry the list rule follows.
    void setText(FieldId id, std::string value);
    // Sets a flag; setting NO_IN<i> or NC_IN<i> true clears its partner.
    void setFlag(FieldId id, bool value);
    // Selects an event choice; anything outside 0..17 becomes no selection (-1).
    void setChoice(FieldId id, int index);

    // Whether a number-list entry may be edited: entry 1 always, entry j while
    // entry j-1 holds a number. Fields outside the lists are always editable.
    bool isEditable(FieldId id) const;

    // "New": every field to its "New" value, in the order the command walks them.
    void applyNew();
    // The families in the order "New" walks them; each family once.
    static std::span<const Family> newOrder();

    // Replaces every value by other's, notifying each field that changed.
    void assign(const Configuration& other);

    void setObserver(Observer observer) { observer_ = std::move(observer); }

    bool operator==(const Configuration& other) const {
        return texts_ == other.texts_ && values_ == other.values_;
    }

private:
    explicit Configuration(const FieldTable& table);
    void applyListRule(const NumberList& list);
    void changed(FieldId id) const;

    const FieldTable* table_;
    std::vector<std::string> texts_; // text, digit and number fields
    std::vector<int> values_;        // flags (0/1) and choices (index or -1)
    Observer observer_;
};

} // namespace qta
