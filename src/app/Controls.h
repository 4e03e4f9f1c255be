#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QWidget;

// Named controls: catalogue texts find their controls by these names.
namespace qta::app {

// The communicator's digital inputs, analog inputs and outputs.
inline constexpr int kInputs = 8;
inline constexpr int kAnalogInputs = 2;
inline constexpr int kOutputs = 4;

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent);
QGroupBox* namedGroup(const QString& name, const QString& title, QWidget* parent);
// prefix + number, the way the families of controls are named ("LabelDIN" + 3).
QString numbered(const char* prefix, int number);

} // namespace qta::app
