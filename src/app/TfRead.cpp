#include "TfRead.h"

#include "TextEdge.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace qta::app {
namespace {

constexpr int kWidth = 332;
constexpr int kHeight = 87;
constexpr int kDesignGaugeMaximum = 4080;
constexpr int kRefusalPixels = 20;
const char* const kRole = "role";

QLabel* label(const char* name, const QString& text, const QRect& place, QWidget* parent) {
    auto* shown = new QLabel(text, parent);
    shown->setObjectName(QLatin1String(name));
    shown->setGeometry(place);
    return shown;
}

void paintRed(QWidget* widget, int pixels, bool bold) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    widget->setPalette(palette);
    QFont font = widget->font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    widget->setFont(font);
}

} // namespace

TfRead::TfRead(QWidget* window)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      window_(window), label1_(label("Label1", QStringLiteral("Prenášajú sa dáta. Prosím, čakajte."),
                                     {16, 10, 300, 17}, this)),
      gauge1_(new QProgressBar(this)),
      label2_(label("Label2", QStringLiteral("Prístupový kód"), {16, 12, 150, 20}, this)),
      label3_(label("Label3", QStringLiteral("Neprávny prístupový kód !"), {8, 8, 316, 36}, this)),
      button_(new QPushButton(QStringLiteral("Storno"), this)), pass_(new QLineEdit(this)) {
    // Not a child of `window`: the dialog must stay enabled while the window is not.
    setObjectName(QStringLiteral("fRead"));
    // The program ends with its main window, whatever this dialog shows.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Načítavanie dát"));
    setFixedSize(kWidth, kHeight);
    if (window)
        setFont(window->font());

    gauge1_->setObjectName(QStringLiteral("Gauge1"));
    gauge1_->setGeometry(16, 32, 300, 17);
    gauge1_->setRange(0, kDesignGaugeMaximum);
    gauge1_->setValue(0);
    gauge1_->setTextVisible(false);
    QPalette bar = gauge1_->palette();
    bar.setColor(QPalette::Highlight, QColor(0, 0, 128));
    gauge1_->setPalette(bar);

    paintRed(label2_, 14, false);
    paintRed(label3_, 16, true);
    label3_->setAlignment(Qt::AlignCenter);
    label3_->hide();

    pass_->setObjectName(QStringLiteral("Pass"));
    pass_->setGeometry(170, 10, 146, 22);
    pass_->setMaxLength(kLongestCode);

    button_->setObjectName(QStringLiteral("btnCancel"));
    button_->setGeometry(128, 56, 75, 25);
    // Enter is handled once, by the code field; the button is no default button.
    button_->setAutoDefault(false);
    button_->setDefault(false);
    setButtonRole(ButtonRole::CodeSending);

    connect(button_, &QPushButton::clicked, this, &TfRead::btnCancelClick);
    connect(pass_, &QLineEdit::returnPressed, this, &TfRead::btnCancelClick);
}

TfRead::ButtonRole TfRead::buttonRole() const {
    return static_cast<ButtonRole>(button_->property(kRole).toInt());
}

void TfRead::setButtonRole(ButtonRole role) {
    button_->setProperty(kRole, static_cast<int>(role));
}

void TfRead::showAccessPrompt(const catalogue::Messages& texts) {
    setWindowTitle(fromUtf8(texts.msgEnterAccess));
    pass_->clear();
    pass_->setEnabled(true);
    pass_->show();
    label2_->setText(fromUtf8(texts.msgAccessLabel));
    label2_->show();
    label3_->hide();
    label3_->setText(fromUtf8(texts.msgWrongAccess));
    button_->setText(QStringLiteral("OK"));
    button_->setEnabled(true);
    button_->show();
    setButtonRole(ButtonRole::CodeSending);
    gauge1_->setEnabled(false);
    gauge1_->hide();
    label1_->hide();
    present();
    pass_->setFocus();
}

void TfRead::showCodeRefused(bool withButton, const catalogue::Messages& texts) {
    pass_->hide();
    pass_->setEnabled(false);
    label2_->hide();
    label1_->hide();
    gauge1_->hide();
    gauge1_->setEnabled(false);
    button_->setText(QStringLiteral("OK"));
    button_->setEnabled(true);
    button_->setVisible(withButton);
    setButtonRole(ButtonRole::Closing);
    label3_->setText(fromUtf8(texts.msgWrongAccess));
    QFont font = label3_->font();
    font.setPixelSize(kRefusalPixels);
    label3_->setFont(font);
    label3_->show();
    present();
    if (withButton)
        button_->setFocus();
}

