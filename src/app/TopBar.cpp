#include "TopBar.h"

#include "Controls.h"
#include "FieldBinder.h"
#include "TextEdge.h"

#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

namespace qta::app {
namespace {

constexpr int kHeight = 30;
constexpr int kStatusPixels = 13;
const QColor kConnectedColour(0, 128, 0);

// The link icon: a plug, green when linked, grey otherwise.
QLabel* linkImage(const QString& name, const QColor& colour, QWidget* parent) {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(150), 2));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(3, 7, 10, 8), 2, 2);
    painter.drawLine(QPointF(13, 9), QPointF(19, 9));
    painter.drawLine(QPointF(13, 13), QPointF(19, 13));
    painter.drawLine(QPointF(0, 11), QPointF(3, 11));
    painter.end();
    auto* image = new QLabel(parent);
    image->setObjectName(name);
    image->setPixmap(pixmap);
    // Its own size also while hidden, so the two images cover the same place.
    image->setFixedSize(pixmap.size());
    return image;
}

QRadioButton* radio(const QString& name, QWidget* parent) {
    auto* button = new QRadioButton(name, parent);
    button->setObjectName(QStringLiteral("rdb") + name);
    return button;
}

} // namespace

TopBar::TopBar(FieldBinder& binder, const FieldTable& table, QWidget* parent)
    : QWidget(parent), usb_(radio(QStringLiteral("USB"), this)), gprs_(radio(QStringLiteral("GPRS"), this)),
      heslo_(namedLabel(QStringLiteral("Heslo"), QStringLiteral("Heslo"), this)),
      transport_(namedLabel(QStringLiteral("Label411"), QStringLiteral("USB"), this)),
      linkUp_(linkImage(QStringLiteral("Image1"), QColor(0, 170, 0), this)),
      linkDown_(linkImage(QStringLiteral("Image2"), QColor(150, 150, 150), this)),
      status_(namedLabel(QStringLiteral("Label406"), QStringLiteral("Odpojené"), this)),
      sprache_(new QComboBox(this)) {
    setFixedHeight(kHeight);
    // Placed by pixel like the catalogue's left edge of `Heslo`.
    usb_->setChecked(true);
    usb_->move(8, 6);
    gprs_->move(60, 6);
    namedLabel(QStringLiteral("Label415"), QStringLiteral("APN:"), this)->move(125, 8);
    binder.createPlaced(table.id(Family::editAPN), this)->setGeometry(155, 4, 130, 22);
    heslo_->setToolTip(QStringLiteral("Enter new acces code"));
    heslo_->move(336, 8);
    binder.createPlaced(table.id(Family::Pass), this)->setGeometry(378, 4, 90, 22);
    transport_->move(480, 8);
    linkUp_->move(515, 4);
    linkUp_->hide();
    linkDown_->move(515, 4);
    QFont statusFont = status_->font();
    statusFont.setPixelSize(kStatusPixels);
    status_->setFont(statusFont);
    status_->setGeometry(545, 6, 200, 20);
    showConnected(false);
    sprache_->setObjectName(QStringLiteral("Sprache"));
    sprache_->setEditable(true);
    sprache_->addItems({QStringLiteral("EN"), QStringLiteral("DE"), QStringLiteral("SK")});
    sprache_->setEditText(QStringLiteral("EN"));
    sprache_->hide();

    connect(usb_, &QRadioButton::clicked, this, &TopBar::usbClicked);
    connect(gprs_, &QRadioButton::clicked, this, &TopBar::gprsClicked);
    linkUp_->installEventFilter(this);
    linkDown_->installEventFilter(this);
}

void TopBar::applyLanguage(const catalogue::LanguageCatalogue& texts) {
    sprache_->setEditText(fromUtf8(texts.code));
    heslo_->setText(fromUtf8(texts.heslo.caption));
    heslo_->adjustSize(); // placed by pixel, outside any layout: it keeps the width it is given
    heslo_->setToolTip(fromUtf8(texts.heslo.hint));
    heslo_->move(texts.heslo.left, heslo_->y());
    messages_ = &texts.messages;
    showStatusText();
}

QString TopBar::languageCode() const {
    return sprache_->currentText();
}

void TopBar::showLinkUp(bool up) {
    linkUp_->setVisible(up);
    linkDown_->setVisible(!up);
}

void TopBar::showConnected(bool connected) {
    connected_ = connected;
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, connected ? kConnectedColour : QColor(Qt::red));
    status_->setPalette(palette);
    showStatusText();
}

void TopBar::showStatusText() {
    // Until a language is applied the label keeps its design text.
    if (messages_)
        status_->setText(fromUtf8(connected_ ? messages_->msgConnected : messages_->msgDisconnected));
}

void TopBar::lockTransportChoice(bool locked) {
    usb_->setEnabled(!locked);
    gprs_->setEnabled(!locked);
}

void TopBar::showTransport(link::Transport transport) {
    const bool usb = transport == link::Transport::Usb;
    transport_->setText(usb ? QStringLiteral("USB") : QStringLiteral("GPRS"));
    transport_->adjustSize(); // placed by pixel like Heslo: "GPRS" needs more than "USB"
    // The buttons follow too, also when the program chose the transport (--listen).
    (usb ? usb_ : gprs_)->setChecked(true);
    emit transportShown(transport);
}

bool TopBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* image = static_cast<QWidget*>(watched);
        if (image->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            emit linkImageClicked();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qta::app
