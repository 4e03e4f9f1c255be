#pragma once

#include <QString>

#include <functional>
#include <memory>

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

// The answers to the question about unsaved changes, and its buttons' captions.
enum class UnsavedChoice { Save, Discard, Cancel };
struct UnsavedCaptions {
    QString save;
    QString discard;
    QString cancel;
};

// The window's dialogs and message boxes. The window uses QtDialogs; tests answer
// them without a modal dialog. None of them waits for the user: each call returns at
// once, and the window (and the device link with it) runs on while a dialog is up.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Gets the chosen file once the dialog is closed, or an empty name when cancelled.
    using FileChosen = std::function<void(const QString& name)>;
    // The file dialogs; `chosen` runs once. The open dialog also takes the name of a
    // file that does not exist; the save dialog asks before replacing one.
    virtual void openFileName(QWidget* parent, const FileDialogRequest& request, FileChosen chosen) = 0;
    virtual void saveFileName(QWidget* parent, const FileDialogRequest& request, FileChosen chosen) = 0;
    // The print dialog, which sets up `printer` and keeps it until the dialog is gone:
    // `confirmed` gets true when the user chose to print, false when cancelled.
    virtual void choosePrinter(QWidget* parent, std::shared_ptr<QPrinter> printer,
                               std::function<void(bool)> confirmed) = 0;

    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    virtual void showError(QWidget* parent, const QString& text) = 0;

    // A message box that leaves the window running: the call returns at once and
    // `closed` runs when the user has closed the box.
    virtual void openMessage(QWidget* parent, const QString& text, std::function<void()> closed) = 0;
    // A yes/no question that leaves the window running: `answered` gets true for Yes,
    // false for No or a closed box.
    virtual void openQuestion(QWidget* parent, const QString& question,
                              std::function<void(bool)> answered) = 0;
    // Save / Discard / Cancel, leaving the window running: `answered` gets the
    // choice, Cancel for a closed box.
    virtual void askUnsavedChanges(QWidget* parent, const QString& question, const UnsavedCaptions& captions,
                                   std::function<void(UnsavedChoice)> answered) = 0;
    // A question with buttons of its own, the first one the default, leaving the
    // window running: `answered` gets the index of the button, -1 for a closed box.
    virtual void openChoice(QWidget* parent, const QString& question, const QStringList& buttons,
                            std::function<void(int)> answered) = 0;
    // A list to pick one item from: `chosen` gets its index, -1 when cancelled.
    virtual void chooseItem(QWidget* parent, const QString& title, const QStringList& items,
                            std::function<void(int)> chosen) = 0;
};

class QtDialogs : public Dialogs {
public:
    void openFileName(QWidget* parent, const FileDialogRequest& request, FileChosen chosen) override;
    void saveFileName(QWidget* parent, const FileDialogRequest& request, FileChosen chosen) override;
    void choosePrinter(QWidget* parent, std::shared_ptr<QPrinter> printer,
                       std::function<void(bool)> confirmed) override;
    void showMessage(QWidget* parent, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void openMessage(QWidget* parent, const QString& text, std::function<void()> closed) override;
    void openQuestion(QWidget* parent, const QString& question, std::function<void(bool)> answered) override;
    void askUnsavedChanges(QWidget* parent, const QString& question, const UnsavedCaptions& captions,
                           std::function<void(UnsavedChoice)> answered) override;
    void openChoice(QWidget* parent, const QString& question, const QStringList& buttons,
                    std::function<void(int)> answered) override;
    void chooseItem(QWidget* parent, const QString& title, const QStringList& items,
                    std::function<void(int)> chosen) override;
};

// "QTA710 súbory (*.pff)|*.pff|Všetky súbory (*.*)|*.*" as Qt's name filters: each
// description followed by its patterns in Qt's terms ("Všetky súbory (*.*) (*)"), for a
// dialog that hides the patterns and so shows the descriptions unchanged.
QStringList nameFilters(const QString& filter);

} // namespace qta::app
