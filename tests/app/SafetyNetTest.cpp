// The window's safety net against the virtual device in-process: comparing the
// window with the device, a Send read back and compared, a backup before a Send.
#include "TestWindow.h"

#include "app/ConfigurationDocument.h"
#include "app/DiffDialog.h"
#include "app/TfRead.h"
#include "catalogue/DeviceTexts.h"
#include "link/Clock.h"
#include "sim/VirtualBridge.h"
#include "transfer/ConfigEncoder.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// TNLS_1 and TNLS_2 in the image: a length byte, then the digits.
constexpr std::size_t kFirstListeningNumber = 0x4400;
constexpr std::size_t kSecondListeningNumber = 0x4410;

struct Rig {
    explicit Rig(std::optional<std::size_t> flipAfterWrite = std::nullopt)
        : bridge(clock, options(flipAfterWrite)), window(QString(), setup()) {
        qta::Configuration onDevice = qta::Configuration::startup('.');
        onDevice.setText(onDevice.table().id("TNLS_1"), "0905111222");
        onDevice.setText(onDevice.table().id("ObjCodeIN1"), "4711");
        bridge.device().setMemory(
            qta::transfer::encodeImage(onDevice, qta::catalogue::imageDeviceTexts(qta::Language::EN)));
    }

    static qta::sim::VirtualBridgeOptions options(std::optional<std::size_t> flip) {
        qta::sim::VirtualBridgeOptions options;
        options.baud = 0;
        options.device.identPeriod = 100ms;
        options.device.reportPeriod = 20ms;
        options.device.faults.flipAfterWrite = flip;
        return options;
    }
    qta::app::LinkSetup setup() {
        qta::app::LinkSetup link;
        link.driver = &bridge;
        link.clock = &clock;
        return link;
    }

    bool until(const std::function<bool()>& done) { return clock.runUntil(done, 60s); }
    bool unlocked() {
        qta::app::TfRead& dialog = window->transferDialog();
        if (!until([&] { return dialog.isVisible(); }))
            return false;
        auto* pass = dialog.findChild<QLineEdit*>(QStringLiteral("Pass"));
        QTest::keyClicks(pass, QStringLiteral("6173"));
        QTest::keyClick(pass, Qt::Key_Return);
        return until([&] { return window->device().state().unlocked && !dialog.isVisible(); });
    }
    bool transferred(const QString& item) {
        window->control<QAction>(item)->trigger();
        return until(
            [&] { return !window->device().transferRunning() && !window->transferDialog().isVisible(); });
    }
    QLineEdit* field(const char* name) { return window->control<QLineEdit>(QLatin1String(name)); }
    std::string deviceNumber(std::size_t at) {
        const auto& memory = bridge.device().memory().bytes();
        return std::string(memory.begin() + at + 1, memory.begin() + at + 1 + memory[at]);
    }
    qta::app::DiffDialog* differences() { return window->findChild<qta::app::DiffDialog*>(); }

    qta::link::ManualClock clock;
    qta::sim::VirtualBridge bridge;
    TestWindow window;
};

std::vector<std::string> names(const qta::app::DiffDialog& dialog) {
    std::vector<std::string> listed;
    for (const auto& difference : dialog.differences())
        listed.push_back(difference.name);
    return listed;
}

} // namespace

class SafetyNetTest : public QObject {
    Q_OBJECT

private slots:
    void comparingWithTheDeviceListsTheOneEditAndTakingItsValueRestoresIt() {
        Rig rig;
        QVERIFY(rig.unlocked());
        QVERIFY(rig.transferred(QStringLiteral("Nata2")));
        QTest::keyClicks(rig.field("TNLS_2"), QStringLiteral("0905333444"));

        QVERIFY(rig.transferred(QStringLiteral("CompareDevice")));
        qta::app::DiffDialog* dialog = rig.differences();
        QVERIFY(dialog);
        QCOMPARE(names(*dialog), std::vector<std::string>{"TNLS_2"});
        QCOMPARE(dialog->differences().front().shownBefore, std::string("0905333444"));
        QCOMPARE(rig.field("TNLS_2")->text(), QStringLiteral("0905333444")); // the read changed nothing
        QVERIFY(rig.window->document().modified());

        dialog->takeAll();
        QCOMPARE(rig.field("TNLS_2")->text(), QString());
        QCOMPARE(rig.field("TNLS_1")->text(), QStringLiteral("0905111222"));
        QVERIFY(dialog->differences().empty());
    }

