#include "SerialBridgePort.h"

#include <QFileInfo>

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace qta::link {

namespace {

constexpr qint32 kBaudRate = 9600;

// A hung-up tty (its USB device unplugged, a pseudo-terminal's other side
// closed) refuses even to tell its settings.
bool ttyAnswers(int fd) {
    termios settings{};
    return fd >= 0 && ::tcgetattr(fd, &settings) == 0;
}

// Asks the serial driver to pass received bytes on at once rather than gather
// them; drivers without the flag (a pseudo-terminal) refuse, which is fine.
void askLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);
}

std::string userName(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    return entry ? entry->pw_name : std::to_string(uid);
}

std::string groupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

// Set when this user may not read and write `path`: the tty's owner and group
// tell the user whom to ask, or which group to join.
std::optional<OpenProblem> permissionProblem(const std::string& path) {
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0 || errno != EACCES)
        return std::nullopt;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return OpenProblem{path, userName(status.st_uid), groupName(status.st_gid)};
}

QSerialPort::DataBits dataBitsOf(WordLength length) {
    return length == WordLength::Bits7 ? QSerialPort::Data7 : QSerialPort::Data8;
}

QSerialPort::StopBits stopBitsOf(StopBits stopBits) {
    return stopBits == StopBits::Two ? QSerialPort::TwoStop : QSerialPort::OneStop;
}

std::optional<QSerialPort::Parity> parityOf(Parity parity) {
    switch (parity) {
    case Parity::None:
        return QSerialPort::NoParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    }
    return std::nullopt;
}

// The tty driver knows no DTR/DSR handshake.
std::optional<QSerialPort::FlowControl> flowOf(FlowControl flow) {
    switch (flow) {
    case FlowControl::None:
        return QSerialPort::NoFlowControl;
    case FlowControl::RtsCts:
        return QSerialPort::HardwareControl;
    case FlowControl::XonXoff:
        return QSerialPort::SoftwareControl;
    case FlowControl::DtrDsr:
        break;
    }
    return std::nullopt;
}

} // namespace

SerialBridgePort::SerialBridgePort(Clock& clock, DeviceInfo info)
    : info_(std::move(info)), readTimer_(clock) {}

SerialBridgePort::~SerialBridgePort() {
    // Closing may still signal; nothing of this object may answer by then.
    QObject::disconnect(&port_, nullptr, nullptr, nullptr);
}

SerialBridgePort::Opened SerialBridgePort::open(const std::string& path, Clock& clock, DeviceInfo info) {
    // Every name of one tty (a by-id link, a symlink) must take the same lock file.
    const QString target = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    if (target.isEmpty())
        return {};
    std::unique_ptr<SerialBridgePort> bridge(new SerialBridgePort(clock, std::move(info)));
    QSerialPort& port = bridge->port_;
    port.setPortName(target);
    port.setBaudRate(kBaudRate);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite)) {
        // A busy tty and a forbidden one both come back as a permission error.
        if (port.error() == QSerialPort::PermissionError)
            return {nullptr, permissionProblem(path)};
        return {};
    }
    askLowLatency(port.handle());
    bridge->watchPort();
    return {std::move(bridge), std::nullopt};
}

