// The window's unsaved changes, as an installer meets them: the title's mark, the
// questions before New, Open, Close and Read, Save without a dialog once there is
// a file, and a completed Read or Send that leaves nothing unsaved. Also a --port
// that cannot be opened, which is said at once.
#include "QuickDevice.h"
#include "TestWindow.h"

#include "app/TfRead.h"
#include "link/Clock.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

using namespace std::chrono_literals;
using qta::app::UnsavedChoice;

namespace {

const QString kTitle = QStringLiteral("Programmer for QAT 710 Vavi v 3.1");
const QString kUnsaved = QStringLiteral("The configuration has changes that are not saved. Save them?");

} // namespace

class UnsavedChangesTest : public QObject {
    Q_OBJECT

    static void trigger(TestWindow& window, const char* item) {
        window->control<QAction>(QLatin1String(item))->trigger();
    }
    static QLineEdit* line(TestWindow& window, const char* name) {
        return window->control<QLineEdit>(QLatin1String(name));
    }

private slots:
    void newOpenCloseAndReadAskBeforeEditsAreLost() {
        qta::link::ManualClock clock;
        qta::sim::VirtualBridge bridge(clock, quickDevice());
        qta::app::LinkSetup link;
        link.driver = &bridge;
        link.clock = &clock;
        TestWindow window(QStringLiteral("[Language]\r\nLang=EN\r\n"), link);
        FakeDialogs& dialogs = *window.dialogs;
        QCOMPARE(window->windowTitle(), kTitle);

        // An edit marks the title; New asks, and Cancel keeps the edit.
        QTest::keyClicks(line(window, "TNLS_1"), QStringLiteral("112"));
        QCOMPARE(window->windowTitle(), QStringLiteral("* - ") + kTitle);
        dialogs.unsavedAnswer = UnsavedChoice::Cancel;
        trigger(window, "Nov2");
        QCOMPARE(dialogs.unsavedQuestions, QStringList{kUnsaved});
        QCOMPARE(dialogs.unsavedCaptions[0].save, QStringLiteral("Save"));
        QCOMPARE(dialogs.unsavedCaptions[0].discard, QStringLiteral("Discard"));
        QCOMPARE(dialogs.unsavedCaptions[0].cancel, QStringLiteral("Cancel"));
        QCOMPARE(line(window, "TNLS_1")->text(), QStringLiteral("112"));

        // Save with no file yet asks for one; New follows once it is saved.
        const QString file = window.path(QStringLiteral("device.pff"));
        dialogs.unsavedAnswer = UnsavedChoice::Save;
        dialogs.fileAnswers << file;
        trigger(window, "Nov2");
        QVERIFY(readFile(file).contains("\r\nTNLS_1=112\r\n"));
        QCOMPARE(line(window, "TNLS_1")->text(), QString());
        QCOMPARE(window->windowTitle(), kTitle);

        // Open ties the window to the file; Save then writes it without a dialog.
        dialogs.fileAnswers << file;
        trigger(window, "Otvori2");
        QCOMPARE(dialogs.unsavedQuestions.size(), 2); // nothing was unsaved
        QCOMPARE(window->windowTitle(), QStringLiteral("device.pff - ") + kTitle);
        QTest::keyClicks(line(window, "TNLS_2"), QStringLiteral("999"));
        QCOMPARE(window->windowTitle(), QStringLiteral("device.pff* - ") + kTitle);
        const auto dialogsShown = dialogs.fileRequests.size();
        trigger(window, "Uloi2");
        QCOMPARE(dialogs.fileRequests.size(), dialogsShown);
        QVERIFY(readFile(file).contains("\r\nTNLS_2=999\r\n"));
        QCOMPARE(window->windowTitle(), QStringLiteral("device.pff - ") + kTitle);
        QCOMPARE(window->recentFiles(), QStringList{file});

        // Open over an edit: Discard drops it and the file's values come back.
        QTest::keyClicks(line(window, "TNLS_3"), QStringLiteral("555"));
        dialogs.unsavedAnswer = UnsavedChoice::Discard;
        dialogs.fileAnswers << file;
        trigger(window, "Otvori2");
        QCOMPARE(dialogs.unsavedQuestions.size(), 3);
        QCOMPARE(line(window, "TNLS_3")->text(), QString());
        QCOMPARE(line(window, "TNLS_2")->text(), QStringLiteral("999"));

        // Close over an edit waits for the answer; Cancel keeps the window.
        window->show();
        QTest::keyClicks(line(window, "TNLS_3"), QStringLiteral("777"));
        dialogs.unsavedAnswer.reset();
        QVERIFY(!window->close());
        dialogs.answerUnsaved(UnsavedChoice::Cancel);
        QVERIFY(window->isVisible());

        // Read over an edit asks whether to replace it; No leaves it, Yes reads.
        qta::app::TfRead& transfer = window->transferDialog();
        QVERIFY(clock.runUntil([&] { return transfer.isVisible(); }, 60s));
        auto* pass = transfer.findChild<QLineEdit*>(QStringLiteral("Pass"));
        QTest::keyClicks(pass, QStringLiteral("6173"));
        QTest::keyClick(pass, Qt::Key_Return);
        QVERIFY(
            clock.runUntil([&] { return window->device().state().unlocked && !transfer.isVisible(); }, 60s));
        trigger(window, "Nata2");
        QCOMPARE(dialogs.questions,
                 QStringList{QStringLiteral("The configuration has changes that are not saved. Replace them "
                                            "with the device's configuration?")});
        dialogs.answerQuestions(false);
        QVERIFY(!window->device().transferRunning());
        QCOMPARE(line(window, "TNLS_3")->text(), QStringLiteral("777"));
        trigger(window, "Nata2");
        dialogs.answerQuestions(true);
        QVERIFY(window->device().transferRunning());
        QVERIFY(clock.runUntil([&] { return !window->device().transferRunning() && !transfer.isVisible(); },
                               60s));
        QCOMPARE(line(window, "TNLS_3")->text(), QString()); // the device's own configuration
        QCOMPARE(window->windowTitle(), kTitle);             // no file holds it, nothing unsaved
        QVERIFY(window->statusBar()->currentMessage().startsWith(
            QStringLiteral("Configuration read from the device, ")));

        // A Send that completed leaves nothing unsaved either, in the window's language.
        window->SetLangToSK();
        QTest::keyClicks(line(window, "TNLS_1"), QStringLiteral("0905"));
        QCOMPARE(window->windowTitle(), QStringLiteral("* - Programátor QTA 710 Vavi v 4.1"));
        // A value the device is unlikely to work with is warned about; the user may send it anyway.
        window->configuration().setText(window->configuration().table().id("IP_PCO"), "pco.example");
        trigger(window, "Odosla2");
        QCOMPARE(dialogs.questions.size(), 3);
        QCOMPARE(dialogs.questions.last(), QStringLiteral("IP_PCO: \"pco.example\" nie je adresa IPv4.\n"
                                                          "Napriek tomu odoslať?"));
        dialogs.answerQuestions(false);
        QVERIFY(!window->device().transferRunning());
        trigger(window, "Odosla2");
        dialogs.answerQuestions(true);
        QVERIFY(window->device().transferRunning());
        QVERIFY(clock.runUntil([&] { return !window->device().transferRunning() && !transfer.isVisible(); },
                               60s));
        QCOMPARE(window->windowTitle(), QStringLiteral("Programátor QTA 710 Vavi v 4.1"));
        QVERIFY(window->statusBar()->currentMessage().startsWith(
            QStringLiteral("Konfigurácia zapísaná do zariadenia, ")));

        // An event-log Read brings its page to the front, where its lines come in.
        auto* pages = window->control<QTabWidget>(QStringLiteral("PageControl1"));
        trigger(window, "Nata1");
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet8"));
        QVERIFY(clock.runUntil([&] { return !window->device().transferRunning() && !transfer.isVisible(); },
                               60s));
        QVERIFY(window->statusBar()->currentMessage().startsWith(
            QStringLiteral("Denník načítaný zo zariadenia, ")));

        // Close over an edit with Save and no file: saved where the user says, then closed.
        QTest::keyClicks(line(window, "TNLS_2"), QStringLiteral("0906"));
        const QString last = window.path(QStringLiteral("last.pff"));
        dialogs.unsavedAnswer = UnsavedChoice::Save;
        dialogs.fileAnswers << last;
        window->close();
        QVERIFY(readFile(last).contains("\r\nTNLS_2=0906\r\n"));
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(readFile(window.path(QStringLiteral("QTA710Plus.ini"))).contains("Lang=SK"));
        QCOMPARE(window->recentFiles(), (QStringList{last, file}));
    }

