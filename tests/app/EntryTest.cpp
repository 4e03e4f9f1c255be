// Typing into the main window's fields as a user would: the key filters, the
// number fields and the number lists.
#include "TestWindow.h"

#include "app/KeyFilter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using qta::app::TfMain;

namespace {

// Types like QTest::keyClicks, also characters beyond ASCII (which it cannot send).
void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, static_cast<Qt::Key>(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

} // namespace

class EntryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWindow> window;
    int beeps = 0;

    QLineEdit* line(const QString& name) { return (*window)->control<QLineEdit>(name); }
    const std::string& model(const char* name) {
        auto& config = (*window)->configuration();
        return config.text(config.table().id(name));
    }
    // Gives the field the focus, replaces its text by typing, and leaves it.
    QString typeAndLeave(const QString& name, const QString& typed) {
        QLineEdit* field = line(name);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, typed);
        line(QStringLiteral("editAPN"))->setFocus();
        return field->text();
    }
    // The colour an entry is drawn with: its palette's base in its current state.
    static QColor shownBase(QWidget* entry) {
        return entry->palette().color(entry->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                      QPalette::Base);
    }
    static bool showsButtonFace(QWidget* entry) {
        return shownBase(entry) == QPalette().color(QPalette::Button);
    }
    static bool showsWindowColour(QWidget* entry) {
        return shownBase(entry) == QPalette().color(QPalette::Base);
    }

