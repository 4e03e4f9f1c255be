// The window's side of the device link: what the link's calls show in the top bar,
// the transfer dialog and the pages, and what the user's actions hand back.
#include "TestWindow.h"

#include "app/DiagnosticsPage.h"
#include "app/TfRead.h"
#include "app/TopBar.h"
#include "app/WindowLinkView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using qta::app::TfRead;
using qta::link::TransferEnd;
using qta::link::TransferKind;
using qta::link::Transport;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

using Report = std::array<std::uint8_t, 21>;

// Inputs 0, analog 12.3 V and 12 V, system byte 110, mains OK, signal "6", the
// clock 2026-12-07 14:30, GPRS OK, outputs 1 and 3 on.
Report report() {
    return {0x00, 123, 120, 110, 2,   '6', '2',  '6', '1',  '2', '0',
            '7',  '1', '4', '3', '0', 1,   0x05, 0,   0x1C, 0x2C};
}

Report with(Report bytes, std::size_t offset, std::uint8_t value) {
    bytes[offset] = value;
    return bytes;
}

std::array<std::uint8_t, 32> record(const char* stamp, const std::string& text, std::uint8_t code) {
    std::array<std::uint8_t, 32> bytes{};
    for (std::size_t k = 0; k < 10 && stamp[k]; ++k)
        bytes[k] = static_cast<std::uint8_t>(stamp[k]);
    for (std::size_t k = 0; k < text.size() && k < 16; ++k)
        bytes[10 + k] = static_cast<std::uint8_t>(text[k]);
    bytes[31] = code;
    return bytes;
}

} // namespace

class LinkViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWindow> window;
    qta::app::TfMain& main() { return **window; }
    qta::app::WindowLinkView& view() { return main().linkView(); }
    TfRead& dialog() { return main().transferDialog(); }
    template <typename T = QWidget> T* inDialog(const char* name) {
        return dialog().findChild<T*>(QLatin1String(name));
    }
    template <typename T = QWidget> T* control(const QString& name) { return main().control<T>(name); }
    QLineEdit* readout(const char* name) { return control<QLineEdit>(QLatin1String(name)); }
    static QColor textColour(QWidget* widget) { return widget->palette().color(QPalette::Text); }
    bool lit(const QString& greyLamp) {
        return !control(greyLamp)->isVisibleTo(control(QStringLiteral("TabSheet9")));
    }

    // What the window handed to the link.
    std::vector<std::string> codes;
    int closes = 0;
    int cancels = 0;
    std::vector<int> outputCommands;
    bool takeOutputCommands = false;
    QStringList topBarClicks;

    // What the window handed to the link, recorded.
    struct RecordingControl : qta::link::LinkControl {
        LinkViewTest& test;
        explicit RecordingControl(LinkViewTest& owner) : test(owner) {}
        void rdbUSBClick() override { test.topBarClicks << QStringLiteral("USB"); }
        void rdbGPRSClick() override { test.topBarClicks << QStringLiteral("GPRS"); }
        void requestTransfer(qta::link::TransferKind) override {}
        bool switchOutput(int command) override {
            test.outputCommands.push_back(command);
            return test.takeOutputCommands;
        }
        void submitAccessCode(const std::string& code) override { test.codes.push_back(code); }
        void closeDialog() override { ++test.closes; }
        void cancelTransfer() override { ++test.cancels; }
        void endConnection() override { test.topBarClicks << QStringLiteral("image"); }
    };
    RecordingControl recorder{*this};

    void connectActions() { view().setControl(&recorder); }

    void checkPromptShown(const QString& caption, const QString& label) {
        QVERIFY(dialog().isVisible());
        QVERIFY(!main().isEnabled());
        QCOMPARE(dialog().windowTitle(), caption);
        QVERIFY(inDialog("Pass")->isVisible() && inDialog("Pass")->isEnabled());
        QCOMPARE(inDialog<QLineEdit>("Pass")->text(), QString());
        QCOMPARE(inDialog<QLabel>("Label2")->text(), label);
        QVERIFY(inDialog("Label2")->isVisible());
        QVERIFY(!inDialog("Label3")->isVisible() && !inDialog("Label1")->isVisible());
        QVERIFY(!inDialog("Gauge1")->isVisible() && !inDialog("Gauge1")->isEnabled());
        QCOMPARE(inDialog<QPushButton>("btnCancel")->text(), QStringLiteral("OK"));
        QVERIFY(inDialog("btnCancel")->isVisible() && inDialog("btnCancel")->isEnabled());
        QCOMPARE(dialog().buttonRole(), TfRead::ButtonRole::CodeSending);
    }