    // The habits of a desktop program: shortcuts, the language marked, a hint on the
    // link images, a window that fits 1024 x 768.
    void theWindowFollowsDesktopHabits() {
        TestWindow window(QStringLiteral("[Language]\r\nLang=EN\r\n"));
        const std::pair<const char*, QKeySequence> shortcuts[] = {
            {"Nov2", QKeySequence::New},
            {"Otvori2", QKeySequence::Open},
            {"Uloi2", QKeySequence::Save},
            {"SaveAs1", QKeySequence(QStringLiteral("Ctrl+Shift+S"))},
            {"N1", QKeySequence(QStringLiteral("Ctrl+Q"))}};
        for (const auto& [item, keys] : shortcuts)
            QCOMPARE(window->control<QAction>(QLatin1String(item))->shortcut(), keys);

        const auto checked = [&] {
            QStringList marked;
            for (const char* item : {"EN", "DE", "SK", "Dansky1"}) {
                if (window->control<QAction>(QLatin1String(item))->isChecked())
                    marked << QLatin1String(item);
            }
            return marked;
        };
        QCOMPARE(checked(), QStringList{QStringLiteral("EN")});
        trigger(window, "DE");
        QCOMPARE(checked(), QStringList{QStringLiteral("DE")});

        QCOMPARE(window->control<QWidget>(QStringLiteral("Image2"))->toolTip(),
                 QStringLiteral(
                     "Leuchtet, solange der USB-Adapter geöffnet ist. Ein Klick bewirkt bei USB nichts."));

        window->completePages();
        const QSize least = window->minimumSizeHint().expandedTo(window->sizeHint());
        QVERIFY2(least.width() <= 1004 && least.height() <= 700,
                 qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
    }

    // A --port that cannot be opened is said at once with the reason, in the window's language.
    void aPortThatCannotBeOpenedIsSaidAtOnce() {
        QTemporaryDir folder;
        const QString missing = folder.filePath(QStringLiteral("nonexist"));
        const QString plain = folder.filePath(QStringLiteral("plain-file"));
        writeFile(plain, "not a tty");
        const struct {
            QString port;
            const char* language;
            QString message;
        } cases[] = {
            {missing, "EN",
             QStringLiteral("The USB adapter ") + missing +
                 QStringLiteral(" cannot be opened: No such file or directory")},
            {plain, "SK",
             QStringLiteral("USB adaptér ") + plain +
                 QStringLiteral(" sa nedá otvoriť: nie je to sériový port")},
        };
        for (const auto& each : cases) {
            qta::app::LinkSetup link;
            link.port = each.port.toStdString();
            TestWindow window(QStringLiteral("[Language]\r\nLang=%1\r\n").arg(QLatin1String(each.language)),
                              link);
            QCOMPARE(window.dialogs->messages, QStringList{each.message});
        }
    }
};

QTEST_MAIN(UnsavedChangesTest)
#include "UnsavedChangesTest.moc"