private slots:
    void init() {
        window = std::make_unique<TestWindow>();
        (*window)->show();
        (*window)->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&**window));
        beeps = 0;
        qta::app::setBeep([this] { ++beeps; });
    }
    void cleanup() {
        qta::app::setBeep(nullptr);
        window.reset();
    }

    void phoneNumbersTakeDigitsAndPlusOnly() {
        QLineEdit* entry = line(QStringLiteral("TNIN_V_1_1"));
        type(entry, QStringLiteral("a*á #+42 1x"));
        QCOMPARE(entry->text(), QStringLiteral("+421"));
        QCOMPARE(model("TNIN_V_1_1"), std::string("+421"));
        QCOMPARE(beeps, 0); // refused silently
        // The typing limit is 14 characters.
        QTest::keyClicks(entry, QStringLiteral("1234567890123"));
        QCOMPARE(entry->text(), QStringLiteral("+4211234567890"));
    }

    void controlShortcutsWorkWhereTheFilterLetsThemThrough() {
        QApplication::clipboard()->setText(QStringLiteral("0905"));
        QLineEdit* entry = line(QStringLiteral("TNLS_1"));
        QTest::keyClick(entry, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(entry->text(), QStringLiteral("0905"));
        QTest::keyClick(entry, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(entry, Qt::Key_Backspace);
        QCOMPARE(entry->text(), QString());

        // The text filter drops Ctrl+V, so an SMS text cannot be pasted into by keyboard.
        auto* sms = (*window)->control<QPlainTextEdit>(QStringLiteral("T_SMS_IN1"));
        QTest::keyClick(sms, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(sms->toPlainText(), QString());
    }

    void smsTextStaysOnOneLineOfPrintableAscii() {
        auto* sms = (*window)->control<QPlainTextEdit>(QStringLiteral("T_SMS_IN2"));
        QTest::keyClicks(sms, QStringLiteral("Alarm"));
        QTest::keyClick(sms, Qt::Key_Return);
        QTest::keyClick(sms, Qt::Key_Enter);
        type(sms, QStringLiteral(" é1!"));
        QCOMPARE(sms->toPlainText(), QStringLiteral("Alarm 1!"));
        QCOMPARE(model("T_SMS_IN2"), std::string("Alarm 1!"));
        QCOMPARE(beeps, 0);
    }

    void accessCodeUsesTheTextFilterAndItsLimit() {
        QLineEdit* pass = line(QStringLiteral("Pass"));
        pass->selectAll();
        type(pass, QStringLiteral("ab č12345678901234"));
        QCOMPARE(pass->text(), QStringLiteral("ab 12345678901"));
    }

    // Free texts take any character up to their limit; loaded text is not cut.
    void freeTextsTakeAnythingUpToTheirLimit() {
        QLineEdit* apn = line(QStringLiteral("editAPN"));
        apn->selectAll();
        type(apn, QStringLiteral("*á #x") + QString(40, QLatin1Char('y')));
        QCOMPARE(apn->text(), QStringLiteral("*á #x") + QString(26, QLatin1Char('y')));
        QLineEdit* ip = line(QStringLiteral("IP_PCO2"));
        QTest::keyClicks(ip, QStringLiteral("192.168.100.200.1"));
        QCOMPARE(ip->text(), QStringLiteral("192.168.100.200"));
        auto& config = (*window)->configuration();
        config.setText(config.table().id("SMS_PCO"), "+421 900 123 456 789");
        QCOMPARE(line(QStringLiteral("SMS_PCO"))->text(), QStringLiteral("+421 900 123 456 789"));
        QCOMPARE(beeps, 0);
    }

    // A dead key or a compose sequence types through the input method, not a key press.
    void composedCharactersFollowTheSameRules() {
        const auto compose = [](QWidget* widget, const QString& text) {
            QInputMethodEvent event;
            event.setCommitString(text);
            QApplication::sendEvent(widget, &event);
        };
        QLineEdit* entry = line(QStringLiteral("TNIN_S_3_1"));
        compose(entry, QStringLiteral("+4á2*"));
        QCOMPARE(entry->text(), QStringLiteral("+42"));
        QVERIFY(line(QStringLiteral("TNIN_S_3_2"))->isEnabled());
        auto* sms = (*window)->control<QPlainTextEdit>(QStringLiteral("T_SMS_OUT_ON_1"));
        compose(sms, QStringLiteral("zapni ó1"));
        QCOMPARE(sms->toPlainText(), QStringLiteral("zapni 1"));
        QCOMPARE(beeps, 0);
        QLineEdit* delay = line(QStringLiteral("DELAY_AIN1"));
        delay->clear();
        compose(delay, QStringLiteral("1ô"));
        QCOMPARE(delay->text(), QStringLiteral("1"));
        QCOMPARE(beeps, 1);
        QLineEdit* ip = line(QStringLiteral("IP_PCO"));
        compose(ip, QString(20, QChar(0xe4)));
        QCOMPARE(ip->text(), QString(15, QChar(0xe4)));
    }

    // Alt with a key that no menu takes types nothing, so a guessed menu letter changes no
    // setting; AltGr (Ctrl+Alt on a Windows keyboard) types its character through the rules.
    void altCombinationsNeverTypeIntoAField() {
        (*window)->SetLangToSK(); // its menus take S, D, e and J
        QLineEdit* apn = line(QStringLiteral("editAPN"));
        apn->end(false);
        QTest::keyClick(apn, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(apn->text(), QStringLiteral("internet"));
        auto* sms = (*window)->control<QPlainTextEdit>(QStringLiteral("T_SMS_IN6"));
        QTest::keyClick(sms, Qt::Key_Q, Qt::AltModifier);
        QTest::keyClick(sms, Qt::Key_Q, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(sms->toPlainText(), QString());
        QLineEdit* entry = line(QStringLiteral("TNIN_V_2_1"));
        QTest::keyClick(entry, Qt::Key_2, Qt::AltModifier);
        QCOMPARE(entry->text(), QString());
        QVERIFY(!line(QStringLiteral("TNIN_V_2_2"))->isEnabled());
        QLineEdit* delay = line(QStringLiteral("DELAY_IN5"));
        delay->setText(QStringLiteral("7"));
        QTest::keyClick(delay, Qt::Key_1, Qt::AltModifier);
        QCOMPARE(delay->text(), QStringLiteral("7"));
        // A chooser would pick the first item beginning with the letter ("Nastavené/Odstavené").
        auto* chooser = (*window)->control<QComboBox>(QStringLiteral("EventCodeIN1"));
        QTest::keyClick(chooser, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(chooser->currentIndex(), 17);
        QCOMPARE(beeps, 0);
        QCOMPARE(model("editAPN") + model("T_SMS_IN6") + model("TNIN_V_2_1") + model("DELAY_IN5"),
                 std::string("internet7"));

        const auto altGr = Qt::ControlModifier | Qt::AltModifier;
        QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_V, QStringLiteral("@"), altGr);
        QCOMPARE(entry->text(), QString());
        QTest::sendKeyEvent(QTest::Click, sms, Qt::Key_E, QStringLiteral("€"), altGr);
        QTest::sendKeyEvent(QTest::Click, sms, Qt::Key_V, QStringLiteral("@"), altGr);
        QCOMPARE(sms->toPlainText(), QStringLiteral("@"));
        QTest::sendKeyEvent(QTest::Click, apn, Qt::Key_V, QStringLiteral("@"), altGr);
        QCOMPARE(apn->text(), QStringLiteral("internet@"));
        // The keyboard still reaches the menus from a field.
        auto* data = (*window)->control<QMenu>(QStringLiteral("Uloi1"));
        QTest::keyClick(apn, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(data->isVisible());
        data->close();
        QCOMPARE(apn->text(), QStringLiteral("internet@"));
    }

    // Loaded text is kept as it is: typing one character at its end adds that character
    // and changes no other byte, whatever byte the file or the device gave.
    void anEditKeepsEveryLoadedByte() {
        auto& config = (*window)->configuration();
        for (const char* name : {"IP_PCO", "T_SMS_IN1"}) {
            const auto id = config.table().id(name);
            QWidget* field = (*window)->control<QWidget>(QLatin1String(name));
            QByteArray changed;
            for (int byte = 1; byte < 256; ++byte) {
                if ((byte >= ' ' && byte < 0x7f) || byte == '\r' || byte == '\n')
                    continue; // an SMS text's line break is CR LF, its own test
                const std::string loaded = std::string("A") + static_cast<char>(byte) + "Z";
                config.setText(id, loaded);
                if (auto* memo = qobject_cast<QPlainTextEdit*>(field))
                    memo->moveCursor(QTextCursor::End);
                else
                    static_cast<QLineEdit*>(field)->end(false);
                QTest::keyClick(field, '1');
                if (config.text(id) != loaded + "1")
                    changed += QByteArray::number(byte, 16) + ' ';
            }
            QVERIFY2(changed.isEmpty(), name + QByteArray(": ") + changed);
        }
    }

    void numberFieldBeepsForRefusedKeys() {
        QLineEdit* delay = line(QStringLiteral("DELAY_IN1"));
        delay->selectAll();
        QTest::keyClicks(delay, QStringLiteral("1x"));
        QCOMPARE(beeps, 1);
        QTest::keyClick(delay, Qt::Key_Return);
        QCOMPARE(beeps, 2);
        QTest::keyClicks(delay, QStringLiteral("-,."));
        QCOMPARE(beeps, 2);
        QCOMPARE(delay->text(), QStringLiteral("1-,"));   // three characters at most
        QVERIFY(!qobject_cast<QAbstractSpinBox*>(delay)); // a spin box would rewrite "007"
    }

    void leavingANumberFieldClampsOnlyOutOfRange() {
        QCOMPARE(typeAndLeave(QStringLiteral("DELAY_IN1"), QStringLiteral("300")), QStringLiteral("255"));
        QCOMPARE(model("DELAY_IN1"), std::string("255"));
        QCOMPARE(typeAndLeave(QStringLiteral("DELAY_OUT2"), QStringLiteral("-5")), QStringLiteral("0"));
        QCOMPARE(typeAndLeave(QStringLiteral("TestPCO"), QStringLiteral("0")), QStringLiteral("1"));
        QCOMPARE(typeAndLeave(QStringLiteral("Auto_2"), QStringLiteral("24")), QStringLiteral("23"));
        QCOMPARE(typeAndLeave(QStringLiteral("DELAY_IN2"), QStringLiteral("007")), QStringLiteral("007"));
        QCOMPARE(typeAndLeave(QStringLiteral("DELAY_IN3"), QString()), QString());
        QCOMPARE(typeAndLeave(QStringLiteral("DELAY_IN4"), QStringLiteral("-")), QStringLiteral("-"));
    }

    // A menu opened from the field, or the menu bar entered with Alt, is not leaving it.
    void aMenuDoesNotClampTheField() {
        QLineEdit* delay = line(QStringLiteral("DELAY_IN6"));
        delay->setText(QStringLiteral("300"));
        for (const Qt::FocusReason reason :
             {Qt::PopupFocusReason, Qt::MenuBarFocusReason, Qt::ActiveWindowFocusReason}) {
            QFocusEvent focusOut(QEvent::FocusOut, reason);
            QApplication::sendEvent(delay, &focusOut);
            QCOMPARE(delay->text(), QStringLiteral("300"));
        }
        QFocusEvent toAnotherControl(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(delay, &toAnotherControl);
        QCOMPARE(delay->text(), QStringLiteral("255"));
    }

    void upAndDownStepWithTheUsersSeparator_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("afterDown");
        QTest::newRow("comma") << "sk_SK"
                               << "25,5"
                               << "25,4";
        QTest::newRow("point") << "en_US"
                               << "25.5"
                               << "25.4";
    }
    void upAndDownStepWithTheUsersSeparator() {
        QFETCH(QString, locale);
        QFETCH(QString, start);
        QFETCH(QString, afterDown);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        TestWindow local;
        QLocale::setDefault(previous);
        auto* umax = local->control<QLineEdit>(QStringLiteral("UMAX_AIN1"));
        QCOMPARE(umax->text(), start);
        QTest::keyClick(umax, Qt::Key_Up);
        QCOMPARE(umax->text(), start);
        QTest::keyClick(umax, Qt::Key_Down);
        QCOMPARE(umax->text(), afterDown);
        // "New" puts in "25,5" whatever the separator; stepping reads it all the same.
        local->Nov2Click();
        QCOMPARE(umax->text(), QStringLiteral("25,5"));
        QTest::keyClick(umax, Qt::Key_Down);
        QCOMPARE(umax->text(), afterDown);
        auto* umin = local->control<QLineEdit>(QStringLiteral("UMIN_AIN1"));
        for (int step = 0; step < 10; ++step)
            QTest::keyClick(umin, Qt::Key_Up);
        QCOMPARE(umin->text(), QStringLiteral("1"));
        QTest::keyClick(umin, Qt::Key_Down);
        QCOMPARE(umin->text(), QStringLiteral("0") + start.at(2) + QStringLiteral("9"));
    }

    void spinButtonsStepBesideTheField() {
        QLineEdit* delay = line(QStringLiteral("DELAY_OUT3"));
        const auto buttons = delay->parentWidget()->findChildren<QToolButton*>();
        QCOMPARE(buttons.size(), 2);
        buttons[0]->click();
        buttons[0]->click();
        QCOMPARE(delay->text(), QStringLiteral("2"));
        buttons[1]->click();
        QCOMPARE(delay->text(), QStringLiteral("1"));
        QCOMPARE(model("DELAY_OUT3"), std::string("1"));
        QCOMPARE(buttons[0]->focusPolicy(), Qt::NoFocus); // Tab goes from field to field
    }

    // Tab walks a page as it is laid out: an input's own fields, then each list from
    // 1 to 32; the ARC codes row by row, then the centre's fields.
    void tabOrderFollowsThePage_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("expected");
        QStringList input = {"T_SMS_IN1", "T_SMS_RIN1", "DELAY_IN1", "NO_IN1", "NC_IN1"};
        for (const char* family : {"TNIN_V_1_", "TNIN_S_1_"}) {
            for (int j = 1; j <= 32; ++j)
                input << QLatin1String(family) + QString::number(j);
        }
        QTest::newRow("input 1") << "TabSheetIN1" << input;
        QStringList arc;
        for (int i = 1; i <= 8; ++i) {
            for (const char* family : {"ObjCodeIN", "EventCodeIN", "PartCodeIN", "ZoneCodeIN"})
                arc << QLatin1String(family) + QString::number(i);
        }
        arc << "IP_PCO"
            << "Port_PCO"
            << "TestPCO"
            << "IP_PCO2"
            << "Port_PCO2"
            << "SMS_PCO";
        QTest::newRow("ARC") << "TabSheet4" << arc;
    }
    void tabOrderFollowsThePage() {
        QFETCH(QString, page);
        QFETCH(QStringList, expected);
        QWidget* sheet = (*window)->control<QWidget>(page);
        QStringList chain;
        QWidget* widget = (*window)->control<QWidget>(expected.front());
        for (int step = 0; step < 5000 && chain.size() < expected.size();
             ++step, widget = widget->nextInFocusChain()) {
            if (sheet->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
                !widget->objectName().isEmpty())
                chain << widget->objectName();
        }
        QCOMPARE(chain, expected);
    }

    void erasingAnEntryClearsAndLocksTheRestOfItsList() {
        for (int j = 1; j <= 3; ++j) {
            QLineEdit* entry = line(QStringLiteral("TNLS_%1").arg(j));
            QVERIFY2(entry->isEnabled(), qPrintable(entry->objectName()));
            QTest::keyClicks(entry, QString::number(j * 11));
        }
        QVERIFY(line(QStringLiteral("TNLS_4"))->isEnabled());
        QLineEdit* second = line(QStringLiteral("TNLS_2"));
        QTest::keyClick(second, Qt::Key_Backspace);
        QTest::keyClick(second, Qt::Key_Backspace);
        QCOMPARE(line(QStringLiteral("TNLS_1"))->text(), QStringLiteral("11"));
        QCOMPARE(second->text(), QString());
        QVERIFY(second->isEnabled());
        QVERIFY(showsWindowColour(second));
        QLineEdit* third = line(QStringLiteral("TNLS_3"));
        QCOMPARE(third->text(), QString());
        QCOMPARE(model("TNLS_3"), std::string());
        for (int j = 3; j <= 32; ++j) {
            QLineEdit* entry = line(QStringLiteral("TNLS_%1").arg(j));
            QVERIFY2(!entry->isEnabled() && showsButtonFace(entry), qPrintable(entry->objectName()));
        }
    }

    void typingIntoTheFirstEmptyEntryUnlocksTheNext() {
        QTest::keyClicks(line(QStringLiteral("TNOUT_S_3_1")), QStringLiteral("1"));
        QLineEdit* second = line(QStringLiteral("TNOUT_S_3_2"));
        QLineEdit* third = line(QStringLiteral("TNOUT_S_3_3"));
        QVERIFY(second->isEnabled() && showsWindowColour(second));
        QVERIFY(!third->isEnabled() && showsButtonFace(third));
        QTest::keyClicks(second, QStringLiteral("2"));
        QVERIFY(third->isEnabled() && showsWindowColour(third));
        // Other lists of the family are not touched.
        QVERIFY(!line(QStringLiteral("TNOUT_S_2_2"))->isEnabled());
    }

    void pastedTextIsNotFilteredButTheListRuleHolds() {
        QLineEdit* first = line(QStringLiteral("TNBLK_V_1"));
        first->insert(QStringLiteral("12 ab"));
        QCOMPARE(model("TNBLK_V_1"), std::string("12 ab"));
        QVERIFY(line(QStringLiteral("TNBLK_V_2"))->isEnabled());
        first->clear();
        QVERIFY(!line(QStringLiteral("TNBLK_V_2"))->isEnabled());
    }

    void aPastedLineBreakReachesTheModelAsCrLf() {
        auto* memo = (*window)->control<QPlainTextEdit>(QStringLiteral("T_SMS_IN4"));
        memo->insertPlainText(QStringLiteral("Alarm\nvstup 4"));
        QCOMPARE(model("T_SMS_IN4"), std::string("Alarm\r\nvstup 4"));
        auto& config = (*window)->configuration();
        config.setText(config.table().id("T_SMS_RIN4"), "ok\r\nend");
        QCOMPARE((*window)->control<QPlainTextEdit>(QStringLiteral("T_SMS_RIN4"))->toPlainText(),
                 QStringLiteral("ok\nend"));
    }

    void newEmptiesTheListsAndLocksThem() {
        QTest::keyClicks(line(QStringLiteral("TNAIN_V_2_1")), QStringLiteral("1"));
        QTest::keyClicks(line(QStringLiteral("TNAIN_V_2_2")), QStringLiteral("2"));
        (*window)->Nov2Click();
        QCOMPARE(line(QStringLiteral("TNAIN_V_2_1"))->text(), QString());
        QVERIFY(line(QStringLiteral("TNAIN_V_2_1"))->isEnabled());
        QVERIFY(!line(QStringLiteral("TNAIN_V_2_2"))->isEnabled());
        QCOMPARE(line(QStringLiteral("TestPCO"))->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(EntryTest)
#include "EntryTest.moc"
