#pragma once

#include "app/Dialogs.h"
#include "app/TfMain.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Answers the window's dialogs without showing them, and records what was asked.
class FakeDialogs : public qta::app::Dialogs {
public:
    QStringList fileAnswers;                         // taken in order; an empty name cancels
    QList<qta::app::FileDialogRequest> fileRequests; // what the dialogs were asked to offer
    std::function<bool(QPrinter&)> printerAnswer;
    QStringList messages;
    QStringList errors;

    // The file and print dialogs answer at once.
    void openFileName(QWidget*, const qta::app::FileDialogRequest& request, FileChosen chosen) override {
        chosen(answer(request));
    }
    void saveFileName(QWidget*, const qta::app::FileDialogRequest& request, FileChosen chosen) override {
        chosen(answer(request));
    }
    void choosePrinter(QWidget*, std::shared_ptr<QPrinter> printer,
                       std::function<void(bool)> confirmed) override {
        confirmed(printerAnswer && printerAnswer(*printer));
    }
    void showMessage(QWidget*, const QString& text) override { messages << text; }
    void showError(QWidget*, const QString& text) override { errors << text; }

    // Boxes that leave the window running: recorded in `messages` and `questions`;
    // closed at once, or held open until the test closes them.
    bool closeBoxesAtOnce = true;
    std::optional<bool> questionAnswer; // answered at once when set
    QStringList questions;
    void openMessage(QWidget*, const QString& text, std::function<void()> closed) override;
    void openQuestion(QWidget*, const QString& question, std::function<void(bool)> answered) override;
    // Closes the boxes held open, oldest first; answers the questions held open.
    void closeBoxes();
    void answerQuestions(bool yes);

    // The question about unsaved changes: answered at once with `unsavedAnswer`
    // (Discard unless a test says otherwise), or held open while it is unset.
    std::optional<qta::app::UnsavedChoice> unsavedAnswer = qta::app::UnsavedChoice::Discard;
    QStringList unsavedQuestions;
    QList<qta::app::UnsavedCaptions> unsavedCaptions;
    void askUnsavedChanges(QWidget*, const QString& question, const qta::app::UnsavedCaptions& captions,
                           std::function<void(qta::app::UnsavedChoice)> answered) override;
    void answerUnsaved(qta::app::UnsavedChoice choice);

    // Questions with buttons of their own and lists to pick from: answered at once
    // with the index set (-1 closes the box), recorded with what they offered.
    int choiceAnswer = 1; // the second button: for a Send, "Send without" a backup
    QStringList choices;
    QList<QStringList> choiceButtons;
    void openChoice(QWidget*, const QString& question, const QStringList& buttons,
                    std::function<void(int)> answered) override {
        choices << question;
        choiceButtons << buttons;
        answered(choiceAnswer);
    }
    int itemAnswer = -1;
    QList<QStringList> itemLists;
    void chooseItem(QWidget*, const QString&, const QStringList& items,
                    std::function<void(int)> chosen) override {
        itemLists << items;
        chosen(itemAnswer);
    }

private:
    QString answer(const qta::app::FileDialogRequest& request);
    std::vector<std::function<void()>> openBoxes_;
    std::vector<std::function<void(bool)>> openQuestions_;
    std::vector<std::function<void(qta::app::UnsavedChoice)>> openUnsaved_;
};

// A main window started in a working directory of its own (where its settings
// file lives), with fake dialogs.
// No USB-UART bridge is ever attached: the window's link looks and finds nothing.
class NoBridges : public qta::link::BridgeDriver {
public:
    std::unique_ptr<qta::link::BridgePort> openByDescription(const std::string&) override { return nullptr; }
};

struct TestWindow {
    // The link runs on `link`; by default on the real clock with no bridge attached.
    explicit TestWindow(const QString& settingsContent = QString(), qta::app::LinkSetup link = {});
    ~TestWindow();

    qta::app::TfMain& operator*() { return *window; }
    qta::app::TfMain* operator->() { return window.get(); }
    QString path(const QString& name) const { return directory.filePath(name); }

    QTemporaryDir directory;
    QString previousDirectory;
    NoBridges noBridges;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<qta::app::TfMain> window;
};

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& content);
