// The four languages on the window, and the settings file that remembers one.
#include "TestWindow.h"

#include "app/ControlTexts.h"
#include "app/WindowLinkView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>

#include <array>

using qta::Language;

Q_DECLARE_METATYPE(qta::Language)
using qta::app::captionOf;

namespace {

QString caption(qta::app::TfMain& window, const QString& name) {
    QObject* control = window.control(name);
    return control ? captionOf(control) : QStringLiteral("<no %1>").arg(name);
}

QString hint(qta::app::TfMain& window, const QString& name) {
    auto* widget = window.control<QWidget>(name);
    return widget ? widget->toolTip() : QStringLiteral("<no %1>").arg(name);
}

// Captions on the shown part of the window that are drawn narrower than their text needs.
QStringList cutCaptions(QWidget* window) {
    // Layouts, then the window's resize, then the status bar's layout and the pages' again.
    for (int round = 0; round < 6; ++round)
        QApplication::processEvents();
    QStringList cut;
    const auto check = [&cut](QWidget* widget, const QString& text, int needed) {
        if (widget->isVisible() && !text.isEmpty() && widget->width() < needed)
            cut << QStringLiteral("%1 \"%2\" %3 < %4")
                       .arg(widget->objectName(), text)
                       .arg(widget->width())
                       .arg(needed);
    };
    for (QLabel* label : window->findChildren<QLabel*>())
        check(label, label->text(), label->sizeHint().width());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        check(button, button->text(), button->sizeHint().width());
    for (QGroupBox* group : window->findChildren<QGroupBox*>())
        check(group, group->title(), group->minimumSizeHint().width());
    return cut;
}

// cutCaptions of every page and sub-page, each brought to the front in turn.
QStringList cutCaptionsOfEveryPage(QWidget* window, QTabWidget* pages) {
    QStringList cut = cutCaptions(window);
    for (int k = 0; k < pages->count(); ++k) {
        pages->setCurrentIndex(k);
        cut += cutCaptions(window);
        if (auto* sub = pages->widget(k)->findChild<QTabWidget*>())
            cut += cutCaptionsOfEveryPage(window, sub);
    }
    pages->setCurrentIndex(0);
    return cut;
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWindow> window;
    qta::app::TfMain& main() { return **window; }

private slots:
    void initTestCase() {
        window = std::make_unique<TestWindow>(QStringLiteral("[Language]\r\nLang=EN\r\n"));
    }
    void cleanupTestCase() { window.reset(); }

    void everyControlTheCataloguesNameExists() {
        for (const std::string& name : qta::catalogue::controlNamesWithTexts())
            QVERIFY2(main().control(QString::fromStdString(name)), name.c_str());
        for (const char* name :
             {"Nov1",     "Nov2",     "Otvori2",     "Uloi2",    "N1",      "Uloi1",  "Nata2",   "Odosla2",
              "Otvori1",  "Nata1",    "Uloi3",       "Tlai1",    "Lang",    "EN",     "DE",      "SK",
              "Dansky1",  "Heslo",    "editAPN",     "Label406", "Sprache", "rdbUSB", "rdbGPRS", "Label415",
              "Pass",     "Label411", "Image1",      "Image2",   "Events",  "AIN_1",  "AIN_2",   "MemoPSU",
              "Memo230V", "editTIME", "gaugeSIGNAL", "MemoGPRS"})
            QVERIFY2(main().control(QLatin1String(name)), name);
    }

    void titlesOfTheFourLanguages_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("code");
        QTest::newRow("EN") << Language::EN << "Programmer for QAT 710 Vavi v 3.1"
                            << "EN";
        QTest::newRow("SK") << Language::SK << "Programátor QTA 710 Vavi v 4.1"
                            << "SK";
        QTest::newRow("DE") << Language::DE << "Programmer für QTA710 Vavi v 4.1"
                            << "DE";
        QTest::newRow("DK") << Language::DK << "Programmer for QAT 710 Vavi v 4.1"
                            << "DK";
    }
    void titlesOfTheFourLanguages() {
        QFETCH(Language, language);
        QFETCH(QString, title);
        QFETCH(QString, code);
        main().applyLanguage(language);
        QCOMPARE(main().windowTitle(), title);
        QCOMPARE(main().languageCode(), code);
        QCOMPARE(main().control<QComboBox>(QStringLiteral("Sprache"))->currentText(), code);
    }

