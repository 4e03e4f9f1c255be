#pragma once

#include "log/StatusReport.h"

#include <QWidget>

#include <array>

class QGridLayout;
class QGroupBox;
class QLineEdit;
class QProgressBar;

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

    // One decoded status report. While an output command waits to be sent the
    // output lamps keep the state its click showed.
    void ShowDiag(const log::StatusView& status, bool outputCommandPending);
    // The state a taken output command asks for, shown at once: 1..4 light the
    // green off lamp of output 1..4, 5..8 the red on lamp of output 1..4.
    void showOutputCommand(int command);

signals:
    // A click on a grey output lamp, with the command it stands for.
    void outputClicked(int command);

private:
    struct LampGroup {
        const char* name;
        const char* offCaption; // names of the column captions
        const char* onCaption;
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
    QWidget* grey(const char* family, int number) const;
    void showOutput(int output, bool on);
    QLineEdit* readoutNamed(const char* name) const;
    QProgressBar* gauge() const;
};

} // namespace qta::app
