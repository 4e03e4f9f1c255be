#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace qta::app {

// What a file dialog offers: its filter list in the "description|pattern|..." form
// of the profile files' dialogs, the extension given to a name typed without one,
// and the name it proposes.
struct FileDialogRequest {
    QString filter;
    QString defaultSuffix;
    QString proposedName;
};

// The window's dialogs and message boxes. The window uses QtDialogs; tests answer
// them without a modal dialog.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The chosen file, or empty when cancelled. The open dialog also takes the name of a
    // file that does not exist; the save dialog asks before replacing one.
    virtual QString openFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    // The print dialog; false when cancelled.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;

    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    virtual void showError(QWidget* parent, const QString& text) = 0;

    // A message box that leaves the window running: the call returns at once and
    // `closed` runs when the user has closed the box.
    virtual void openMessage(QWidget* parent, const QString& text, std::function<void()> closed) = 0;
    // A yes/no question that leaves the window running: `answered` gets true for Yes,
    // false for No or a closed box.
    virtual void openQuestion(QWidget* parent, const QString& question,
                              std::function<void(bool)> answered) = 0;
};

class QtDialogs : public Dialogs {
public:
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
    void showMessage(QWidget* parent, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void openMessage(QWidget* parent, const QString& text, std::function<void()> closed) override;
    void openQuestion(QWidget* parent, const QString& question, std::function<void(bool)> answered) override;
};

// "QTA710 súbory (*.pff)|*.pff|Všetky súbory (*.*)|*.*" as Qt's name filters: each
// description followed by its patterns in Qt's terms ("Všetky súbory (*.*) (*)"), for a
// dialog that hides the patterns and so shows the descriptions unchanged.
QStringList nameFilters(const QString& filter);

} // namespace qta::app