void SerialBridgePort::watchPort() {
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { queueCheck(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { noticeError(error); });
}

void SerialBridgePort::noticeError(QSerialPort::SerialPortError error) {
    if (broken_ || (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
                    error != QSerialPort::WriteError))
        return;
    if (ttyAnswers(port_.handle())) {
        // A wake-up that found nothing to read (the bytes were purged meanwhile) is
        // reported as an error with a stale cause, and may stop the port from
        // watching the tty; the tty is fine, so watch it again.
        port_.peek(port_.bytesAvailable() + 1);
        return;
    }
    broken_ = true;
    breakReason_ = port_.errorString().toStdString();
    readTimer_.stop();
    // Not here: the port is inside its own notification.
    QMetaObject::invokeMethod(
        &port_,
        [this] {
            port_.close();
            reportFailure();
        },
        Qt::QueuedConnection);
    queueCheck(); // a pending read ends with nothing
}

void SerialBridgePort::reportFailure() {
    if (!broken_ || !failed_ || failureReported_)
        return;
    failureReported_ = true;
    const Failed failed = failed_; // the owner may drop this port from inside
    failed(breakReason_);
}

void SerialBridgePort::onFailure(Failed failed) {
    failed_ = std::move(failed);
    if (broken_ && !failureReported_)
        QMetaObject::invokeMethod(
            &port_, [this] { reportFailure(); }, Qt::QueuedConnection);
}

void SerialBridgePort::queueCheck() {
    if (checkQueued_)
        return;
    checkQueued_ = true;
    QMetaObject::invokeMethod(
        &port_,
        [this] {
            checkQueued_ = false;
            completeIfReady();
        },
        Qt::QueuedConnection);
}

void SerialBridgePort::completeIfReady() {
    if (pendingDone_ && (broken_ || static_cast<std::size_t>(port_.bytesAvailable()) >= pendingCount_))
        finishRead();
}

void SerialBridgePort::finishRead() {
    readTimer_.stop();
    Bytes bytes;
    if (!broken_) {
        const QByteArray got = port_.read(static_cast<qint64>(pendingCount_));
        const auto* first = reinterpret_cast<const std::uint8_t*>(got.constData());
        bytes.assign(first, first + got.size());
    }
    const ReadDone done = std::move(pendingDone_);
    pendingDone_ = nullptr;
    done(std::move(bytes)); // last: the owner may drop this port from inside
}

void SerialBridgePort::read(std::size_t count, ReadDone done) {
    cancelRead();
    pendingCount_ = count;
    pendingDone_ = std::move(done);
    if (!broken_)
        readTimer_.start(readTimeout_, [this] { finishRead(); });
    queueCheck(); // the bytes may be here already
}

void SerialBridgePort::cancelRead() {
    readTimer_.stop();
    pendingDone_ = nullptr;
}

std::size_t SerialBridgePort::write(std::span<const std::uint8_t> bytes) {
    if (!usable() || bytes.empty())
        return 0;
    const qint64 taken =
        port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (taken <= 0)
        return 0;
    // Hands the bytes to the driver now, as far as it takes them without waiting;
    // the rest follows when the tty is ready.
    port_.flush();
    return broken_ ? 0 : static_cast<std::size_t>(taken);
}

void SerialBridgePort::purgeReceived() {
    if (usable())
        port_.clear(QSerialPort::Input); // ours and what the kernel holds
}

bool SerialBridgePort::resetDevice() {
    return usable() && port_.clear(QSerialPort::AllDirections);
}

bool SerialBridgePort::setBaudRate(int baud) {
    return usable() && port_.setBaudRate(baud);
}

bool SerialBridgePort::setDataCharacteristics(WordLength wordLength, StopBits stopBits, Parity parity) {
    const auto qtParity = parityOf(parity);
    return usable() && qtParity && port_.setDataBits(dataBitsOf(wordLength)) &&
           port_.setStopBits(stopBitsOf(stopBits)) && port_.setParity(*qtParity);
}

// The tty keeps its own XON and XOFF characters.
bool SerialBridgePort::setFlowControl(FlowControl flow, std::uint8_t, std::uint8_t) {
    const auto qtFlow = flowOf(flow);
    return usable() && qtFlow && port_.setFlowControl(*qtFlow);
}

// Writes never wait, so only the read time-out matters.
bool SerialBridgePort::setTimeouts(Millis read, Millis) {
    readTimeout_ = std::max(read, Millis(0));
    return true;
}

bool SerialBridgePort::getDeviceInfo(DeviceInfo& info) {
    if (!usable())
        return false;
    info = info_;
    return true;
}

} // namespace qta::link
