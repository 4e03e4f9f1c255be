#include "Lamp.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

namespace qta::app {
namespace {

QColor colourOf(Lamp::Colour colour) {
    switch (colour) {
    case Lamp::Colour::Green:
        return QColor(0, 200, 0);
    case Lamp::Colour::Red:
        return QColor(230, 0, 0);
    case Lamp::Colour::Grey:
        break;
    }
    return QColor(170, 170, 170);
}

} // namespace

Lamp::Lamp(const QString& name, Colour colour, QWidget* parent) : QWidget(parent), colour_(colourOf(colour)) {
    setObjectName(name);
    setFixedSize(sizeHint());
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QRadialGradient shade(disc.center() - QPointF(disc.width() / 5, disc.height() / 5), disc.width() * 0.7);
    shade.setColorAt(0, colour_.lighter(170));
    shade.setColorAt(1, colour_.darker(130));
    painter.setBrush(shade);
    painter.setPen(QPen(colour_.darker(200), 1));
    painter.drawEllipse(disc);
}

void Lamp::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace qta::app
