// The window over GPRS, as an installer uses it in the field: started with
// --listen, the virtual device dials in, the code typed into the prompt unlocks
// it, Read fills the fields, and closing the window ends the connection with the
// device's 0x04 before the window goes.
#include "ChildProcess.h"
#include "TestWindow.h"

#include "app/TfRead.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTcpServer>
#include <QTest>

class GprsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theDeviceDialsInIsReadAndIsAskedToHangUpWhenTheWindowCloses() {
        QTcpServer probe; // a free port for this run
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();

        qta::app::LinkSetup link;
        link.listenPort = port;
        link.driver = nullptr;
        TestWindow window(QString(), link);
        window->show();
        QVERIFY(window->control<QRadioButton>(QStringLiteral("rdbGPRS"))->isChecked());
        QCOMPARE(window->control<QLabel>(QStringLiteral("Label411"))->text(), QStringLiteral("GPRS"));
        // Where the device is to dial in (in the settings file's absence, Danish: English texts).
        QTRY_VERIFY(window->control<QLabel>(QStringLiteral("StatusListening"))
                        ->text()
                        .startsWith(QStringLiteral("GPRS: listening on port %1 at ").arg(port)));

        qta::test::ChildProcess device(QTA_SIM_PATH, {"--connect", "127.0.0.1:" + std::to_string(port),
                                                      "--baud", "0", "--ident-period", "100",
                                                      "--report-period", "20", "--reconnect-pause", "50"});
        qta::app::TfRead& dialog = window->transferDialog();
        QVERIFY(QTest::qWaitFor([&] { return dialog.isVisible(); }, 10000));
        QVERIFY(!window->control<QRadioButton>(QStringLiteral("rdbUSB"))->isEnabled());
        auto* pass = dialog.findChild<QLineEdit*>(QStringLiteral("Pass"));
        QTest::keyClicks(pass, QStringLiteral("6173"));
        QTest::keyClick(pass, Qt::Key_Return);
        auto* status = window->control<QLabel>(QStringLiteral("Label406"));
        QVERIFY(QTest::qWaitFor([&] { return status->text() == QStringLiteral("Connected"); }, 10000));

        // Data > Read: the start-up configuration comes back; the field shows the device's value.
        auto* delay = window->control<QLineEdit>(QStringLiteral("DELAY_IN1"));
        delay->setText(QStringLiteral("77"));
        window.dialogs->questionAnswer = true; // the edit may go
        window->control<QAction>(QStringLiteral("Nata2"))->trigger();
        QCOMPARE(window.dialogs->questions.size(), 1);
        QVERIFY(QTest::qWaitFor([&] { return delay->text() != QStringLiteral("77") && !dialog.isVisible(); },
                                10000));
        QVERIFY(window->isEnabled());

        // Closing asks the device to end the connection; the window waits until it has.
        window->close();
        QVERIFY(window->isVisible());
        QVERIFY(!QFile::exists(window.path(QStringLiteral("QTA710Plus.ini"))));
        QVERIFY(QTest::qWaitFor([&] { return !window->isVisible(); }, 15000));
        QCOMPARE(status->text(), QStringLiteral("Disconnected"));
        QVERIFY2(QFile::exists(window.path(QStringLiteral("QTA710Plus.ini"))), "closed, settings written");
        QVERIFY(window.dialogs->messages.isEmpty());
    }
};

QTEST_MAIN(GprsWindowTest)
#include "GprsWindowTest.moc"
