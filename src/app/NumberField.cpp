#include "NumberField.h"

#include "model/EntryRules.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace qta::app {

NumberField::NumberField(const NumberRange& range, char decimalSeparator, QWidget* parent)
    : QLineEdit(parent), range_(range), decimalSeparator_(decimalSeparator) {}

void NumberField::stepBy(int direction) {
    replaceText(entry::stepNumber(range_, text().toStdString(), direction, decimalSeparator_));
}

void NumberField::leave() {
    if (const auto clamped = entry::leaveNumberField(range_, text().toStdString(), decimalSeparator_))
        replaceText(*clamped);
}

void NumberField::replaceText(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (shown != this->text())
        setText(shown);
}

void NumberField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        stepBy(event->key() == Qt::Key_Up ? 1 : -1);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumberField::focusOutEvent(QFocusEvent* event) {
    // Only a move to another control leaves the field; a menu (opened, or the menu bar
    // entered with Alt) or another window does not.
    const auto reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason &&
        reason != Qt::ActiveWindowFocusReason)
        leave();
    QLineEdit::focusOutEvent(event);
}

QWidget* NumberField::withSpinButtons() {
    auto* box = new QWidget(parentWidget());
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setParent(box);
    row->addWidget(this);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(0);
    const int half = sizeHint().height() / 2;
    for (const auto& [arrow, direction] : {std::pair{Qt::UpArrow, 1}, std::pair{Qt::DownArrow, -1}}) {
        auto* button = new QToolButton(box);
        button->setArrowType(arrow);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setFixedSize(16, half);
        connect(button, &QToolButton::clicked, this, [this, step = direction] { stepBy(step); });
        buttons->addWidget(button);
    }
    row->addLayout(buttons);
    return box;
}

} // namespace qta::app
