#pragma once

#include <QProcess>
#include <QString>

namespace qta::bench {

// The virtual device as a child process behind a pseudo-terminal, paced at a baud
// rate (0 for none). Ended when this goes.
class SimChild {
public:
    explicit SimChild(int baud);
    ~SimChild();
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    // The pseudo-terminal's path (its first line of output), empty if it did not start.
    const QString& ptyPath() const { return ptyPath_; }

private:
    QProcess process_;
    QString ptyPath_;
};

} // namespace qta::bench
