// The real file dialogs of the window, answered by the test once they are open.
#include "app/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using qta::app::FileDialogRequest;
using qta::app::QtDialogs;

namespace {

const QString kPffFilter = QStringLiteral("QTA710 súbory (*.pff)|*.pff|Všetky súbory (*.*)|*.*");

// Runs `answer` on the modal widget of type T as soon as it is shown; deleting the
// returned timer gives up waiting.
template <typename T> QTimer* whenShown(std::function<void(T*)> answer) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            answer(widget);
        }
    });
    poll->start(10);
    return poll;
}

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// The dialog's Open or Save button.
void pressAccept(QFileDialog* dialog) {
    QMetaObject::invokeMethod(dialog, "accept");
}

// The one message box on the screen.
QMessageBox* shownBox() {
    QMessageBox* shown = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            shown = box;
    }
    return shown;
}

QStringList shownFilters(QFileDialog* dialog) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QStringList items;
    for (int k = 0; combo && k < combo->count(); ++k)
        items << combo->itemText(k);
    return items;
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir directory;
    QString path(const QString& name) const { return directory.filePath(name); }

private slots:
    void initTestCase() { QApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void theFiltersAreShownAsWrittenAndStarDotStarIsEveryFile() {
        QCOMPARE(qta::app::nameFilters(kPffFilter),
                 (QStringList{QStringLiteral("QTA710 súbory (*.pff) (*.pff)"),
                              QStringLiteral("Všetky súbory (*.*) (*)")}));
        touch(path(QStringLiteral("README")));
        QStringList shown;
        bool listsAFileWithoutDot = false;
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            shown = shownFilters(dialog);
            dialog->selectNameFilter(dialog->nameFilters().last());
            const QStringList patterns =
                dialog->nameFilters().last().section(QLatin1Char('('), -1).chopped(1).split(QLatin1Char(' '));
            listsAFileWithoutDot = QDir::match(patterns, QStringLiteral("README"));
            dialog->reject();
        });
        QtDialogs dialogs;
        QCOMPARE(
            dialogs.openFileName(nullptr, {kPffFilter, QStringLiteral("pff"), path(QStringLiteral("a"))}),
            QString());
        QCOMPARE(shown, (QStringList{QStringLiteral("QTA710 súbory (*.pff)"),
                                     QStringLiteral("Všetky súbory (*.*)")}));
        QVERIFY(listsAFileWithoutDot);
    }

    void theOpenDialogAcceptsTheNameOfAMissingFile() {
        const QString missing = path(QStringLiteral("missing.pff"));
        QString proposed;
        bool refused = false;
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            proposed = dialog->selectedFiles().value(0);
            QTimer* refusal = whenShown<QMessageBox>([&](QMessageBox* message) {
                refused = true;
                message->close();
                QTimer::singleShot(0, dialog, &QDialog::reject);
            });
            pressAccept(dialog);
            delete refusal;
        });
        QtDialogs dialogs;
        QCOMPARE(dialogs.openFileName(nullptr, {kPffFilter, QStringLiteral("pff"), missing}), missing);
        QCOMPARE(proposed, missing);
        QVERIFY(!refused);
    }

    void theSaveDialogAddsTheExtensionAndAsksBeforeReplacing() {
        QtDialogs dialogs;
        whenShown<QFileDialog>(pressAccept);
        QCOMPARE(
            dialogs.saveFileName(nullptr, {kPffFilter, QStringLiteral("pff"), path(QStringLiteral("new"))}),
            path(QStringLiteral("new.pff")));

        touch(path(QStringLiteral("old.pff")));
        bool asked = false;
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            whenShown<QMessageBox>([&](QMessageBox* question) {
                asked = true;
                question->button(QMessageBox::No)->click();
                QTimer::singleShot(0, dialog, &QDialog::reject);
            });
            pressAccept(dialog);
        });
        QCOMPARE(dialogs.saveFileName(nullptr,
                                      {kPffFilter, QStringLiteral("pff"), path(QStringLiteral("old.pff"))}),
                 QString());
        QVERIFY(asked);
    }

    // The boxes of the device link: the call returns with the box open, and the
    // callback runs when the user closes it.
    void boxesOpenWithoutWaitingAndTellWhenClosed() {
        QtDialogs dialogs;
        QWidget window;
        window.show();
        int closed = 0;
        dialogs.openMessage(&window, QStringLiteral("Damaged device !"), [&closed] { ++closed; });
        QMessageBox* box = shownBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Damaged device !"));
        QCOMPARE(box->parentWidget(), &window);
        QCOMPARE(closed, 0);
        box->button(QMessageBox::Ok)->click();
        QCOMPARE(closed, 1);

        QList<bool> answers;
        const auto ask = [&] {
            dialogs.openQuestion(&window, QStringLiteral("Close?"), [&answers](bool yes) { answers << yes; });
            return shownBox();
        };
        ask()->button(QMessageBox::Yes)->click();
        QTest::keyClick(ask(), Qt::Key_Escape);
        ask()->button(QMessageBox::No)->click();
        QCOMPARE(answers, (QList<bool>{true, false, false}));

        // The window is disabled while the transfer dialog is up: a box of its own
        // would be disabled with it, so it stands alone and takes clicks.
        window.setEnabled(false);
        dialogs.openMessage(&window, QStringLiteral("reset error?"), [&closed] { ++closed; });
        box = shownBox();
        QVERIFY(box && box->isEnabled());
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        box->button(QMessageBox::Ok)->click();
        QCOMPARE(closed, 2);
    }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
