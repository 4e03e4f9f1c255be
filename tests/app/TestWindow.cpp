#include "TestWindow.h"

#include <QDir>
#include <QFile>

QString FakeDialogs::answer(const qta::app::FileDialogRequest& request) {
    fileRequests << request;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

TestWindow::TestWindow(const QString& settingsContent) : previousDirectory(QDir::currentPath()) {
    QDir::setCurrent(directory.path());
    if (!settingsContent.isNull())
        writeFile(path(QStringLiteral("QTA710Plus.ini")), settingsContent.toUtf8());
    auto fake = std::make_unique<FakeDialogs>();
    dialogs = fake.get();
    window = std::make_unique<qta::app::TfMain>(std::move(fake));
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
