// The whole window against the virtual device in-process, as an installer uses it:
// the access code, Read, a changed field, Send, the event log, an output switch.
#include "QuickDevice.h"
#include "TestWindow.h"

#include "app/TfRead.h"
#include "catalogue/DeviceTexts.h"
#include "link/Clock.h"
#include "transfer/ConfigEncoder.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace std::chrono_literals;

class DeviceWindowTest : public QObject {
    Q_OBJECT

private slots:
    void anInstallerReadsChangesAndSendsTheConfigurationReadsTheLogAndSwitchesAnOutput() {
        qta::link::ManualClock clock;
        qta::sim::VirtualBridge bridge(clock, quickDevice());
        qta::Configuration onDevice = qta::Configuration::startup('.');
        onDevice.setText(onDevice.table().id("TNLS_1"), "0905111222");
        bridge.device().setMemory(
            qta::transfer::encodeImage(onDevice, qta::catalogue::imageDeviceTexts(qta::Language::EN)));

        qta::app::LinkSetup link;
        link.driver = &bridge;
        link.clock = &clock;
        TestWindow window(QString(), link);
        qta::app::TfRead& dialog = window->transferDialog();
        const auto until = [&](const std::function<bool()>& done) {
            return clock.runUntil(done, 60s);
        };

        // The device identifies itself; the code typed into the prompt unlocks it.
        QVERIFY(until([&] { return dialog.isVisible(); }));
        QVERIFY(!window->isEnabled());
        auto* pass = dialog.findChild<QLineEdit*>(QStringLiteral("Pass"));
        QTest::keyClicks(pass, QStringLiteral("6173"));
        QTest::keyClick(pass, Qt::Key_Return);
        auto* status = window->control<QLabel>(QStringLiteral("Label406"));
        QVERIFY(until([&] { return status->text() == QStringLiteral("Connected"); }));
        QVERIFY(!dialog.isVisible());
        QVERIFY(window->isEnabled());

        // Data > Read puts the device's numbers into the fields.
        window->control<QAction>(QStringLiteral("Nata2"))->trigger();
        QVERIFY(dialog.isVisible());
        auto* first = window->control<QLineEdit>(QStringLiteral("TNLS_1"));
        QVERIFY(until([&] { return first->text() == QStringLiteral("0905111222") && !dialog.isVisible(); }));

        // A number typed into the next entry goes to the device with Data > Send.
        auto* second = window->control<QLineEdit>(QStringLiteral("TNLS_2"));
        QVERIFY(second->isEnabled());
        QTest::keyClicks(second, QStringLiteral("0905333444"));
        window->control<QAction>(QStringLiteral("Odosla2"))->trigger();
        const auto& memory = bridge.device().memory().bytes();
        const std::string expected = std::string(1, '\x0A') + "0905333444";
        QVERIFY(until([&] {
            return !dialog.isVisible() &&
                   std::string(memory.begin() + 0x4410, memory.begin() + 0x441B) == expected;
        }));

        // Event log > Read lists the device's records.
        window->control<QAction>(QStringLiteral("Nata1"))->trigger();
        QVERIFY(until([&] { return !dialog.isVisible(); }));
        const QStringList lines =
            window->control<QPlainTextEdit>(QStringLiteral("Events"))->toPlainText().split(QLatin1Char('\n'));
        QVERIFY(lines.size() > 10);
        QVERIFY(lines.front().contains(QStringLiteral(".20")));

        // A click on the grey "on" lamp of output 2 switches it on at the device.
        QVERIFY(!(bridge.device().outputs() & 0x02));
        QTest::mouseClick(window->control<QWidget>(QStringLiteral("OUT_NZ_2")), Qt::LeftButton);
        QVERIFY(until([&] { return (bridge.device().outputs() & 0x02) != 0; }));
        QVERIFY(window.dialogs->messages.isEmpty());

        // Closing the window during a transfer asks first; "yes" cancels the transfer and closes.
        window->control<QAction>(QStringLiteral("Nata2"))->trigger();
        QVERIFY(window->device().transferRunning());
        window->close();
        QCOMPARE(window.dialogs->questions.size(), 1);
        QVERIFY(window->device().transferRunning());
        QVERIFY(!QFile::exists(window.path(QStringLiteral("QTA710Plus.ini"))));
        window.dialogs->answerQuestions(true);
        QVERIFY(!window->device().transferRunning());
        QVERIFY2(QFile::exists(window.path(QStringLiteral("QTA710Plus.ini"))), "closed, settings written");
    }
};

QTEST_MAIN(DeviceWindowTest)
#include "DeviceWindowTest.moc"
