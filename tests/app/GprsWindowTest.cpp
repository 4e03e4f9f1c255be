// The window over GPRS, as an installer uses it in the field: started with
// --listen, the virtual device dials in, the code typed into the prompt unlocks
// it, Read fills the fields, and closing the window ends the connection with the
// device's 0x04 before the window goes.
#include "ChildProcess.h"
#include "TestWindow.h"

#include "app/GprsAccessBar.h"
#include "app/TfRead.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// A peer on 127.0.0.1 that says it is the device: the first bytes the server sent
// it, and whether it was closed (at most a second later).
QByteArray sentToAPeerSaying(quint16 port, const QByteArray& bytes) {
    QTcpSocket peer;
    peer.connectToHost(QHostAddress::LocalHost, port);
    if (!peer.waitForConnected(2000))
        return "not connected";
    peer.write(bytes);
    QByteArray received;
    [[maybe_unused]] const bool ended = QTest::qWaitFor(
        [&] {
            if (peer.isOpen())
                received += peer.readAll();
            return peer.state() == QAbstractSocket::UnconnectedState || !received.isEmpty();
        },
        1000);
    return received + (peer.state() == QAbstractSocket::UnconnectedState ? "|closed" : "");
}

} // namespace

class GprsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void whoMayConnectIsSetInTheStatusBarKeptInTheSettingsFileAndTakenAtOnce() {
        qta::app::LinkSetup link;
        link.listenPort = freePort();
        TestWindow window(QStringLiteral("[Language]\r\nLang=EN\r\n[GPRS]\r\nAllow=127.0.0.2 ::1\r\n"), link);
        window->show();
        auto* warning = window->findChild<QLabel*>(QStringLiteral("GprsOpenWarning"));
        QVERIFY(warning);
        QVERIFY2(!warning->isVisible(), "the stored networks narrow who may connect");
        QCOMPARE(sentToAPeerSaying(link.listenPort, "QTA71P"), QByteArray("|closed"));

        qta::app::GprsAccessBar& bar = window->gprsAccessBar();
        bar.openDialog();
        QPointer<qta::app::GprsAccessDialog> dialog = bar.dialog();
        QVERIFY(dialog && dialog->isVisible());
        auto* allow = dialog->findChild<QLineEdit*>(QStringLiteral("GprsAllow"));
        QCOMPARE(allow->text(), QStringLiteral("127.0.0.2 ::1"));
        allow->setText(QStringLiteral("10.0.0.0/8, 192.168.1.0/33"));
        dialog->accept();
        QVERIFY2(dialog->isVisible(), "a value that is no network is not taken");
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("GprsAccessWrong"))->text(),
                 QStringLiteral("192.168.1.0/33 is not an IPv4 or IPv6 address or network."));
        QVERIFY(!window->device().gprsAccess().peers.allowsAll());

        allow->clear();
        dialog->accept();
        QVERIFY(!dialog->isVisible());
        QVERIFY(warning->isVisible());
        QCOMPARE(warning->text(),
                 QStringLiteral(
                     "Any peer that connects over GPRS will be sent the access code: narrow who may connect "
                     "(listening address, allowed networks)."));
        const QByteArray stored = readFile(window.path(QStringLiteral("QTA710Plus.ini")));
        QVERIFY2(stored.contains("\r\nAllow=\r\n") && stored.contains("\r\nBind=\r\n"), stored.constData());
        QCOMPARE(sentToAPeerSaying(link.listenPort, "QTA71P").left(1), QByteArray("\x1F"));
    }

    void theDeviceDialsInIsReadAndIsAskedToHangUpWhenTheWindowCloses() {
        const quint16 port = freePort();

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
