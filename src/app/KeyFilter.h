#pragma once

#include "model/FieldTable.h"

#include <QObject>

#include <functional>
#include <optional>

class QInputMethodEvent;
class QKeyEvent;

namespace qta::app {

// The system beep of a refused key in a number field. Tests replace it to count beeps;
// an empty function restores QApplication::beep.
void setBeep(std::function<void()> beep);
void beep();

// The character a key press types, as the entry rules see it: Ctrl+letter is its
// control code (Ctrl+V is 22), Backspace 8, Enter 13; AltGr (Ctrl+Alt) combinations
// type the character they carry. nullopt for keys that type nothing: arrows, Delete,
// Tab, function keys, Shift+Insert, and Alt combinations (see isMenuKey).
std::optional<char32_t> typedCharacter(const QKeyEvent& event);

// Alt without Ctrl with a key that carries a character: the keyboard's way to a menu.
// One that no menu took must not type its character, or an installer guessing a menu
// letter changes a setting without noticing.
bool isMenuKey(const QKeyEvent& event);

// Applies a field's typing behaviour and typing limit to the real key presses of
// its widget (a QLineEdit or a QPlainTextEdit) and to the characters an input method
// composes there. Pasted or loaded text is not filtered. In every field, also those
// that are clicked (Typing::None), a menu key that no menu took does nothing.
class FieldKeyFilter : public QObject {
    Q_OBJECT
public:
    FieldKeyFilter(Typing typing, int limit, char decimalSeparator, QObject* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the rule lets a typed character in; a number field beeps when it does not.
    bool admits(char32_t character) const;
    bool refuses(QObject* watched, const QKeyEvent& event) const;
    void filterComposed(QObject* watched, QInputMethodEvent& event) const;

    Typing typing_;
    int limit_;
    char decimalSeparator_;
};

} // namespace qta::app