private slots:
    void init() {
        window = std::make_unique<TestWindow>(QStringLiteral("[Language]\r\nLang=EN\r\n"));
        codes.clear();
        closes = cancels = 0;
        outputCommands.clear();
        takeOutputCommands = false;
        topBarClicks.clear();
        connectActions();
    }
    void cleanup() { window.reset(); }

    // Prompt, Enter, a second Enter while the code is checked, the refusal over USB
    // and its OK, the prompt again in Slovak with a code of Slovak letters, the
    // refusal over GPRS, then acceptance.
    void theAccessCodeFromPromptToAcceptance() {
        view().showAccessPrompt();
        checkPromptShown(QStringLiteral("Enter access password"), QStringLiteral("Password"));
        auto* pass = inDialog<QLineEdit>("Pass");
        QTest::keyClicks(pass, QStringLiteral("6173"));
        QTest::keyClick(pass, Qt::Key_Return);
        QCOMPARE(codes, std::vector<std::string>{"6173"});
        QCOMPARE(pass->text(), QString());
        // Checked now: neither Enter nor the button sends it again.
        QTest::keyClick(pass, Qt::Key_Return);
        inDialog<QPushButton>("btnCancel")->click();
        QCOMPARE(codes.size(), std::size_t{1});
        QCOMPARE(closes, 0);

        view().showCodeRefused(Transport::Usb);
        QVERIFY(!pass->isVisible() && !pass->isEnabled() && !inDialog("Label2")->isVisible());
        QVERIFY(inDialog("Label3")->isVisible());
        QCOMPARE(inDialog<QLabel>("Label3")->text(), QStringLiteral("Wrong access code !"));
        QCOMPARE(inDialog("Label3")->font().pixelSize(), 20);
        QVERIFY(inDialog("btnCancel")->isVisible());
        QCOMPARE(dialog().buttonRole(), TfRead::ButtonRole::Closing);
        inDialog<QPushButton>("btnCancel")->click();
        QCOMPARE(closes, 1);
        QVERIFY(codes.size() == 1 && cancels == 0);
        view().hideDialog();
        QVERIFY(main().isEnabled());
        QCOMPARE(dialog().buttonRole(), TfRead::ButtonRole::CodeSending);

        main().SetLangToSK();
        view().showAccessPrompt();
        checkPromptShown(QStringLiteral("Zadajte prístupový kód"), QStringLiteral("Prístupový kód"));
        pass->insert(QStringLiteral("kód"));
        inDialog<QPushButton>("btnCancel")->click();
        QCOMPARE(codes.back(), std::string("k\xf3"
                                           "d"));

        view().showCodeRefused(Transport::Gprs);
        QVERIFY(!inDialog("btnCancel")->isVisible());
        QCOMPARE(inDialog<QLabel>("Label3")->text(), QStringLiteral("Nesprávny prístupový kód !"));
        QTest::keyClick(&dialog(), Qt::Key_Escape);
        QCOMPARE(closes, 2);
        QVERIFY(dialog().isVisible()); // the link decides when it goes

        view().showAccessPrompt();
        QTest::keyClick(pass, Qt::Key_Return);
        QCOMPARE(codes.back(), std::string()); // an empty code is sent as it is
        view().showCodeAccepted();
        QVERIFY(!dialog().isVisible());
        QVERIFY(main().isEnabled());
        QVERIFY(inDialog("Label1")->isVisibleTo(&dialog()) && inDialog("Gauge1")->isVisibleTo(&dialog()));
        QVERIFY(inDialog("Gauge1")->isEnabled());
        QVERIFY(!pass->isVisibleTo(&dialog()) && !inDialog("Label2")->isVisibleTo(&dialog()));
    }

    // The code message counts the characters in one byte: the entry stops at 31,
    // also for pasted text.
    void theCodeEntryTakesAtMost31Characters() {
        view().showAccessPrompt();
        auto* pass = inDialog<QLineEdit>("Pass");
        QTest::keyClicks(pass, QString(40, QLatin1Char('7')));
        QCOMPARE(pass->text().size(), 31);
        pass->clear();
        pass->insert(QString(300, QLatin1Char('x')));
        QTest::keyClick(pass, Qt::Key_Enter);
        QCOMPARE(codes, std::vector<std::string>{std::string(31, 'x')});
    }

    void aTransferShowsItsKindAndCanBeCancelled() {
        main().SetLangToDE();
        view().showTransferWaiting(TransferKind::Read, 21440);
        QVERIFY(dialog().isVisible());
        QVERIFY(!main().isEnabled());
        QCOMPARE(dialog().windowTitle(), QStringLiteral("Laden von Daten"));
        QCOMPARE(inDialog<QLabel>("Label1")->text(), QStringLiteral("Warten auf Antwort... "));
        auto* gauge = inDialog<QProgressBar>("Gauge1");
        QVERIFY(!gauge->isVisible() && gauge->isEnabled());
        QCOMPARE(gauge->maximum(), 21440);
        QVERIFY(!inDialog("Pass")->isVisible() && !inDialog("Pass")->isEnabled());
        QVERIFY(!inDialog("Label2")->isVisible() && !inDialog("Label3")->isVisible());
        auto* button = inDialog<QPushButton>("btnCancel");
        QVERIFY(button->isVisible() && button->isEnabled());
        QCOMPARE(button->text(), QStringLiteral("Abbrechen"));
        QTest::keyClick(&dialog(), Qt::Key_Escape);
        dialog().close();
        QCOMPARE(cancels, 2);
        QCOMPARE(closes, 0);
        QVERIFY(dialog().isVisible());

        view().showTransferRunning(256);
        QVERIFY(gauge->isVisible());
        QCOMPARE(gauge->value(), 0);
        QCOMPARE(gauge->maximum(), 256);
        QCOMPARE(inDialog<QLabel>("Label1")->text(), QStringLiteral("Übertragen die Daten. Bitte warten."));
        view().setProgress(64);
        QVERIFY(gauge->isTextVisible());
        // The time left is told once a second of the pace is known.
        QVERIFY2(gauge->text() == QStringLiteral("25 %") ||
                     gauge->text().startsWith(QStringLiteral("25 %, noch etwa ")),
                 qPrintable(gauge->text()));
        view().setProgress(100);
        QCOMPARE(gauge->value(), 100);
        view().setProgress(257); // past the end: the gauge is full, not stuck at 100
        QCOMPARE(gauge->value(), 256);
        button->click();
        QCOMPARE(cancels, 3);

        view().hideDialog();
        QVERIFY(main().isEnabled());

        main().SetLangToEN();
        view().showTransferWaiting(TransferKind::Write, 21440);
        QCOMPARE(dialog().windowTitle(), QStringLiteral("Sending data"));
        QCOMPARE(button->text(), QStringLiteral("Cancel"));
        QVERIFY(!gauge->isVisible());
        view().hideDialog();
        QVERIFY(main().isEnabled());
    }

    void theStatusReportOnThePage() {
        const QString point = QLocale().decimalPoint();
        view().ShowDiag(with(report(), 0, 0x80), false);
        QVERIFY(lit(QStringLiteral("IN_NA_1")) && !lit(QStringLiteral("IN_ND_1")));
        for (int i = 2; i <= 8; ++i)
            QVERIFY(lit(QStringLiteral("IN_ND_%1").arg(i)) && !lit(QStringLiteral("IN_NA_%1").arg(i)));
        QCOMPARE(readout("AIN_1")->text(), QStringLiteral("12") + point + QStringLiteral("3"));
        QCOMPARE(readout("AIN_2")->text(), QStringLiteral("12"));
        QCOMPARE(readout("MemoPSU")->text(), QStringLiteral("3,80"));
        QCOMPARE(textColour(readout("MemoPSU")), kRed);
        QCOMPARE(readout("Memo230V")->text(), QStringLiteral("OK"));
        QCOMPARE(textColour(readout("Memo230V")), kGreen);
        QCOMPARE(readout("editTIME")->text(), QStringLiteral(" 07.12.2026   14:30"));
        QCOMPARE(readout("MemoGPRS")->text(), QStringLiteral("OK"));
        auto* gauge = control<QProgressBar>(QStringLiteral("gaugeSIGNAL"));
        QCOMPARE(gauge->value(), 6);
        QCOMPARE(gauge->palette().color(QPalette::Highlight), QColor(Qt::green));

        Report next = with(with(with(report(), 0, 0x01), 3, 111), 5, '2');
        next[4] = 1;
        next[16] = 2;
        view().ShowDiag(next, false);
        QVERIFY(lit(QStringLiteral("IN_NA_8")) && lit(QStringLiteral("IN_ND_1")) &&
                !lit(QStringLiteral("IN_NA_1")));
        QCOMPARE(readout("MemoPSU")->text(), QStringLiteral("3,80"));
        QCOMPARE(textColour(readout("MemoPSU")), kGreen);
        QCOMPARE(readout("Memo230V")->text(), QStringLiteral("Fail"));
        QCOMPARE(textColour(readout("Memo230V")), kRed);
        QCOMPARE(readout("MemoGPRS")->text(), QStringLiteral("Fail"));
        QCOMPARE(gauge->value(), 2);
        QCOMPARE(gauge->palette().color(QPalette::Highlight), QColor(Qt::red));
        // No news in bytes 4, 16 and no digit in byte 5: those keep what they show.
        next = with(with(with(report(), 4, 7), 16, 0), 5, '3');
        view().ShowDiag(next, false);
        QCOMPARE(readout("Memo230V")->text(), QStringLiteral("Fail"));
        QCOMPARE(readout("MemoGPRS")->text(), QStringLiteral("Fail"));
        QCOMPARE(gauge->palette().color(QPalette::Highlight), QColor(Qt::yellow));
        view().ShowDiag(with(report(), 5, 'x'), false);
        QCOMPARE(gauge->value(), 3);

        view().blankDiagnostics();
        for (const char* name : {"AIN_1", "AIN_2", "editTIME", "MemoPSU", "Memo230V", "MemoGPRS"})
            QCOMPARE(readout(name)->text(), QString());
        QCOMPARE(textColour(readout("Memo230V")), kRed);
        QCOMPARE(gauge->value(), 0);
        QVERIFY(!lit(QStringLiteral("IN_NA_8")) && !lit(QStringLiteral("OUT_NZ_1")));
    }

    // Byte 17: the output lamps, and the three failure-reporting options forced on
    // (in the model too) or freed; a pending output command leaves both alone.
    void outputsAndTheOptionBoxes() {
        auto& config = main().configuration();
        const auto& table = config.table();
        const std::array<const char*, 3> names = {"CheckBox230V", "CheckBoxAku", "CheckBoxJam"};
        for (const char* name : names)
            config.setFlag(table.id(name), false);

        view().ShowDiag(with(report(), 17, 0x05), false);
        const auto outputsOneAndThreeOn = [this] {
            for (int n = 1; n <= 4; ++n) {
                const bool on = n == 1 || n == 3;
                QCOMPARE(lit(QStringLiteral("OUT_NZ_%1").arg(n)), on);
                QCOMPARE(lit(QStringLiteral("OUT_NV_%1").arg(n)), !on);
            }
        };
        outputsOneAndThreeOn();
        for (const char* name : names) {
            auto* box = control<QCheckBox>(QLatin1String(name));
            QVERIFY2(box->isChecked() && !box->isEnabled(), name);
            QVERIFY2(config.flag(table.id(name)), name);
        }

        view().ShowDiag(with(report(), 17, 0x85), false);
        outputsOneAndThreeOn();
        for (const char* name : names)
            QVERIFY2(control<QCheckBox>(QLatin1String(name))->isEnabled(), name);
        control<QCheckBox>(QStringLiteral("CheckBoxJam"))->click();
        QVERIFY(!config.flag(table.id("CheckBoxJam")));
        view().ShowDiag(with(report(), 17, 0x80), false); // freed again: the user's choice stays
        QVERIFY(!control<QCheckBox>(QStringLiteral("CheckBoxJam"))->isChecked());
        QVERIFY(lit(QStringLiteral("OUT_NV_1")) && lit(QStringLiteral("OUT_NV_3")));

        // A command waits to be sent: neither lamps nor boxes follow this report.
        view().ShowDiag(with(with(report(), 17, 0x0F), 0, 0x80), true);
        QVERIFY(lit(QStringLiteral("IN_NA_1")));
        QVERIFY(lit(QStringLiteral("OUT_NV_1")) && !lit(QStringLiteral("OUT_NZ_2")));
        QVERIFY(control<QCheckBox>(QStringLiteral("CheckBoxJam"))->isEnabled());
        QVERIFY(!config.flag(table.id("CheckBoxJam")));

        // 127 changes no box.
        view().ShowDiag(with(report(), 17, 0x7F), false);
        QVERIFY(lit(QStringLiteral("OUT_NZ_4")));
        QVERIFY(control<QCheckBox>(QStringLiteral("CheckBoxJam"))->isEnabled());
        QVERIFY(!config.flag(table.id("CheckBoxJam")));
    }

    void aClickOnAGreyOutputLampSwitchesOnlyWhenTaken() {
        main().show();
        main().showPage(QStringLiteral("TabSheet9"));
        view().ShowDiag(with(report(), 17, 0x00), false);
        QTest::mouseClick(control(QStringLiteral("OUT_NZ_2")), Qt::LeftButton);
        QCOMPARE(outputCommands, std::vector<int>{6});
        QVERIFY(lit(QStringLiteral("OUT_NV_2")) && !lit(QStringLiteral("OUT_NZ_2")));

        takeOutputCommands = true;
        QTest::mouseClick(control(QStringLiteral("OUT_NZ_2")), Qt::LeftButton);
        QCOMPARE(outputCommands, (std::vector<int>{6, 6}));
        QVERIFY(lit(QStringLiteral("OUT_NZ_2")) && !lit(QStringLiteral("OUT_NV_2")));
        QTest::mouseClick(control(QStringLiteral("OUT_NV_4")), Qt::LeftButton);
        QCOMPARE(outputCommands.back(), 4);
        QVERIFY(lit(QStringLiteral("OUT_NV_4")));
        // The lit lamp under a hidden grey one is no switch.
        QTest::mouseClick(control(QStringLiteral("OUT_Z_2")), Qt::LeftButton);
        QCOMPARE(outputCommands.size(), std::size_t{3});
    }

    void theTopBarShowsTheLinkAndReportsClicks() {
        main().show();
        view().showLinkUp(true);
        QVERIFY(control(QStringLiteral("Image1"))->isVisible() &&
                !control(QStringLiteral("Image2"))->isVisible());
        view().showTransport(Transport::Gprs);
        auto* transport = control<QLabel>(QStringLiteral("Label411"));
        QCOMPARE(transport->text(), QStringLiteral("GPRS"));
        QVERIFY(transport->width() >= transport->sizeHint().width()); // not in the width of "USB"
        QTest::mouseClick(control(QStringLiteral("Image1")), Qt::LeftButton);
        QTest::mouseClick(control(QStringLiteral("rdbGPRS")), Qt::LeftButton);
        QTest::mouseClick(control(QStringLiteral("rdbUSB")), Qt::LeftButton);
        QCOMPARE(topBarClicks,
                 (QStringList{QStringLiteral("image"), QStringLiteral("GPRS"), QStringLiteral("USB")}));
        view().lockTransportChoice(true);
        QVERIFY(!control(QStringLiteral("rdbUSB"))->isEnabled() &&
                !control(QStringLiteral("rdbGPRS"))->isEnabled());
        view().showLinkUp(false);
        view().showTransport(Transport::Usb);
        QVERIFY(!control(QStringLiteral("Image1"))->isVisible() &&
                control(QStringLiteral("Image2"))->isVisible());
        QCOMPARE(control<QLabel>(QStringLiteral("Label411"))->text(), QStringLiteral("USB"));
        view().lockTransportChoice(false);
        QVERIFY(control(QStringLiteral("rdbGPRS"))->isEnabled());
    }

    // Lines in arrival order, each in the language of its moment; a read starts empty.
    void eventLinesAreAppendedInOrder() {
        auto* events = control<QPlainTextEdit>(QStringLiteral("Events"));
        events->setPlainText(QStringLiteral("old"));
        view().clearEvents();
        QCOMPARE(events->toPlainText(), QString());
        view().WriteEvent(record("0712261430", "", 76));
        view().WriteEvent(record("0712261431", "Zona A", 0));
        main().SetLangToSK();
        view().WriteEvent(record("0712261432", "\x9akola\nB", 73));
        QCOMPARE(events->toPlainText(), QStringLiteral("07.12.2026   14:30   -  Restart\n"
                                                       "07.12.2026   14:31   -  Zona AGSM jammer detected !\n"
                                                       "07.12.2026   14:32   -  škola B  -  pripojenie PC"));
        view().clearEvents();
        view().WriteEvent(record("071226143", "", 74));
        QCOMPARE(events->toPlainText(), QStringLiteral("  -  Vstup technika"));
    }

    void messagesLeaveTheWindowRunning() {
        main().SetLangToDE();
        window->dialogs->closeBoxesAtOnce = false;
        int closed = 0;
        qta::link::LinkMessage message;
        message.kind = qta::link::LinkMessage::Kind::NotConnected;
        view().showMessage(message, [&closed] { ++closed; });
        QCOMPARE(window->dialogs->messages, QStringList{QStringLiteral("Nich angeschlossene Gerät !")});
        QCOMPARE(closed, 0);
        window->dialogs->closeBoxes();
        QCOMPARE(closed, 1);
        QCOMPARE(view().language(), qta::Language::DE);

        // A prompt that comes while a box is up waits until the box is closed.
        view().showMessage(message, [] {});
        view().showAccessPrompt();
        QVERIFY(!dialog().isVisible());
        window->dialogs->closeBoxes();
        QVERIFY(dialog().isVisible());
        QCOMPARE(dialog().buttonRole(), TfRead::ButtonRole::CodeSending);
    }
};

QTEST_MAIN(LinkViewTest)
#include "LinkViewTest.moc"
