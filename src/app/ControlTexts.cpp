#include "ControlTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace qta::app {
namespace {

// The tab widget that shows `widget` as a page: page -> stack -> tab widget.
QTabWidget* tabsOf(const QWidget* widget) {
    const QWidget* stack = widget->parentWidget();
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

// A caption without the mark of its keyboard letter ("&&" shows one '&').
QString withoutMnemonic(const QString& marked) {
    QString text;
    for (qsizetype k = 0; k < marked.size(); ++k) {
        if (marked[k] == QLatin1Char('&') && k + 1 < marked.size())
            ++k;
        text += marked[k];
    }
    return text;
}

// A '&' of a menu's own text is doubled so that it shows.
QString escapedMnemonics(const QString& text) {
    return QString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

// Marks in each caption the first letter that no caption before it has taken; a caption
// whose letters are all taken marks its first one.
void markLetters(const QList<QAction*>& actions) {
    QString taken;
    for (QAction* action : actions) {
        const QString text = withoutMnemonic(action->text());
        qsizetype chosen = -1;
        for (qsizetype k = 0; k < text.size(); ++k) {
            if (!text[k].isLetterOrNumber())
                continue;
            if (chosen < 0)
                chosen = k;
            if (!taken.contains(text[k].toLower())) {
                chosen = k;
                break;
            }
        }
        if (chosen >= 0)
            taken += text[chosen].toLower();
        action->setText(chosen < 0 ? escapedMnemonics(text)
                                   : escapedMnemonics(text.left(chosen)) + QLatin1Char('&') +
                                         escapedMnemonics(text.mid(chosen)));
    }
}

} // namespace

void setCaption(QObject* control, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(escapedMnemonics(text));
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(escapedMnemonics(text));
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

void markMenuLetters(QMenuBar* bar) {
    markLetters(bar->actions());
    for (const QAction* title : bar->actions()) {
        if (const QMenu* menu = title->menu())
            markLetters(menu->actions());
    }
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
