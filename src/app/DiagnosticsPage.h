#pragma once

#include <QWidget>

class QGridLayout;
class QGroupBox;

namespace qta::app {

// The diagnostics page: input and output lamps, analog inputs, supply, clock and
// signal. Until a device reports, it shows its disconnected look: every lamp
// unlit, the read-outs empty, the gauge at 0.
class DiagnosticsPage : public QWidget {
    Q_OBJECT
public:
    explicit DiagnosticsPage(QWidget* parent);

    // The disconnected look.
    void blank();
    // "New" clears what belongs to the last device contact: supply, GPRS, clock, gauge.
    void clearDeviceReadouts();

private:
    struct LampGroup {
        const char* name;
        const char* offCaption[2]; // name, design text
        const char* onCaption[2];
        int rows;
        const char* rowLabel;
        const char* offLamp;
        const char* offGrey;
        const char* onLamp;
        const char* onGrey;
    };
    QGroupBox* lampGroup(const LampGroup& group);
    QWidget* inputsGroup();
    QWidget* outputsGroup();
    QWidget* analogGroup();
    QWidget* powerGroup();
    QWidget* timeGroup();
    QWidget* signalGroup();
    void addLampPlace(QGridLayout* grid, int row, int column, const QString& lit, bool litGreen,
                      const QString& grey);
};

} // namespace qta::app
