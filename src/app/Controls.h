#pragma once

#include "model/DeviceCounts.h"

#include <QString>

class QGroupBox;
class QLabel;
class QWidget;

// Named controls: catalogue texts find their controls by these names.
namespace qta::app {

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent);
QGroupBox* namedGroup(const QString& name, const QString& title, QWidget* parent);
// prefix + number, the way the families of controls are named ("LabelDIN" + 3).
QString numbered(const char* prefix, int number);

// The design text of a named control or menu: its caption in the Slovak catalogue,
// the window's design language (empty for a control the catalogue gives no caption).
QString designCaption(const QString& name);

} // namespace qta::app