void TfRead::showCodeAccepted(const catalogue::Messages& texts) {
    setWindowTitle(fromUtf8(texts.msgEnterAccess));
    showTransferLook(true);
    hide();
}

void TfRead::showTransferLook(bool gaugeShown) {
    pass_->hide();
    pass_->setEnabled(false);
    label2_->hide();
    label3_->hide();
    gauge1_->setEnabled(true);
    gauge1_->setVisible(gaugeShown);
    label1_->show();
}

// Cancel is offered all through a transfer, so a device that stops answering
// never holds the window.
void TfRead::showTransferWaiting(link::TransferKind kind, int gaugeMaximum,
                                 const catalogue::Messages& texts) {
    const QString phase = std::exchange(phase_, QString());
    setWindowTitle(!phase.isEmpty()
                       ? phase
                       : fromUtf8(kind == link::TransferKind::Write ? texts.msgSending : texts.msgReading));
    label1_->setText(fromUtf8(texts.msgWaiting));
    gauge1_->setRange(0, gaugeMaximum);
    gauge1_->setValue(0);
    gauge1_->setTextVisible(false);
    progressTexts_ = nullptr;
    showTransferLook(false);
    button_->setText(fromUtf8(texts.msgCancel));
    button_->setEnabled(true);
    button_->show();
    setButtonRole(ButtonRole::Cancel);
    present();
}

void TfRead::showTransferRunning(int gaugeMaximum, const catalogue::Messages& texts) {
    gauge1_->setRange(0, gaugeMaximum);
    progressTexts_ = &texts;
    progressClock_.start();
    gauge1_->setTextVisible(true);
    setProgress(0);
    gauge1_->show();
    label1_->setText(fromUtf8(texts.msgInProgress));
}

// The gauge stays within its range; a value past it shows the end. The time left
// goes by the pace so far, once a second of it is known.
void TfRead::setProgress(int value) {
    gauge1_->setValue(std::clamp(value, gauge1_->minimum(), gauge1_->maximum()));
    if (!progressTexts_ || gauge1_->maximum() <= 0)
        return;
    const qint64 done = gauge1_->value();
    const qint64 whole = gauge1_->maximum();
    const QString percent = QString::number(done * 100 / whole);
    const qint64 elapsed = progressClock_.elapsed();
    if (done == 0 || elapsed < 1000) {
        gauge1_->setFormat(percent + QStringLiteral(" %"));
        return;
    }
    const qint64 secondsLeft = (elapsed * (whole - done) / done + 999) / 1000;
    const QString left =
        QStringLiteral("%1:%2").arg(secondsLeft / 60).arg(secondsLeft % 60, 2, 10, QLatin1Char('0'));
    gauge1_->setFormat(fromUtf8(progressTexts_->msgProgress)
                           .replace(QLatin1String("%1"), percent)
                           .replace(QLatin1String("%2"), left));
}

void TfRead::present() {
    if (!isVisible()) {
        if (const QScreen* desktop = window_ ? window_->screen() : screen())
            move(desktop->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void TfRead::btnCancelClick() {
    if (!button_->isEnabled() || !isVisible())
        return;
    switch (buttonRole()) {
    case ButtonRole::CodeSending: {
        const QString code = pass_->text();
        pass_->clear();
        // One submission: the code is checked until the caller shows the next mode.
        pass_->setEnabled(false);
        button_->setEnabled(false);
        emit codeSubmitted(code);
        break;
    }
    case ButtonRole::Closing:
        emit closeRequested();
        break;
    case ButtonRole::Cancel:
        emit cancelRequested();
        break;
    }
}

void TfRead::reject() {
    if (!isVisible())
        return;
    if (buttonRole() == ButtonRole::Cancel)
        emit cancelRequested();
    else
        emit closeRequested();
}

void TfRead::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

void TfRead::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && window_)
        window_->setEnabled(false);
    QDialog::showEvent(event);
}

void TfRead::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        if (window_)
            window_->setEnabled(true);
        // After the wrong-code notice the next prompt sends a code again.
        if (buttonRole() == ButtonRole::Closing)
            setButtonRole(ButtonRole::CodeSending);
    }
    QDialog::hideEvent(event);
}

} // namespace qta::app
