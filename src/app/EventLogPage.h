#pragma once

#include "model/AtomicFile.h"

#include <QWidget>

class QPlainTextEdit;
class QPrinter;

namespace qta::app {

// The event-log page: the editable plain-text view `Events`, one line per event.
class EventLogPage : public QWidget {
    Q_OBJECT
public:
    explicit EventLogPage(QWidget* parent);

    QPlainTextEdit* view() const { return view_; }

    // Empties the view (a read starts).
    void clearEvents();
    // Adds `line` as the view's new last line.
    void appendEvent(const QString& line);

    // Writes the view's lines, each followed by CR LF, in Windows-1250; an existing
    // file is replaced. Anything but Written when the file cannot be written.
    WriteStatus save(const QString& path) const;
    // Prints the view's text on `printer`, paginated by its page, each page headed by
    // `header`, with an empty job title.
    void print(QPrinter& printer, const QString& header) const;

private:
    QPlainTextEdit* view_;
};

} // namespace qta::app
