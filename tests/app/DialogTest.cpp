// The real dialogs of the window, found once they are up and answered by the test.
#include "app/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using qta::app::FileDialogRequest;
using qta::app::QtDialogs;

namespace {

const QString kPffFilter = QStringLiteral("QTA710 súbory (*.pff)|*.pff|Všetky súbory (*.*)|*.*");

// Runs `answer` on the modal widget of type T as soon as it is shown: for the boxes that
// Qt's own file dialog waits for. Deleting the returned timer gives up waiting.
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

// The dialog of type T that is up, if any.
template <typename T> T* shown() {
    T* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible())
            found = dialog;
    }
    return found;
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
        QtDialogs dialogs;
        QStringList chosen;
        dialogs.openFileName(nullptr, {kPffFilter, QStringLiteral("pff"), path(QStringLiteral("a"))},
                             [&chosen](const QString& name) { chosen << name; });
        QFileDialog* dialog = shown<QFileDialog>();
        QVERIFY(dialog);
        QCOMPARE(shownFilters(dialog), (QStringList{QStringLiteral("QTA710 súbory (*.pff)"),
                                                    QStringLiteral("Všetky súbory (*.*)")}));
        dialog->selectNameFilter(dialog->nameFilters().last());
        const QStringList patterns =
            dialog->nameFilters().last().section(QLatin1Char('('), -1).chopped(1).split(QLatin1Char(' '));
        QVERIFY(QDir::match(patterns, QStringLiteral("README")));
        // Cancelled: an empty name.
        dialog->reject();
        QCOMPARE(chosen, QStringList{QString()});
    }

    // The call returns with the dialog up, window-modal to the window; the choice comes
    // later, once, and the dialog is gone after it.
    void theOpenDialogReturnsAtOnceAndTakesTheNameOfAMissingFile() {
        const QString missing = path(QStringLiteral("missing.pff"));
        QWidget window;
        window.show();
        QtDialogs dialogs;
        QStringList chosen;
        dialogs.openFileName(&window, {kPffFilter, QStringLiteral("pff"), missing},
                             [&chosen](const QString& name) { chosen << name; });
        QPointer<QFileDialog> dialog = shown<QFileDialog>();
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), &window);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QCOMPARE(dialog->selectedFiles().value(0), missing);
        QCOMPARE(chosen, QStringList());

        bool refused = false;
        QTimer* refusal = whenShown<QMessageBox>([&refused](QMessageBox* message) {
            refused = true;
            message->close();
        });
        pressAccept(dialog);
        delete refusal;
        QVERIFY(!refused);
        QCOMPARE(chosen, QStringList{missing});
        QTRY_VERIFY(!dialog);
        QCOMPARE(chosen.size(), 1);
    }

    void theSaveDialogAddsTheExtensionAndAsksBeforeReplacing() {
        QtDialogs dialogs;
        QStringList chosen;
        const auto record = [&chosen](const QString& name) {
            chosen << name;
        };
        dialogs.saveFileName(nullptr, {kPffFilter, QStringLiteral("pff"), path(QStringLiteral("new"))},
                             record);
        QVERIFY(shown<QFileDialog>());
        pressAccept(shown<QFileDialog>());
        QCOMPARE(chosen, QStringList{path(QStringLiteral("new.pff"))});

        touch(path(QStringLiteral("old.pff")));
        dialogs.saveFileName(nullptr, {kPffFilter, QStringLiteral("pff"), path(QStringLiteral("old.pff"))},
                             record);
        QFileDialog* dialog = shown<QFileDialog>();
        QVERIFY(dialog);
        bool asked = false;
        QTimer* question = whenShown<QMessageBox>([&asked](QMessageBox* box) {
            asked = true;
            box->button(QMessageBox::No)->click();
        });
        pressAccept(dialog);
        delete question;
        QVERIFY(asked);
        // No leaves the dialog up for another name; cancelling it then gives none.
        QVERIFY(dialog->isVisible());
        QCOMPARE(chosen.size(), 1);
        dialog->reject();
        QCOMPARE(chosen, (QStringList{path(QStringLiteral("new.pff")), QString()}));
    }

    // The print dialog holds its printer while it is up and lets it go with itself.
    void thePrintDialogKeepsItsPrinterAndTellsACancel() {
        QtDialogs dialogs;
        auto printer = std::make_shared<QPrinter>();
        const std::weak_ptr<QPrinter> held = printer;
        QList<bool> confirmed;
        dialogs.choosePrinter(nullptr, std::move(printer), [&confirmed](bool yes) { confirmed << yes; });
        QPointer<QPrintDialog> dialog = shown<QPrintDialog>();
        QVERIFY(dialog);
        QVERIFY(!held.expired());
        QCOMPARE(confirmed, QList<bool>());
        dialog->reject();
        QCOMPARE(confirmed, QList<bool>{false});
        QTRY_VERIFY(!dialog);
        QVERIFY(held.expired());
    }

    // The boxes of the device link: the call returns with the box open, and the
    // callback runs when the user closes it.
    void boxesOpenWithoutWaitingAndTellWhenClosed() {
        QtDialogs dialogs;
        QWidget window;
        window.show();
        int closed = 0;
        dialogs.openMessage(&window, QStringLiteral("Damaged device !"), [&closed] { ++closed; });
        QMessageBox* box = shown<QMessageBox>();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Damaged device !"));
        QCOMPARE(box->parentWidget(), &window);
        QCOMPARE(closed, 0);
        box->button(QMessageBox::Ok)->click();
        QCOMPARE(closed, 1);

        QList<bool> answers;
        const auto ask = [&] {
            dialogs.openQuestion(&window, QStringLiteral("Close?"), [&answers](bool yes) { answers << yes; });
            return shown<QMessageBox>();
        };
        ask()->button(QMessageBox::Yes)->click();
        QTest::keyClick(ask(), Qt::Key_Escape);
        ask()->button(QMessageBox::No)->click();
        QCOMPARE(answers, (QList<bool>{true, false, false}));

        // The window is disabled while the transfer dialog is up: a box of its own
        // would be disabled with it, so it stands alone and takes clicks.
        window.setEnabled(false);
        dialogs.openMessage(&window, QStringLiteral("reset error?"), [&closed] { ++closed; });
        box = shown<QMessageBox>();
        QVERIFY(box && box->isEnabled());
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        box->button(QMessageBox::Ok)->click();
        QCOMPARE(closed, 2);
    }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
