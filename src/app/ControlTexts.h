#pragma once

#include <QString>

class QMenuBar;
class QObject;

namespace qta::app {

// Puts a catalogue text on a control, whatever kind of control it is: the text of
// a label, button or action, the title of a group box or menu, the tab text of a page.
void setCaption(QObject* control, const QString& text);
// The control's hint (tool tip); a page also gets it on its tab.
void setHint(QObject* control, const QString& text);

// Menus and their items open from the keyboard by a letter of their caption
// (Alt+letter on the menu bar, the letter inside a menu), as on every desktop: marks
// in each caption the first letter that no caption before it in the bar or menu took.
void markMenuLetters(QMenuBar* bar);

// The text setCaption last put there (for pages, the tab text; for menus, without
// the mark of their keyboard letter).
QString captionOf(const QObject* control);

} // namespace qta::app
