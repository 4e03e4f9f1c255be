#include "TestWindow.h"

#include <QDir>
#include <QFile>

#include <utility>

QString FakeDialogs::answer(const qta::app::FileDialogRequest& request) {
    fileRequests << request;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

void FakeDialogs::openMessage(QWidget*, const QString& text, std::function<void()> closed) {
    messages << text;
    if (closeBoxesAtOnce) {
        if (closed)
            closed();
    } else {
        openBoxes_.push_back(std::move(closed));
    }
}

void FakeDialogs::openQuestion(QWidget*, const QString& question, std::function<void(bool)> answered) {
    questions << question;
    if (questionAnswer)
        answered(*questionAnswer);
    else
        openQuestions_.push_back(std::move(answered));
}

void FakeDialogs::closeBoxes() {
    auto boxes = std::exchange(openBoxes_, {});
    for (auto& closed : boxes) {
        if (closed)
            closed();
    }
}

void FakeDialogs::answerQuestions(bool yes) {
    auto asked = std::exchange(openQuestions_, {});
    for (auto& answered : asked)
        answered(yes);
}

void FakeDialogs::askUnsavedChanges(QWidget*, const QString& question,
                                    const qta::app::UnsavedCaptions& captions,
                                    std::function<void(qta::app::UnsavedChoice)> answered) {
    unsavedQuestions << question;
    unsavedCaptions << captions;
    if (unsavedAnswer)
        answered(*unsavedAnswer);
    else
        openUnsaved_.push_back(std::move(answered));
}

void FakeDialogs::answerUnsaved(qta::app::UnsavedChoice choice) {
    auto asked = std::exchange(openUnsaved_, {});
    for (auto& answered : asked)
        answered(choice);
}

TestWindow::TestWindow(const QString& settingsContent, qta::app::LinkSetup link)
    : previousDirectory(QDir::currentPath()) {
    QDir::setCurrent(directory.path());
    if (!settingsContent.isNull())
        writeFile(path(QStringLiteral("QTA710Plus.ini")), settingsContent.toUtf8());
    auto fake = std::make_unique<FakeDialogs>();
    dialogs = fake.get();
    if (!link.driver)
        link.driver = &noBridges;
    window = std::make_unique<qta::app::TfMain>(std::move(fake), qta::app::SettingsFile(), link);
}

TestWindow::~TestWindow() {
    window.reset();
    QDir::setCurrent(previousDirectory);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}
