#include "FieldBinder.h"

#include "KeyFilter.h"
#include "NumberField.h"
#include "TextEdge.h"

#include "model/EventChoices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace qta::app {
namespace {

constexpr int kSmsTextLines = 3;
constexpr int kNumberFieldWidth = 48;

bool isPolarity(const FieldDef& def) {
    return def.family == Family::NO_IN || def.family == Family::NC_IN;
}

// An SMS text is one line as typed, shown wrapped in a small memo.
QPlainTextEdit* createSmsText(QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setTabChangesFocus(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics metrics(memo->font());
    memo->setFixedHeight(metrics.lineSpacing() * kSmsTextLines + 2 * memo->frameWidth() + 8);
    return memo;
}

QWidget* createFlag(const FieldDef& def, QWidget* parent) {
    if (isPolarity(def)) {
        auto* radio = new QRadioButton(
            def.family == Family::NO_IN ? QStringLiteral("NO") : QStringLiteral("NC"), parent);
        // The Configuration keeps the pair exclusive, and both may be clear after Open.
        radio->setAutoExclusive(false);
        return radio;
    }
    return new QCheckBox(parent);
}

QWidget* createEditor(const FieldDef& def, char decimalSeparator, QWidget* parent) {
    switch (def.kind) {
    case FieldKind::Flag:
        return createFlag(def, parent);
    case FieldKind::Choice: {
        auto* combo = new QComboBox(parent);
        for (const auto& choice : kEventChoices)
            combo->addItem(
                QString::fromUtf8(choice.slovak.data(), static_cast<qsizetype>(choice.slovak.size())));
        return combo;
    }
    case FieldKind::Number: {
        auto* field = new NumberField(def.range, decimalSeparator, parent);
        field->setFixedWidth(kNumberFieldWidth);
        field->withSpinButtons();
        return field;
    }
    case FieldKind::SmsText:
        return createSmsText(parent);
    default:
        return new QLineEdit(parent);
    }
}

} // namespace

FieldBinder::FieldBinder(Configuration& config, char decimalSeparator, QObject* parent)
    : QObject(parent), config_(config), decimalSeparator_(decimalSeparator), widgets_(config.table().size()),
      shownEditable_(config.table().size(), -1) {
    config_.setObserver([this](FieldId id) { show(id); });
}

FieldBinder::~FieldBinder() {
    config_.setObserver(nullptr);
}

QWidget* FieldBinder::create(FieldId id, QWidget* parent) {
    const FieldDef& def = config_.table()[id];
    QWidget* widget = createEditor(def, decimalSeparator_, parent);
    widget->setObjectName(QString::fromStdString(def.name));
    widget->installEventFilter(new FieldKeyFilter(def.typing, def.limit, decimalSeparator_, widget));
    widgets_[id] = widget;
    created_.push_back(id);
    connectEdits(id, widget);
    return widget;
}

QWidget* FieldBinder::placeOf(FieldId id) const {
    QWidget* widget = widgets_[id];
    return qobject_cast<NumberField*>(widget) ? widget->parentWidget() : widget;
}

void FieldBinder::connectEdits(FieldId id, QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        connect(line, &QLineEdit::textChanged, this,
                [this, id](const QString& text) { writeText(id, text); });
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        connect(memo, &QPlainTextEdit::textChanged, this, [this, id, memo] {
            if (!showing_)
                config_.setText(id, memoToModel(memoText(*memo)));
        });
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        // A click always selects; the Configuration clears the partner.
        connect(radio, &QRadioButton::clicked, this, [this, id] {
            config_.setFlag(id, true);
            show(id);
        });
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        connect(box, &QCheckBox::toggled, this, [this, id](bool checked) {
            if (!showing_)
                config_.setFlag(id, checked);
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this, id](int index) {
            if (!showing_)
                config_.setChoice(id, index);
        });
    }
}

void FieldBinder::writeText(FieldId id, const QString& text) {
    if (!showing_)
        config_.setText(id, toCp1250(text));
}

void FieldBinder::show(FieldId id) {
    QWidget* widget = widgets_[id];
    if (!widget)
        return;
    const bool wasShowing = showing_;
    showing_ = true;
    const FieldDef& def = config_.table()[id];
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        const QString text = fromCp1250(config_.text(id));
        if (line->text() != text)
            line->setText(text);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        const QString text = memoFromModel(config_.text(id));
        if (memoText(*memo) != text)
            memo->setPlainText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setChecked(config_.flag(id));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(config_.choice(id));
    }
    showing_ = wasShowing;
    if (def.list >= 0) {
        showEditable(id);
        if (def.position < kListLength)
            showEditable(static_cast<FieldId>(id + 1));
    }
}

void FieldBinder::showEditable(FieldId id) {
    QWidget* widget = widgets_[id];
    const bool editable = config_.isEditable(id);
    if (!widget || shownEditable_[id] == static_cast<signed char>(editable))
        return;
    shownEditable_[id] = static_cast<signed char>(editable);
    // The colours come from the list's palette (see showListColours).
    widget->setEnabled(editable);
}

void showListColours(QWidget* list) {
    QPalette palette = list->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Active, QPalette::Button));
    list->setPalette(palette);
}

void FieldBinder::showCreated() {
    for (FieldId id : created_)
        show(id);
    created_.clear();
}

void FieldBinder::setEventChoiceItems(const QStringList& items) {
    const bool wasShowing = showing_;
    showing_ = true;
    for (FieldId id : config_.table().family(Family::EventCodeIN)) {
        auto* combo = qobject_cast<QComboBox*>(widgets_[id]);
        if (!combo)
            continue; // not made yet
        for (int k = 0; k < items.size() && k < combo->count(); ++k)
            combo->setItemText(k, items[k]);
    }
    showing_ = wasShowing;
}

} // namespace qta::app
