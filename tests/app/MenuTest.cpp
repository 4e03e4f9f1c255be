// The menu commands as a user gives them, with the dialogs answered by the test.
#include "../model/FieldCoverage.h"
#include "TestWindow.h"

#include "app/ControlTexts.h"
#include "app/DiagnosticsPage.h"
#include "app/TopBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

using qta::app::captionOf;

class MenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWindow> window;
    qta::app::TfMain& main() { return **window; }
    FakeDialogs& dialogs() { return *window->dialogs; }
    void trigger(const char* item) { main().control<QAction>(QLatin1String(item))->trigger(); }
    QLineEdit* line(const char* name) { return main().control<QLineEdit>(QLatin1String(name)); }
    const QString pffFilter = QStringLiteral("QTA710 súbory (*.pff)|*.pff|Všetky súbory (*.*)|*.*");

private slots:
    void init() { window = std::make_unique<TestWindow>(QStringLiteral("[Language]\r\nLang=EN\r\n")); }
    void cleanup() { window.reset(); }

    void newThenSaveThenOpenGivesTheSameConfiguration() {
        trigger("Nov2");
        QTest::keyClicks(line("TNIN_S_2_1"), QStringLiteral("+421900"));
        QTest::keyClicks(line("TNIN_S_2_2"), QStringLiteral("0905"));
        QTest::keyClicks(main().control<QPlainTextEdit>(QStringLiteral("T_SMS_OUT_ON_3")),
                         QStringLiteral("on 3"));
        main().control<QComboBox>(QStringLiteral("EventCodeIN2"))->setCurrentIndex(4);
        main().control<QCheckBox>(QStringLiteral("CheckOut_2"))->click();
        line("editAPN")->setText(QStringLiteral("apn.čsob"));
        const qta::Configuration saved = main().configuration();

        const QString file = window->path(QStringLiteral("mine.pff"));
        dialogs().fileAnswers << file;
        trigger("Uloi2");
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(dialogs().fileRequests.size(), 1);
        QCOMPARE(dialogs().fileRequests[0].filter, pffFilter);
        QCOMPARE(dialogs().fileRequests[0].defaultSuffix, QStringLiteral("pff"));
        QCOMPARE(dialogs().errors, QStringList());
        QVERIFY(readFile(file).contains("[7B]\r\neditAPN=apn.\xe8sob\r\n"));

        trigger("Nov2");
        QVERIFY(!(main().configuration() == saved));
        dialogs().fileAnswers << file;
        trigger("Otvori2");
        QVERIFY(main().configuration() == saved);
        QCOMPARE(line("TNIN_S_2_2")->text(), QStringLiteral("0905"));
        QVERIFY(line("TNIN_S_2_3")->isEnabled());
        QVERIFY(!line("TNIN_S_2_4")->isEnabled());
        QCOMPARE(main().control<QComboBox>(QStringLiteral("EventCodeIN2"))->currentIndex(), 4);
        QCOMPARE(line("editAPN")->text(), QStringLiteral("apn.čsob"));
    }

    // Bytes that the code page leaves undefined come from other tools' files or from a
    // device's memory: an edit of the field keeps them.
    void undefinedBytesSurviveAnEditAndASave() {
        const QString file = window->path(QStringLiteral("other.pff"));
        writeFile(file, "[1C]\r\nT_SMS_IN1=A\x81\x83\x88\x90\x98Z\r\n");
        dialogs().fileAnswers << file << file;
        trigger("Otvori2");
        auto* sms = main().control<QPlainTextEdit>(QStringLiteral("T_SMS_IN1"));
        sms->moveCursor(QTextCursor::End);
        QTest::keyClick(sms, '!');
        trigger("Uloi2");
        QCOMPARE(dialogs().errors, QStringList());
        QVERIFY(readFile(file).contains("\r\nT_SMS_IN1=A\x81\x83\x88\x90\x98Z!\r\n"));
    }

    void eachDialogProposesItsLastChoice() {
        const QString file = window->path(QStringLiteral("a.pff"));
        dialogs().fileAnswers << file << QString() << QString();
        trigger("Uloi2");
        trigger("SaveAs1"); // cancelled
        trigger("Otvori2");
        QCOMPARE(dialogs().fileRequests[1].proposedName, file);
        QCOMPARE(dialogs().fileRequests[2].proposedName, QString());
        QCOMPARE(dialogs().fileRequests[2].filter, pffFilter);
    }

    void openErrorsLeaveTheConfigurationAlone() {
        QTest::keyClicks(line("TNLS_1"), QStringLiteral("112"));
        const qta::Configuration before = main().configuration();
        const QString missing = window->path(QStringLiteral("missing.pff"));
        const QString foreign = window->path(QStringLiteral("foreign.pff"));
        writeFile(foreign, "[Other]\r\nkey=1\r\n");
        QVERIFY(!main().openConfiguration(missing));
        QVERIFY(!main().openConfiguration(foreign));
        QVERIFY(main().configuration() == before);
        QCOMPARE(line("TNLS_1")->text(), QStringLiteral("112"));
        QCOMPARE(dialogs().errors,
                 (QStringList{QStringLiteral("Unable to read ") + missing,
                              foreign + QStringLiteral(" is not a QTA 710 configuration file")}));

        // In the user's language.
        main().SetLangToSK();
        QVERIFY(!main().openConfiguration(missing));
        QCOMPARE(dialogs().errors.last(),
                 QStringLiteral("Súbor ") + missing + QStringLiteral(" sa nedá načítať"));
        main().SetLangToDE();
        QVERIFY(!main().openConfiguration(foreign));
        QCOMPARE(dialogs().errors.last(),
                 foreign + QStringLiteral(" ist keine Konfigurationsdatei des QTA 710"));
        QVERIFY(main().configuration() == before);
    }

    void aFileOver16MBIsRefusedUnreadInTheUsersLanguage() {
        const QString huge = window->path(QStringLiteral("huge.pff"));
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(16 * 1024 * 1024 + 1));
        file.close();
        const qta::Configuration before = main().configuration();
        QVERIFY(!main().openConfiguration(huge));
        main().SetLangToDE();
        QVERIFY(!main().saveConfiguration(huge)); // a save reads the file it updates
        QCOMPARE(
            dialogs().errors,
            (QStringList{huge + QStringLiteral(" is larger than 16 MB: no QTA 710 file is that large, so it "
                                               "was not read."),
                         huge + QStringLiteral(" ist größer als 16 MB: so groß ist keine Datei des QTA 710, "
                                               "daher wurde sie nicht gelesen.")}));
        QVERIFY(main().configuration() == before);
        QCOMPARE(QFileInfo(huge).size(), qint64{16 * 1024 * 1024 + 1});
    }

    void aFailedSaveSaysSo() {
        const QString file = window->path(QStringLiteral("no/such/dir/x.pff"));
        dialogs().fileAnswers << file;
        trigger("Uloi2");
        QCOMPARE(dialogs().errors, QStringList{QStringLiteral("Unable to write to ") + file});
    }

    void deviceCommandsNeedAConnectedDevice() {
        trigger("Nata2");
        trigger("Odosla2");
        trigger("Nata1");
        const QString notConnected = QStringLiteral("Device not connected !");
        QCOMPARE(dialogs().messages, (QStringList{notConnected, notConnected, notConnected}));
        main().SetLangToSK();
        trigger("Odosla2");
        QCOMPARE(dialogs().messages.last(), QStringLiteral("Nepripojené zariadenie !"));
    }

    void sendRefusesAnAccessCodeTheDeviceCannotTakeBeforeTheLink() {
        qta::Configuration& config = main().configuration();
        const auto pass = config.table().id("Pass");
        const QString refused = QStringLiteral(
            "The new access password (Pass) must be 1 to 31 printable ASCII characters: letters without "
            "accents, digits, signs or spaces. Nothing was sent.");
        for (const std::string& code :
             {std::string("61\0"
                          "73",
                          5),
              std::string("61\x7F"), std::string(), std::string(32, '7'), std::string("6\xE8")}) {
            config.setText(pass, code);
            trigger("Odosla2");
        }
        QCOMPARE(dialogs().errors, QStringList(5, refused));
        QVERIFY2(dialogs().messages.isEmpty(), "the link was not asked");
        main().SetLangToSK();
        trigger("Odosla2");
        QCOMPARE(
            dialogs().errors.last(),
            QStringLiteral("Nový prístupový kód (Pass) musí mať 1 až 31 tlačiteľných znakov ASCII: písmená "
                           "bez diakritiky, číslice, znaky alebo medzery. Nič sa neodoslalo."));
        // 31 printable characters go on to the link, which finds no device.
        main().SetLangToEN();
        config.setText(pass, std::string(30, ' ') + "~");
        trigger("Odosla2");
        QCOMPARE(dialogs().errors.size(), 6);
        QCOMPARE(dialogs().messages, QStringList{QStringLiteral("Device not connected !")});
    }

    void eventLogIsSavedInWindows1250WithCrLf() {
        auto* events = main().control<QPlainTextEdit>(QStringLiteral("Events"));
        events->setPlainText(QStringLiteral("07.12.2026   14:30   -  Reštart volača\nčas\n"));
        const QString file = window->path(QStringLiteral("log"));
        dialogs().fileAnswers << file;
        trigger("Uloi3");
        QCOMPARE(dialogs().fileRequests[0].filter,
                 QStringLiteral("Textové súbory (*.txt)|*.txt|Všetky súbory (*.*)|*.*"));
        QCOMPARE(dialogs().fileRequests[0].defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(readFile(file),
                 QByteArray("07.12.2026   14:30   -  Re\x9atart vola\xe8\x61\r\n\xe8\x61s\r\n"));

        events->clear();
        dialogs().fileAnswers << file;
        trigger("Uloi3");
        QCOMPARE(dialogs().fileRequests[1].proposedName, file);
        QCOMPARE(readFile(file), QByteArray());
    }

    void tabLeavesTheEventLogView() {
        main().show();
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        main().showPage(QStringLiteral("TabSheet8"));
        auto* events = main().control<QPlainTextEdit>(QStringLiteral("Events"));
        events->setPlainText(QStringLiteral("line"));
        events->setFocus();
        QVERIFY(events->hasFocus());
        QTest::keyClick(events, Qt::Key_Tab);
        QCOMPARE(events->toPlainText(), QStringLiteral("line"));
        QVERIFY(!events->hasFocus());
    }

    void aFailedEventLogSaveSaysSo() {
        const QString file = window->path(QStringLiteral("missing/dir/log.txt"));
        dialogs().fileAnswers << file;
        trigger("Uloi3");
        QCOMPARE(dialogs().errors, QStringList{QStringLiteral("Unable to write to ") + file});
    }

    void eventLogPrintsToAPdfFile() {
        main()
            .control<QPlainTextEdit>(QStringLiteral("Events"))
            ->setPlainText(QStringLiteral("line 1\nline 2"));
        const QString pdf = window->path(QStringLiteral("log.pdf"));
        dialogs().printerAnswer = [&pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        trigger("Tlai1");
        QVERIFY(readFile(pdf).startsWith("%PDF"));
        // A long log goes on over pages, each with its header band above the lines.
        QStringList lines;
        for (int k = 1; k <= 300; ++k)
            lines << QStringLiteral("line %1").arg(k);
        main().control<QPlainTextEdit>(QStringLiteral("Events"))->setPlainText(lines.join(QLatin1Char('\n')));
        trigger("Tlai1");
        const QByteArray printed = readFile(pdf);
        const auto pages = printed.count("/Type /Page\n") + printed.count("/Type /Page\r") +
                           printed.count("/Type /Page/") + printed.count("/Type /Page ");
        QVERIFY2(pages >= 4, QByteArray::number(pages));
        // A cancelled print dialog prints nothing.
        QFile::remove(pdf);
        dialogs().printerAnswer = nullptr;
        trigger("Tlai1");
        QVERIFY(!QFileInfo::exists(pdf));
    }

    void newClearsTheDeviceReadoutsButNotTheLog() {
        const auto setReadout = [this](const char* name, const char* text) {
            main().control<QLineEdit>(QLatin1String(name))->setText(QLatin1String(text));
        };
        const auto readout = [this](const char* name) {
            return main().control<QLineEdit>(QLatin1String(name))->text();
        };
        setReadout("MemoPSU", "3,80");
        setReadout("MemoGPRS", "OK");
        setReadout("editTIME", " 07.12.2026   14:30");
        setReadout("AIN_1", "12");
        setReadout("AIN_2", "0,5");
        setReadout("Memo230V", "Fail");
        main().control<QProgressBar>(QStringLiteral("gaugeSIGNAL"))->setValue(5);
        main().control<QPlainTextEdit>(QStringLiteral("Events"))->setPlainText(QStringLiteral("kept"));
        main().control<QRadioButton>(QStringLiteral("rdbGPRS"))->setChecked(true);
        main().SetLangToSK();
        trigger("Nov2");
        QCOMPARE(readout("MemoPSU"), QString());
        QCOMPARE(readout("MemoGPRS"), QString());
        QCOMPARE(readout("editTIME"), QString());
        QCOMPARE(main().control<QProgressBar>(QStringLiteral("gaugeSIGNAL"))->value(), 0);
        QCOMPARE(readout("AIN_1"), QStringLiteral("12"));
        QCOMPARE(readout("AIN_2"), QStringLiteral("0,5"));
        QCOMPARE(readout("Memo230V"), QStringLiteral("Fail"));
        QCOMPARE(main().control<QPlainTextEdit>(QStringLiteral("Events"))->toPlainText(),
                 QStringLiteral("kept"));
        QVERIFY(main().control<QRadioButton>(QStringLiteral("rdbGPRS"))->isChecked());
        QCOMPARE(main().languageCode(), QStringLiteral("SK"));
        QCOMPARE(main().control<QComboBox>(QStringLiteral("EventCodeIN1"))->currentText(),
                 QStringLiteral("Žiadna"));
    }

    // Each field has exactly one widget: the pages hold every field but the two of the top
    // bar. A family the pages left out would be neither shown nor editable.
    void everyFieldHasExactlyOneWidget() {
        main().completePages();
        const qta::FieldTable& table = main().configuration().table();
        const auto fieldsUnder = [&table](const QWidget* root) {
            std::vector<qta::FieldId> found;
            for (const QWidget* widget : root->findChildren<QWidget*>()) {
                if (const auto id = table.find(widget->objectName().toStdString()))
                    found.push_back(*id);
            }
            return found;
        };
        const auto onTopBar = [&table](qta::FieldId id) {
            return table[id].family == qta::Family::Pass || table[id].family == qta::Family::editAPN;
        };
        const std::string pages =
            qta::coverage::faults(fieldsUnder(main().control<QWidget>(QStringLiteral("PageControl1"))),
                                  [&onTopBar](qta::FieldId id) { return !onTopBar(id); });
        QVERIFY2(pages.empty(), pages.c_str());
        const std::string topBar = qta::coverage::faults(fieldsUnder(&main().topBar()), onTopBar);
        QVERIFY2(topBar.empty(), topBar.c_str());
    }

    // The pages behind the first are filled once the window has been painted.
    void hiddenPagesAreFilledAfterTheFirstPaint() {
        QVERIFY(!main().findChild<QWidget*>(QStringLiteral("TNIN_V_2_1")));
        QTest::keyClicks(line("TNIN_V_1_1"), QStringLiteral("5"));
        main().show();
        QTRY_VERIFY(main().findChild<QWidget*>(QStringLiteral("TNIN_V_2_1")));
        QCOMPARE(captionOf(main().findChild<QLabel*>(QStringLiteral("Label5"))), QStringLiteral("Zone/User"));
        QCOMPARE(main().findChild<QComboBox*>(QStringLiteral("EventCodeIN1"))->currentText(),
                 QStringLiteral("None"));
        QCOMPARE(main().findChild<QLineEdit*>(QStringLiteral("ZoneCodeIN8"))->text(), QStringLiteral("000"));
        QCOMPARE(captionOf(main().findChild<QLabel*>(QStringLiteral("Label11024"))),
                 QStringLiteral("32. num."));
        QVERIFY(!main().findChild<QWidget*>(QStringLiteral("TNIN_V_2_2"))->isEnabled());
    }

    void topBarAtStart() {
        main().show();
        QVERIFY(main().control<QRadioButton>(QStringLiteral("rdbUSB"))->isChecked());
        QVERIFY(!main().control<QRadioButton>(QStringLiteral("rdbGPRS"))->isChecked());
        QCOMPARE(captionOf(main().control(QStringLiteral("Label415"))), QStringLiteral("APN:"));
        QCOMPARE(line("editAPN")->text(), QStringLiteral("internet"));
        QCOMPARE(line("Pass")->text(), QStringLiteral("6173"));
        QCOMPARE(captionOf(main().control(QStringLiteral("Label411"))), QStringLiteral("USB"));
        QVERIFY(main().control<QWidget>(QStringLiteral("Image2"))->isVisible());
        QVERIFY(!main().control<QWidget>(QStringLiteral("Image1"))->isVisible());
        QCOMPARE(main().control<QWidget>(QStringLiteral("Image1"))->geometry(),
                 main().control<QWidget>(QStringLiteral("Image2"))->geometry());
        auto* status = main().control<QLabel>(QStringLiteral("Label406"));
        QCOMPARE(status->text(), QStringLiteral("Disconnected"));
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(status->font().pixelSize(), 13);
        auto* sprache = main().control<QComboBox>(QStringLiteral("Sprache"));
        QVERIFY(!sprache->isVisible());
        QCOMPARE(sprache->count(), 3);
        QCOMPARE(sprache->itemText(0) + sprache->itemText(1) + sprache->itemText(2),
                 QStringLiteral("ENDESK"));
        // Left to right.
        int left = -1;
        for (const char* name : {"rdbUSB", "rdbGPRS", "Label415", "editAPN", "Heslo", "Pass", "Label411",
                                 "Image2", "Label406"}) {
            auto* control = main().control<QWidget>(QLatin1String(name));
            QVERIFY2(control->mapTo(&main(), QPoint()).x() > left, name);
            left = control->mapTo(&main(), QPoint()).x();
        }
    }

    void diagnosticsStartDisconnected() {
        auto* page = main().control<QWidget>(QStringLiteral("TabSheet9"));
        for (int i = 1; i <= 8; ++i) {
            for (const char* grey : {"IN_ND_%1", "IN_NA_%1"})
                QVERIFY(main().control<QWidget>(QString::fromLatin1(grey).arg(i))->isVisibleTo(page));
        }
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(main().control<QWidget>(QStringLiteral("OUT_NV_%1").arg(n))->isVisibleTo(page));
            QCOMPARE(main().control(QStringLiteral("OUT_NZ_%1").arg(n))->property("command").toInt(), n + 4);
        }
        QCOMPARE(main().control<QProgressBar>(QStringLiteral("gaugeSIGNAL"))->value(), 0);
        QCOMPARE(main().control<QProgressBar>(QStringLiteral("gaugeSIGNAL"))->maximum(), 9);
    }

    // With no mouse: Alt and a menu's first letter opens it, an item's first letter picks it.
    void menusOpenFromTheKeyboardByTheirFirstLetter() {
        main().show();
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        auto* data = main().control<QMenu>(QStringLiteral("Uloi1"));
        QTest::keyClick(&main(), Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(data->isVisible());
        QTest::keyClick(data, Qt::Key_S);
        QCOMPARE(dialogs().messages, QStringList{QStringLiteral("Device not connected !")});
        QCOMPARE(captionOf(data), QStringLiteral("Data"));
        QCOMPARE(captionOf(main().control(QStringLiteral("Odosla2"))), QStringLiteral("Send"));
    }

    void closeWritesTheLanguage() {
        main().SetLangToSK();
        trigger("N1");
        QCOMPARE(readFile(window->path(QStringLiteral("QTA710Plus.ini"))),
                 QByteArray("[Language]\r\nLang=SK\r\n"));
    }
};

QTEST_MAIN(MenuTest)
#include "MenuTest.moc"
