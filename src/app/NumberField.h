#pragma once

#include "model/FieldTable.h"

#include <QLineEdit>

namespace qta::app {

// A number field keeps its value as the text shown ("007" stays "007"). Up and
// Down and the spin buttons step and clamp; leaving the field clamps a value out
// of range. Typing goes through the number-field key filter.
class NumberField : public QLineEdit {
    Q_OBJECT
public:
    NumberField(const NumberRange& range, char decimalSeparator, QWidget* parent);

    // Up (+1) or Down (-1): one step, brought into the range.
    void stepBy(int direction);
    // Leaving the field: a value out of range becomes the nearer bound.
    void leave();

    // The field with its two spin buttons beside it, for the page layouts.
    QWidget* withSpinButtons();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void replaceText(const std::string& text);

    NumberRange range_;
    char decimalSeparator_;
};

} // namespace qta::app