    void captionsFollowTheLanguage() {
        main().SetLangToSK();
        QCOMPARE(caption(main(), QStringLiteral("Nov1")), QStringLiteral("Súbor"));
        QCOMPARE(caption(main(), QStringLiteral("TabSheet3")), QStringLiteral("Výstupy"));
        QCOMPARE(caption(main(), QStringLiteral("TabSheetOUT2")), QStringLiteral("2 .výstup"));
        QCOMPARE(caption(main(), QStringLiteral("Heslo")), QStringLiteral("Heslo"));
        QCOMPARE(main().control<QLabel>(QStringLiteral("Heslo"))->x(), 336);
        main().SetLangToEN();
        QCOMPARE(caption(main(), QStringLiteral("Heslo")), QStringLiteral("Password"));
        QCOMPARE(main().control<QLabel>(QStringLiteral("Heslo"))->x(), 315);
        QCOMPARE(hint(main(), QStringLiteral("Heslo")), QStringLiteral("Enter new acces password"));
        QCOMPARE(caption(main(), QStringLiteral("TabSheetIN1")), QStringLiteral("1 .input"));
        QCOMPARE(caption(main(), QStringLiteral("GroupBox_TS_OUT4")),
                 QStringLiteral(" Phone numbers for controlling the output by SMS  "));
        QCOMPARE(hint(main(), QStringLiteral("TNIN_V_8_32")),
                 QStringLiteral("Phone numbers which will received voice messages about alarm"));
        QCOMPARE(hint(main(), QStringLiteral("editAPN")),
                 QStringLiteral("Access Point Name - ask tou mobile operator for proper value"));
    }

