#include "Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <utility>

namespace qta::app {
namespace {

// Shows `dialog` window-modal to its parent without waiting for it; the dialog deletes
// itself once closed. `finished` gets the dialog's result once, also when the dialog is
// cancelled, and stays (with what it holds) until the dialog is gone.
void openDialog(QDialog* dialog, std::function<void(int result)> finished) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [finished = std::move(finished), answered = false](int result) mutable {
                         if (!std::exchange(answered, true))
                             finished(result);
                     });
    dialog->open();
}

void openFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode,
                    Dialogs::FileChosen chosen) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(mode);
    // The open dialog takes a name that does not exist too; Open then says it cannot read it.
    dialog->setFileMode(QFileDialog::AnyFile);
    // The list shows the descriptions as they are written; the patterns in Qt's terms are hidden.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setNameFilters(nameFilters(request.filter));
    dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty())
        dialog->selectFile(request.proposedName);
    openDialog(dialog, [dialog, chosen = std::move(chosen)](int result) {
        const QStringList files = dialog->selectedFiles();
        if (chosen)
            chosen(result == QDialog::Accepted && !files.isEmpty() ? files.front() : QString());
    });
}

// A box for `parent` that is shown without waiting for it and deletes itself once
// closed. A disabled parent (the transfer dialog is up) would disable the box with
// it, so such a box stands on its own, above the transfer dialog.
QMessageBox* openBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                     QMessageBox::StandardButtons buttons) {
    QWidget* owner = parent && parent->isEnabled() ? parent : nullptr;
    auto* box = new QMessageBox(icon, QApplication::applicationDisplayName(), text, buttons, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!owner)
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

} // namespace

QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        // "*.*" means every file, also one without a dot, as "*" does for Qt.
        QString patterns = parts[k + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '))
            .replace(QLatin1String("*.*"), QLatin1String("*"));
        filters << parts[k] + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

void QtDialogs::openFileName(QWidget* parent, const FileDialogRequest& request, FileChosen chosen) {
    openFileDialog(parent, request, QFileDialog::AcceptOpen, std::move(chosen));
}

void QtDialogs::saveFileName(QWidget* parent, const FileDialogRequest& request, FileChosen chosen) {
    // QFileDialog asks before replacing an existing file.
    openFileDialog(parent, request, QFileDialog::AcceptSave, std::move(chosen));
}

// The dialog works on the printer until it is deleted, so its answer holds the printer.
void QtDialogs::choosePrinter(QWidget* parent, std::shared_ptr<QPrinter> printer,
                              std::function<void(bool)> confirmed) {
    auto* dialog = new QPrintDialog(printer.get(), parent);
    openDialog(dialog, [printer = std::move(printer), confirmed = std::move(confirmed)](int result) {
        if (confirmed)
            confirmed(result == QDialog::Accepted);
    });
}

// Neither box waits for the user: the window runs on while it is up.
void QtDialogs::showMessage(QWidget* parent, const QString& text) {
    openBox(parent, QMessageBox::Information, text, QMessageBox::Ok)->open();
}

void QtDialogs::showError(QWidget* parent, const QString& text) {
    openBox(parent, QMessageBox::Critical, text, QMessageBox::Ok)->open();
}

void QtDialogs::openMessage(QWidget* parent, const QString& text, std::function<void()> closed) {
    QMessageBox* box = openBox(parent, QMessageBox::Information, text, QMessageBox::Ok);
    QObject::connect(box, &QDialog::finished, box, [closed = std::move(closed)] {
        if (closed)
            closed();
    });
    box->open();
}

void QtDialogs::openQuestion(QWidget* parent, const QString& question, std::function<void(bool)> answered) {
    QMessageBox* box = openBox(parent, QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::No);
    QObject::connect(box, &QDialog::finished, box, [box, answered = std::move(answered)] {
        if (answered)
            answered(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->open();
}

} // namespace qta::app

namespace qta::app {

void QtDialogs::askUnsavedChanges(QWidget* parent, const QString& question, const UnsavedCaptions& captions,
                                  std::function<void(UnsavedChoice)> answered) {
    QMessageBox* box = openBox(parent, QMessageBox::Warning, question,
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    // The buttons speak the window's language, not Qt's.
    box->button(QMessageBox::Save)->setText(captions.save);
    box->button(QMessageBox::Discard)->setText(captions.discard);
    box->button(QMessageBox::Cancel)->setText(captions.cancel);
    box->setDefaultButton(QMessageBox::Save);
    QObject::connect(box, &QDialog::finished, box, [box, answered = std::move(answered)] {
        const QAbstractButton* clicked = box->clickedButton();
        UnsavedChoice choice = UnsavedChoice::Cancel;
        if (clicked == box->button(QMessageBox::Save))
            choice = UnsavedChoice::Save;
        else if (clicked == box->button(QMessageBox::Discard))
            choice = UnsavedChoice::Discard;
        if (answered)
            answered(choice);
    });
    box->open();
}

void QtDialogs::openChoice(QWidget* parent, const QString& question, const QStringList& buttons,
                           std::function<void(int)> answered) {
    QMessageBox* box = openBox(parent, QMessageBox::Question, question, QMessageBox::NoButton);
    QList<QAbstractButton*> added;
    for (const QString& caption : buttons)
        added << box->addButton(caption, QMessageBox::ActionRole);
    if (!added.isEmpty())
        box->setDefaultButton(qobject_cast<QPushButton*>(added.front()));
    QObject::connect(box, &QDialog::finished, box, [box, added, answered = std::move(answered)] {
        if (answered)
            answered(static_cast<int>(added.indexOf(box->clickedButton())));
    });
    box->open();
}

void QtDialogs::chooseItem(QWidget* parent, const QString& title, const QStringList& items,
                           std::function<void(int)> chosen) {
    auto* dialog = new QInputDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    dialog->setLabelText(title);
    dialog->setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog->setComboBoxItems(items);
    QObject::connect(
        dialog, &QDialog::finished, dialog, [dialog, items, chosen = std::move(chosen)](int result) {
            if (chosen)
                chosen(result == QDialog::Accepted ? static_cast<int>(items.indexOf(dialog->textValue()))
                                                   : -1);
        });
    dialog->open();
}

} // namespace qta::app
