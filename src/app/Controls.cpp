#include "Controls.h"

#include <QGroupBox>
#include <QLabel>

namespace qta::app {

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

QGroupBox* namedGroup(const QString& name, const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    return box;
}

QString numbered(const char* prefix, int number) {
    return QLatin1String(prefix) + QString::number(number);
}

} // namespace qta::app