    // A caption keeps the width of the language it was first shown in unless the switch
    // sizes it anew: "Zugangscode" read "Zugar" after starting in Slovak.
    void everyCaptionShowsWholeAfterEverySwitch_data() {
        QTest::addColumn<Language>("start");
        // The shortest captions and the mostly English ones; the German are the longest.
        QTest::newRow("SK") << Language::SK;
        QTest::newRow("DK") << Language::DK;
    }
    void everyCaptionShowsWholeAfterEverySwitch() {
        QFETCH(Language, start);
        TestWindow started(QStringLiteral("[Language]\r\nLang=%1\r\n")
                               .arg(QString::fromStdString(std::string(qta::languageCode(start)))));
        started->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*started));
        auto* pages = started->control<QTabWidget>(QStringLiteral("PageControl1"));
        QStringList cut = cutCaptionsOfEveryPage(&*started, pages);
        for (const Language language : {Language::DE, Language::EN, Language::SK, Language::DK}) {
            if (language == start)
                continue;
            started->applyLanguage(language);
            cut += cutCaptionsOfEveryPage(&*started, pages);
        }
        cut.removeDuplicates();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    void theNinePagesAndTheirSubPagesInOrder() {
        main().SetLangToEN();
        const auto tabTexts = [this](const char* name) {
            QStringList texts;
            auto* tabs = main().control<QTabWidget>(QLatin1String(name));
            for (int k = 0; tabs && k < tabs->count(); ++k)
                texts << tabs->tabText(k);
            return texts;
        };
        QCOMPARE(tabTexts("PageControl1"),
                 (QStringList{"Digit. inputs", "ARC", "Blocking inputs", "Analog. inputs", "Outputs",
                              "Hearing", "Status SMS", "Event log", "Diagnostics"}));
        QCOMPARE(tabTexts("PageControlIN"), (QStringList{"1 .input", "2 .input", "3 .input", "4 .input",
                                                         "5 .input", "6 .input", "7 .input", "8 .input"}));
        QCOMPARE(tabTexts("PageControlAIN"), (QStringList{"1 .input", "2 .input"}));
        QCOMPARE(tabTexts("PageControlOUT"),
                 (QStringList{"1 .output", "2 .output", "3 .output", "4 .output"}));
        auto* pages = main().control<QTabWidget>(QStringLiteral("PageControl1"));
        const std::array<std::pair<const char*, int>, 3> subPages = {
            {{"PageControlIN", 0}, {"PageControlAIN", 3}, {"PageControlOUT", 4}}};
        for (const auto& [name, page] : subPages)
            QVERIFY2(pages->widget(page)->isAncestorOf(main().control<QWidget>(QLatin1String(name))), name);
        QVERIFY(pages->widget(7)->isAncestorOf(main().control<QWidget>(QStringLiteral("Events"))));
        QVERIFY(pages->widget(8)->isAncestorOf(main().control<QWidget>(QStringLiteral("gaugeSIGNAL"))));
        QVERIFY(pages->widget(1)->isAncestorOf(main().control<QWidget>(QStringLiteral("ZoneCodeIN8"))));
    }

    void numberLabelsEndWithThe32nd() {
        main().SetLangToEN();
        QCOMPARE(caption(main(), QStringLiteral("Label10001")), QStringLiteral("1. num."));
        QCOMPARE(caption(main(), QStringLiteral("Label10031")), QStringLiteral("31. num."));
        QCOMPARE(caption(main(), QStringLiteral("Label10032")), QStringLiteral("32. num."));
        QCOMPARE(caption(main(), QStringLiteral("Label11024")), QStringLiteral("32. num."));
        main().SetLangToSK();
        QCOMPARE(caption(main(), QStringLiteral("Label10064")), QStringLiteral("32. číslo"));
        main().SetLangToDE();
        QCOMPARE(caption(main(), QStringLiteral("Label10033")), QStringLiteral("1. Num"));
    }

    void germanKeepsThePreviousPolarityHints() {
        main().SetLangToEN();
        main().SetLangToDE();
        QCOMPARE(hint(main(), QStringLiteral("NO_IN1")),
                 QStringLiteral("Input will be activated by applied voltage"));
        QCOMPARE(hint(main(), QStringLiteral("NC_IN8")),
                 QStringLiteral("Input will be activated by disconnecting voltage"));
        QCOMPARE(hint(main(), QStringLiteral("DELAY_IN1")),
                 QStringLiteral("Mindestdauer des Trigger-Impuls aktiviert den Eintrag in Sekunden"));
        main().SetLangToSK();
        main().SetLangToDE();
        QCOMPARE(hint(main(), QStringLiteral("NO_IN3")),
                 QStringLiteral("Vstup bude reagovať na pripojenie napätia"));
    }

    void danishIsEnglishButForTheEventLogMenu() {
        main().SetLangToDK();
        QCOMPARE(caption(main(), QStringLiteral("Otvori1")), QStringLiteral("Hndelser"));
        QCOMPARE(caption(main(), QStringLiteral("Nov1")), QStringLiteral("File"));
        QCOMPARE(caption(main(), QStringLiteral("TabSheet8")), QStringLiteral("Event log"));
        QCOMPARE(caption(main(), QStringLiteral("Dansky1")), QStringLiteral("Dansky"));
        QVERIFY(!main().control<QAction>(QStringLiteral("Dansky1"))->isVisible());
    }

    void menusAndTheirItemsInOrder() {
        main().SetLangToEN();
        QStringList shown;
        for (const QAction* title : main().menuBar()->actions()) {
            shown << title->menu()->objectName() + QLatin1Char('=') + captionOf(title->menu());
            for (const QAction* item : title->menu()->actions())
                shown << QStringLiteral("  ") + item->objectName() + QLatin1Char('=') + captionOf(item);
        }
        QCOMPARE(shown, (QStringList{"Nov1=File",
                                     "  Nov2=New",
                                     "  Otvori2=Open",
                                     "  =Recent files",
                                     "  Uloi2=Save",
                                     "  SaveAs1=Save As...",
                                     "  =",
                                     "  CompareFile=Compare with...",
                                     "  ApplyPatch=Apply patch...",
                                     "  ExportLists=Export lists...",
                                     "  ImportLists=Import lists...",
                                     "  OpenBackup=Open backup...",
                                     "  =",
                                     "  N1=Close",
                                     "Uloi1=Data",
                                     "  Nata2=Read",
                                     "  Odosla2=Send",
                                     "  SendVerify=Send and verify",
                                     "  CompareDevice=Compare with device",
                                     "  =",
                                     "  VerifyAlways=Verify after every Send",
                                     "Otvori1=Event log",
                                     "  Nata1=Read",
                                     "  Uloi3=Save",
                                     "  Tlai1=Print",
                                     "Lang=Language",
                                     "  EN=English",
                                     "  DE=German",
                                     "  SK=Slovak",
                                     "  Dansky1=Dansky"}));
    }

    // Alt+letter on the menu bar and a letter inside a menu each reach one item only.
    void menuLettersAreDistinctInEveryLanguage() {
        for (const Language language : {Language::EN, Language::SK, Language::DE, Language::DK}) {
            main().applyLanguage(language);
            QList<QList<QAction*>> rows = {main().menuBar()->actions()};
            for (const QAction* title : main().menuBar()->actions())
                rows << title->menu()->actions();
            for (const QList<QAction*>& row : rows) {
                QSet<int> letters;
                for (const QAction* action : row) {
                    if (action->isSeparator())
                        continue;
                    const QKeySequence letter = QKeySequence::mnemonic(action->text());
                    QVERIFY2(!letter.isEmpty() && !letters.contains(letter[0].toCombined()),
                             qPrintable(action->text()));
                    letters.insert(letter[0].toCombined());
                }
            }
        }
        main().SetLangToSK();
        QCOMPARE(main().control<QMenu>(QStringLiteral("Otvori1"))->title(), QStringLiteral("D&enník"));
        QCOMPARE(caption(main(), QStringLiteral("Otvori1")), QStringLiteral("Denník"));
    }

    // The label keeps the connection's state across a switch, in the new language.
    void statusLabelFollowsTheConnection() {
        auto* status = main().control<QLabel>(QStringLiteral("Label406"));
        main().linkView().showConnected(false);
        main().SetLangToEN();
        QCOMPARE(status->text(), QStringLiteral("Disconnected"));
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        main().linkView().showConnected(true);
        QCOMPARE(status->text(), QStringLiteral("Connected"));
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        main().SetLangToDE();
        QCOMPARE(status->text(), QStringLiteral("Verbunden"));
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(main().messages().msgNotConnected, std::string("Nich angeschlossene Gerät !"));
        main().SetLangToSK();
        QCOMPARE(status->text(), QStringLiteral("Pripojené"));
        main().linkView().showConnected(false);
        QCOMPARE(status->text(), QStringLiteral("Odpojené"));
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }

    // A switch used to reset every reported event to "None": sending after a switch
    // would have stopped all eight inputs reporting to the alarm centre.
    void eventChoicesSurviveASwitch() {
        main().SetLangToEN();
        auto& config = main().configuration();
        const auto event3 = config.table().id("EventCodeIN3");
        const auto event4 = config.table().id("EventCodeIN4");
        auto* combo3 = main().control<QComboBox>(QStringLiteral("EventCodeIN3"));
        auto* combo4 = main().control<QComboBox>(QStringLiteral("EventCodeIN4"));
        combo3->setCurrentIndex(5);
        config.setChoice(event4, -1);
        QCOMPARE(combo4->currentIndex(), -1);
        main().SetLangToSK();
        QCOMPARE(combo3->currentIndex(), 5);
        QCOMPARE(combo3->currentText(), QStringLiteral("24-hodín"));
        QCOMPARE(combo3->itemText(17), QStringLiteral("Žiadna"));
        QCOMPARE(combo4->currentIndex(), -1);
        QCOMPARE(config.choice(event3), 5);
        QCOMPARE(config.choice(event4), -1);
        main().SetLangToDE();
        QCOMPARE(combo3->currentText(), QStringLiteral("24 Hour (safe)"));
        QCOMPARE(config.choice(main().configuration().table().id("EventCodeIN1")), 17);
    }
};

