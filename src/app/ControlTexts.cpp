#include "ControlTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

namespace qta::app {
namespace {

// The tab widget that shows `widget` as a page: page -> stack -> tab widget.
QTabWidget* tabsOf(const QWidget* widget) {
    const QWidget* stack = widget->parentWidget();
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

// Menus and their items open from the keyboard by the first letter of their caption
// (Alt+letter on the menu bar), as menus do on every desktop. A '&' of the text itself
// is doubled so that it shows.
QString withMnemonic(const QString& text) {
    QString marked = text;
    marked.replace(QLatin1Char('&'), QLatin1String("&&"));
    for (qsizetype k = 0; k < marked.size(); ++k) {
        if (marked[k].isLetterOrNumber()) {
            marked.insert(k, QLatin1Char('&'));
            break;
        }
    }
    return marked;
}

QString withoutMnemonic(const QString& marked) {
    QString text;
    for (qsizetype k = 0; k < marked.size(); ++k) {
        if (marked[k] == QLatin1Char('&') && k + 1 < marked.size())
            ++k;
        text += marked[k];
    }
    return text;
}

} // namespace

void setCaption(QObject* control, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(withMnemonic(text));
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(withMnemonic(text));
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->text() != text)
            label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* page = qobject_cast<QWidget*>(control)) {
        if (QTabWidget* tabs = tabsOf(page))
            tabs->setTabText(tabs->indexOf(page), text);
    }
}

void setHint(QObject* control, const QString& text) {
    auto* widget = qobject_cast<QWidget*>(control);
    if (!widget)
        return;
    widget->setToolTip(text);
    if (QTabWidget* tabs = tabsOf(widget))
        tabs->setTabToolTip(tabs->indexOf(widget), text);
}

QString captionOf(const QObject* control) {
    if (const auto* menu = qobject_cast<const QMenu*>(control))
        return withoutMnemonic(menu->title());
    if (const auto* action = qobject_cast<const QAction*>(control))
        return withoutMnemonic(action->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (const auto* page = qobject_cast<const QWidget*>(control)) {
        if (const QTabWidget* tabs = tabsOf(page))
            return tabs->tabText(tabs->indexOf(page));
    }
    return {};
}

} // namespace qta::app
