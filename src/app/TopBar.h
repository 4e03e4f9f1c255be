#pragma once

#include "catalogue/LanguageCatalogue.h"
#include "model/FieldTable.h"
#include "session/LinkView.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QRadioButton;

namespace qta::app {

class FieldBinder;

// The bar above the pages: the transport choice, the APN and access-code fields of
// the Configuration, the transport's name, the link images, the connection status
// and the hidden language field. It shows what it is told and reports clicks.
class TopBar : public QWidget {
    Q_OBJECT
public:
    TopBar(FieldBinder& binder, const FieldTable& table, QWidget* parent = nullptr);

    // The language's code into `Sprache`, the caption, hint and left edge of
    // `Heslo`, and the status text of the new language.
    void applyLanguage(const catalogue::LanguageCatalogue& texts);
    // The code that `Sprache` holds, which the settings file keeps.
    QString languageCode() const;

    // `Image1` while the link is up, `Image2` otherwise.
    void showLinkUp(bool up);
    // `Label406`: "Connected" in green or "Disconnected" in red, in the current
    // language; a later switch of language keeps the state.
    void showConnected(bool connected);
    bool connected() const { return connected_; }
    // The transport cannot change while a device is attached.
    void lockTransportChoice(bool locked);
    // `Label411`: "USB" or "GPRS".
    void showTransport(link::Transport transport);

signals:
    void usbClicked();
    void gprsClicked();
    // A click on either link image.
    void linkImageClicked();
    // The transport shown, whoever chose it.
    void transportShown(link::Transport transport);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showStatusText();

    QRadioButton* usb_;
    QRadioButton* gprs_;
    QLabel* heslo_;
    QLabel* transport_;
    QLabel* linkUp_;
    QLabel* linkDown_;
    QLabel* status_;
    QComboBox* sprache_;
    const catalogue::Messages* messages_ = nullptr;
    bool connected_ = false;
};

} // namespace qta::app
