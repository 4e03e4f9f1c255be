#include "KeyFilter.h"

#include "model/EntryRules.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace qta::app {
namespace {

std::function<void()>& beepFunction() {
    static std::function<void()> function;
    return function;
}

// Characters a typed key would add, after what a selection would remove.
int roomLeft(QObject* watched, int limit) {
    if (const auto* line = qobject_cast<QLineEdit*>(watched))
        return limit - static_cast<int>(line->text().size() - line->selectedText().size());
    if (const auto* memo = qobject_cast<QPlainTextEdit*>(watched)) {
        const auto length = memo->document()->characterCount() - 1;
        return limit - static_cast<int>(length - memo->textCursor().selectedText().size());
    }
    return limit;
}

} // namespace

void setBeep(std::function<void()> function) {
    beepFunction() = std::move(function);
}

void beep() {
    if (beepFunction())
        beepFunction()();
    else
        QApplication::beep();
}

bool isMenuKey(const QKeyEvent& event) {
    const auto modifiers = event.modifiers();
    // Ctrl with Alt is AltGr on some keyboards: it types the character it carries.
    if (!(modifiers & Qt::AltModifier) || (modifiers & Qt::ControlModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() && text.front().isPrint();
}

std::optional<char32_t> typedCharacter(const QKeyEvent& event) {
    if (isMenuKey(event))
        return std::nullopt;
    const auto key = event.key();
    const auto modifiers = event.modifiers();
    const bool control = (modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier);
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<char32_t>(key - Qt::Key_A + 1);
    switch (key) {
    case Qt::Key_Backspace:
        return U'\b';
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return U'\r';
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Escape:
        return std::nullopt;
    default:
        break;
    }
    if (control)
        return std::nullopt;
    const auto codePoints = event.text().toUcs4();
    if (codePoints.isEmpty())
        return std::nullopt;
    return static_cast<char32_t>(codePoints.front());
}

FieldKeyFilter::FieldKeyFilter(Typing typing, int limit, char decimalSeparator, QObject* parent)
    : QObject(parent), typing_(typing), limit_(limit), decimalSeparator_(decimalSeparator) {}

bool FieldKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethod) {
        filterComposed(watched, *static_cast<QInputMethodEvent*>(event));
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    return refuses(watched, *static_cast<QKeyEvent*>(event));
}

bool FieldKeyFilter::admits(char32_t character) const {
    switch (entry::filterKey(typing_, character, decimalSeparator_)) {
    case entry::KeyVerdict::DropWithBeep:
        beep();
        return false;
    case entry::KeyVerdict::Drop:
        return false;
    case entry::KeyVerdict::Accept:
        break;
    }
    return true;
}

bool FieldKeyFilter::refuses(QObject* watched, const QKeyEvent& event) const {
    if (isMenuKey(event))
        return true; // the widget would type its character
    if (typing_ == Typing::None)
        return false; // clicked fields keep their own keys (Space, arrows)
    const auto character = typedCharacter(event);
    if (!character)
        return false;
    if (!admits(*character))
        return true;
    // A printable character counts against the typing limit.
    return *character >= 32 && limit_ > 0 && roomLeft(watched, limit_) <= 0;
}

// Characters composed by an input method (a dead key, a compose sequence) are typed
// as well: the same rules and limit apply to each of them.
void FieldKeyFilter::filterComposed(QObject* watched, QInputMethodEvent& event) const {
    const QString composed = event.commitString();
    if (composed.isEmpty() || typing_ == Typing::None)
        return;
    int room = limit_ > 0 ? roomLeft(watched, limit_) : static_cast<int>(composed.size());
    QString kept;
    for (const char32_t character : composed.toUcs4()) {
        if (!admits(character))
            continue;
        if (character >= 32) {
            if (room <= 0)
                continue;
            --room;
        }
        kept += QString::fromUcs4(&character, 1);
    }
    if (kept != composed)
        event.setCommitString(kept, event.replacementStart(), event.replacementLength());
}

} // namespace qta::app