    void aSendAndVerifyNamesTheSettingTheDeviceChangedAfterTheWrite() {
        Rig rig(kSecondListeningNumber + 1);
        QVERIFY(rig.unlocked());
        QVERIFY(rig.transferred(QStringLiteral("Nata2")));
        QTest::keyClicks(rig.field("TNLS_2"), QStringLiteral("0905333444"));

        rig.window->control<QAction>(QStringLiteral("SendVerify"))->trigger();
        QVERIFY(rig.until([&] { return rig.differences() != nullptr; }));
        QCOMPARE(names(*rig.differences()), std::vector<std::string>{"TNLS_2"});
        QVERIFY(rig.deviceNumber(kSecondListeningNumber) != "0905333444");
        QCOMPARE(rig.deviceNumber(kSecondListeningNumber).size(), std::size_t(10));
        QCOMPARE(rig.field("TNLS_2")->text(), QStringLiteral("0905333444")); // the verify changed nothing
        QVERIFY(rig.window.dialogs->choices.isEmpty()); // read in this connection: no backup asked
    }

    void aSendToADeviceNotReadInThisConnectionKeepsItsConfigurationFirst() {
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Rig rig;
        rig.window.dialogs->choiceAnswer = 0; // "Read and keep"
        QVERIFY(rig.unlocked());
        QTest::keyClicks(rig.field("TNLS_1"), QStringLiteral("0905333444")); // not read: the list is empty

        rig.window->control<QAction>(QStringLiteral("SendVerify"))->trigger();
        QVERIFY(rig.until([&] { return !rig.window.dialogs->messages.isEmpty(); }));
        QCOMPARE(rig.window.dialogs->messages.back(),
                 QStringLiteral("Configuration written and verified: the device holds what was sent."));
        QCOMPARE(rig.window.dialogs->choices.size(), 1);
        QCOMPARE(rig.deviceNumber(kFirstListeningNumber), std::string("0905333444"));

        const QDir backups(data.filePath(QStringLiteral("qta710/backups")));
        const QStringList kept = backups.entryList({QStringLiteral("4711-*.pff")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        const QByteArray backup = readFile(backups.filePath(kept.front()));
        QVERIFY(backup.contains("TNLS_1=0905111222"));
        QVERIFY(!backup.contains("0905333444")); // what the device held before

        // Read in this connection now: the next Send asks nothing.
        QVERIFY(rig.transferred(QStringLiteral("Odosla2")));
        QCOMPARE(rig.window.dialogs->choices.size(), 1);
        qunsetenv("XDG_DATA_HOME");
    }

    void aBackupThatCannotBeKeptStopsTheSendBeforeItsFirstByte() {
        QTemporaryDir data;
        writeFile(data.filePath(QStringLiteral("qta710")), "a file where the folder would be");
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Rig rig;
        rig.window.dialogs->choiceAnswer = 0;
        QVERIFY(rig.unlocked());
        QTest::keyClicks(rig.field("TNLS_1"), QStringLiteral("0905333444"));

        rig.window->control<QAction>(QStringLiteral("Odosla2"))->trigger();
        QVERIFY(rig.until([&] { return !rig.window.dialogs->errors.isEmpty(); }));
        QVERIFY(
            rig.window.dialogs->errors.back().startsWith(QStringLiteral("The backup could not be saved: ")));
        QVERIFY(rig.window.dialogs->errors.back().endsWith(QStringLiteral("Nothing was written.")));
        rig.clock.runUntil([] { return false; }, 2s);
        QCOMPARE(rig.deviceNumber(kFirstListeningNumber), std::string("0905111222"));
        QVERIFY(!rig.window->device().transferRunning());
        qunsetenv("XDG_DATA_HOME");
    }
};

QTEST_MAIN(SafetyNetTest)
#include "SafetyNetTest.moc"