// Each case starts a window in a directory of its own and closes it.
class SettingsTest : public QObject {
    Q_OBJECT

    static QByteArray closeAndRead(TestWindow& window) {
        window->close();
        return readFile(window.path(QStringLiteral("QTA710Plus.ini")));
    }

private slots:
    void noFileGivesDanishAndWritesDK() {
        TestWindow window;
        QCOMPARE(window->languageCode(), QStringLiteral("DK"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Programmer for QAT 710 Vavi v 4.1"));
        QCOMPARE(closeAndRead(window), QByteArray("[Language]\r\nLang=DK\r\n"));
    }

    void onlyExactCodesCount_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("applied");
        QTest::newRow("DE") << "DE"
                            << "DE";
        QTest::newRow("SK") << "SK"
                            << "SK";
        QTest::newRow("EN") << "EN"
                            << "EN";
        QTest::newRow("de") << "de"
                            << "DK";
        QTest::newRow("En") << "En"
                            << "DK";
        QTest::newRow("DK") << "DK"
                            << "DK";
        QTest::newRow("empty") << ""
                               << "DK";
    }
    void onlyExactCodesCount() {
        QFETCH(QString, stored);
        QFETCH(QString, applied);
        TestWindow window(QStringLiteral("[language]\r\nlang=%1\r\n").arg(stored));
        QCOMPARE(window->languageCode(), applied);
    }

    void aMenuChoiceIsWrittenAtCloseKeepingOtherLines() {
        TestWindow window(QStringLiteral("; mine\r\n[Other]\r\nx=1\r\n[Language]\r\nLang=SK\r\n"));
        QCOMPARE(window->languageCode(), QStringLiteral("SK"));
        window->control<QAction>(QStringLiteral("DE"))->trigger();
        QCOMPARE(closeAndRead(window), QByteArray("; mine\r\n[Other]\r\nx=1\r\n[Language]\r\nLang=DE\r\n"));
        TestWindow next(QString::fromUtf8(readFile(window.path(QStringLiteral("QTA710Plus.ini")))));
        QCOMPARE(next->languageCode(), QStringLiteral("DE"));
    }

    void aCloseThatCannotWriteStillCloses() {
        TestWindow window;
        QVERIFY(QDir(window.directory.path()).mkdir(QStringLiteral("QTA710Plus.ini")));
        window->show();
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LanguageTest languages;
    SettingsTest settings;
    return QTest::qExec(&languages, argc, argv) | QTest::qExec(&settings, argc, argv);
}

#include "LanguageTest.moc"
