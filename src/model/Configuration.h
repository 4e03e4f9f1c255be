#pragma once

#include "FieldTable.h"

#include <cstdint>
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

    // Unsaved changes: whether any field changed since the values were last taken
    // from or put into a file or the device (markUnmodified). A copy starts
    // unmodified; assigning to a Configuration counts as a change of its values.
    bool modified() const { return revision_ != savedRevision_; }
    // Counts every change; a value taken before a long job tells afterwards
    // whether anything changed meanwhile.
    std::uint64_t revision() const { return revision_; }
    void markUnmodified() { markUnmodifiedAt(revision_); }
    // Unmodified as of `revision`: changes made after it still count.
    void markUnmodifiedAt(std::uint64_t revision);
    // Called with the new state each time modified() turns.
    using ModifiedObserver = std::function<void(bool modified)>;
    void setModifiedObserver(ModifiedObserver observer) { modifiedObserver_ = std::move(observer); }

    bool operator==(const Configuration& other) const {
        return texts_ == other.texts_ && values_ == other.values_;
    }

private:
    explicit Configuration(const FieldTable& table);
    void applyListRule(const NumberList& list);
    void changed(FieldId id);
    void noteChange();

    const FieldTable* table_;
    std::vector<std::string> texts_; // text, digit and number fields
    std::vector<int> values_;        // flags (0/1) and choices (index or -1)
    Observer observer_;
    std::uint64_t revision_ = 0;
    std::uint64_t savedRevision_ = 0;
    ModifiedObserver modifiedObserver_;
};

} // namespace qta
