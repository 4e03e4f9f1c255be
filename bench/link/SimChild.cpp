#include "SimChild.h"

namespace qta::bench {

SimChild::SimChild(int baud) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(QTA_SIM_PATH),
                   {QStringLiteral("--pty"), QStringLiteral("--baud"), QString::number(baud)});
    QByteArray line;
    while (!line.contains('\n') && process_.waitForReadyRead(5000))
        line += process_.readAllStandardOutput();
    if (line.contains('\n'))
        ptyPath_ = QString::fromLocal8Bit(line.left(line.indexOf('\n')));
}

SimChild::~SimChild() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(3000))
        process_.kill();
    process_.waitForFinished(3000);
}

} // namespace qta::bench
