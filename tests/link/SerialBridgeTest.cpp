// The tty bridge against real pseudo-terminals, whose other side the test plays
// as the device, and the search for bridges in a made-up sysfs tree.
#include "link/FixedPathDriver.h"
#include "link/QtClock.h"
#include "link/SerialBridgePort.h"
#include "link/UsbBridgeDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

using namespace qta::link;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// The device's end of a pseudo-terminal; the bridge opens the other end.
class Pty {
public:
    Pty() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            path_ = ::ptsname(master_);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& path() const { return path_; }
    void send(std::string_view bytes) const {
        QCOMPARE(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the bridge wrote, as soon as `count` bytes are there (at most a second).
    std::string receive(std::size_t count) const {
        std::string got;
        QElapsedTimer waited;
        waited.start();
        while (got.size() < count && waited.elapsed() < 1000) {
            pollfd ready{master_, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            char buffer[64];
            const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_;
    std::string path_;
};

// Runs the event loop until `done` holds, at most `limitMs`; true when it held.
bool spinUntil(const std::function<bool()>& done, int limitMs = 2000) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() >= limitMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

struct ReadResult {
    bool done = false;
    std::string bytes;
};

std::shared_ptr<ReadResult> startRead(BridgePort& port, std::size_t count) {
    auto result = std::make_shared<ReadResult>();
    port.read(count, [result](Bytes bytes) {
        result->done = true;
        result->bytes.assign(bytes.begin(), bytes.end());
    });
    return result;
}

std::unique_ptr<SerialBridgePort> openPort(const std::string& path, Clock& clock) {
    return SerialBridgePort::open(path, clock).port;
}

std::string infoOf(BridgePort& port) {
    DeviceInfo info;
    if (!port.getDeviceInfo(info))
        return "no answer";
    char ids[16];
    std::snprintf(ids, sizeof ids, " %04x:%04x ", info.vendorId, info.productId);
    return info.description + ids + info.serialNumber + " chip " + std::to_string(info.chipType);
}

std::string describe(const std::optional<OpenProblem>& problem) {
    return problem ? problem->path + " " + problem->owner + ":" + problem->group : "no problem";
}

// What a USB device directory in sysfs holds; a null leaves the file out.
struct UsbDevice {
    const char* idVendor;
    const char* idProduct;
    const char* bcdDevice;
    const char* product;
    const char* serial;
};
constexpr UsbDevice kFt232r{"0403", "6001", "0600", "FT232R USB UART", "A50285BI"};
// Without its product string: known by its vendor and product ID.
constexpr UsbDevice kFt230x{"0403", "6015", "1000", nullptr, "DK0ABCDE"};
constexpr UsbDevice kProlific{"067b", "2303", "0300", "USB-Serial Controller", nullptr};
// An FT232R that another maker renamed is not our bridge.
constexpr UsbDevice kRenamedFt232r{"0403", "6001", "0600", "Weather Station", nullptr};

// A sysfs tree shaped like the kernel's, each USB-serial tty's /dev node a link
// to a pseudo-terminal; readable by everyone.
class FakeSysfs {
public:
    FakeSysfs() {
        fs::permissions(base(), fs::perms::all & ~(fs::perms::group_write | fs::perms::others_write));
    }
    std::string root() const { return base() / "sys"; }
    std::string devDir() const { return base() / "dev"; }
    std::string latencyTimer(const std::string& tty) const {
        std::ifstream in(root() + "/bus/usb-serial/devices/" + tty + "/latency_timer");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // `usbPort` is the device's place on the bus ("1-2").
    void addTty(const std::string& tty, const std::string& usbPort, const UsbDevice& usb,
                const std::string& ptyPath) const {
        // The root hub is a USB device too; the search must stop below it.
        const fs::path hub = fs::path(root()) / "devices/pci0000:00/0000:00:14.0/usb1";
        write(hub / "idVendor", "1d6b");
        write(hub / "idProduct", "0002");
        write(hub / "product", "xHCI Host Controller");
        for (const auto& [name, value] : {std::pair{"idVendor", usb.idVendor},
                                          {"idProduct", usb.idProduct},
                                          {"bcdDevice", usb.bcdDevice},
                                          {"product", usb.product},
                                          {"serial", usb.serial}}) {
            if (value)
                write(hub / usbPort / name, value);
        }
        const fs::path classEntry = hub / usbPort / (usbPort + ":1.0") / tty / "tty" / tty;
        fs::create_directories(classEntry);
        fs::create_symlink("../../../" + tty, classEntry / "device");
        fs::create_directories(fs::path(root()) / "class/tty");
        fs::create_symlink(classEntry, fs::path(root()) / "class/tty" / tty);
        write(fs::path(root()) / "bus/usb-serial/devices" / tty / "latency_timer", "16");
        fs::create_directories(devDir());
        fs::create_symlink(ptyPath, fs::path(devDir()) / tty);
    }

private:
    fs::path base() const { return dir_.path().toStdString(); }
    static void write(const fs::path& file, const char* text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << '\n';
    }

    QTemporaryDir dir_;
};

// Runs `probe` as a user without privileges: root opens every tty, whatever its
// permissions. The answer comes back through a pipe; empty when that failed.
std::string asUnprivilegedUser(const std::function<std::string()>& probe) {
    if (::geteuid() != 0)
        return probe();
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(1);
        const std::string answer = probe();
        const bool sent =
            ::write(channel[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : std::string();
}

} // namespace

class SerialBridgeTest : public QObject {
    Q_OBJECT

private slots:
    // A read ends once its bytes are there, or at its time-out on the port's
    // clock with what came; it takes no more than asked and leaves the rest, and
    // it never reports from inside read().
    void readsEndByCountOrByTimeOutAndKeepTheRest() {
        Pty pty;
        ManualClock clock; // stands still: only the bytes can end a read
        auto port = openPort(pty.path(), clock);
        QVERIFY(port);
        QVERIFY(port->setTimeouts(50ms, 50ms));

        pty.send("ABCDE"); // before any read
        auto first = startRead(*port, 2);
        QVERIFY(!first->done);
        QVERIFY(spinUntil([&] { return first->done; }));
        QCOMPARE(first->bytes, "AB");

        auto second = startRead(*port, 2);
        QVERIFY(!second->done);
        QVERIFY(spinUntil([&] { return second->done; }));
        QCOMPARE(second->bytes, "CD");

        auto third = startRead(*port, 3);
        QVERIFY(!spinUntil([&] { return third->done; }, 30)); // "E" alone does not end it
        clock.advance(49ms);
        QVERIFY(!third->done);
        clock.advance(1ms);
        QVERIFY(third->done);
        QCOMPARE(third->bytes, "E");

        // Bytes that arrive while the read waits count towards it.
        auto fourth = startRead(*port, 3);
        pty.send("FGHI");
        QVERIFY(spinUntil([&] { return fourth->done; }));
        QCOMPARE(fourth->bytes, "FGH");

        // A cancelled read never reports; the next one gets its bytes.
        auto cancelled = startRead(*port, 1);
        port->cancelRead();
        auto fifth = startRead(*port, 1);
        QVERIFY(spinUntil([&] { return fifth->done; }));
        QCOMPARE(fifth->bytes, "I");
        clock.advance(1s);
        QVERIFY(!cancelled->done);

        // The owner may drop the port from inside a report, as a disconnect does.
        port->read(1, [&](Bytes) { port.reset(); });
        pty.send("J");
        QVERIFY(spinUntil([&] { return !port; }));
    }

    // Writes reach the device at once, without waiting for the event loop; a purge
    // drops what came and was not read; the real clock ends an idle read.
    void writesAtOnceAndPurgeDropsUnreadBytes() {
        Pty pty;
        QtClock clock;
        auto port = openPort(pty.path(), clock);
        QVERIFY(port);
        const Bytes frame = {0x01, 0xAA, 0x00, 0xFF, 0x0D};
        QCOMPARE(port->write(frame), frame.size());
        QCOMPARE(pty.receive(5), std::string("\x01\xAA\x00\xFF\x0D", 5));

        pty.send("junk!");
        auto partOfJunk = startRead(*port, 1);
        QVERIFY(spinUntil([&] { return partOfJunk->done; }));
        QCOMPARE(partOfJunk->bytes, "j");
        port->purgeReceived();
        pty.send("ok");
        auto answer = startRead(*port, 2);
        QVERIFY(spinUntil([&] { return answer->done; }));
        QCOMPARE(answer->bytes, "ok");

        QVERIFY(port->setTimeouts(30ms, 30ms));
        QElapsedTimer waited;
        waited.start();
        auto idle = startRead(*port, 4);
        QVERIFY(spinUntil([&] { return idle->done; }));
        QCOMPARE(idle->bytes, "");
        QVERIFY(waited.elapsed() >= 25);
    }

    // A tty is ours alone until we let it go, under any of its names, and a
    // busy tty is not a permission problem.
    void aTtyOpensOnlyOnce() {
        Pty pty;
        ManualClock clock;
        QTemporaryDir dir;
        const std::string alias = (dir.path() + "/ttyUSB0").toStdString();
        fs::create_symlink(pty.path(), alias);

        FixedPathDriver fixed(clock, alias);
        auto first = fixed.openByDescription("FT232R USB UART"); // any description opens the path
        QVERIFY(first);
        QCOMPARE(infoOf(*first), " 0000:0000  chip 3"); // a pseudo-terminal tells nothing

        const auto again = SerialBridgePort::open(pty.path(), clock);
        QVERIFY(!again.port);
        QCOMPARE(describe(again.problem), "no problem");
        QVERIFY(!fixed.openByDescription("FT230X Basic UART"));
        QCOMPARE(describe(fixed.lastOpenProblem()), "no problem");

        first.reset();
        auto reopened = fixed.openByDescription("FT230X Basic UART");
        QVERIFY(reopened);
        QCOMPARE(reopened->write(Bytes{0x55}), 1u);
        QCOMPARE(pty.receive(1), "\x55");
    }

    // The device side going away (as an unplugged bridge does) is reported once,
    // from the event loop; the pending read and every later one end at once with
    // nothing, and nothing more is written.
    void aVanishedDeviceFailsOnceAndEndsReads() {
        auto pty = std::make_unique<Pty>();
        ManualClock clock; // stands still: no read can end by its time-out
        auto port = openPort(pty->path(), clock);
        QVERIFY(port);
        int failures = 0;
        std::string reason;
        port->onFailure([&](const std::string& why) {
            ++failures;
            reason = why;
        });
        auto pending = startRead(*port, 10);
        pty->closeMaster();
        QVERIFY(spinUntil([&] { return pending->done && failures == 1; }));
        QCOMPARE(pending->bytes, "");
        QVERIFY(!reason.empty());

        auto later = startRead(*port, 1);
        QVERIFY(!later->done);
        QVERIFY(spinUntil([&] { return later->done; }));
        QCOMPARE(later->bytes, "");
        QCOMPARE(port->write(Bytes{0x01}), 0u);
        QCOMPARE(infoOf(*port), "no answer");
        QVERIFY(!spinUntil([&] { return failures > 1; }, 50));

        auto other = std::make_unique<Pty>();
        auto dropped = openPort(other->path(), clock);
        QVERIFY(dropped);
        dropped->onFailure([&](const std::string&) { dropped.reset(); });
        auto orphan = startRead(*dropped, 1);
        other->closeMaster();
        QVERIFY(spinUntil([&] { return !dropped; }));
        QVERIFY(!spinUntil([&] { return orphan->done; }, 20)); // gone with its port
    }

    // The bridge is found by the USB product string in sysfs, or by its vendor
    // and product ID when the string cannot be read; other USB-serial adapters,
    // and FTDI chips renamed by their maker, are passed over.
    void findsTheBridgeByItsUsbDescription() {
        Pty renamed, prolific, ft232r, ft230x;
        FakeSysfs sysfs;
        sysfs.addTty("ttyUSB0", "1-1", kRenamedFt232r, renamed.path());
        sysfs.addTty("ttyUSB1", "1-2", kProlific, prolific.path());
        sysfs.addTty("ttyUSB2", "1-3", kFt232r, ft232r.path());
        sysfs.addTty("ttyUSB10", "1-4", kFt230x, ft230x.path());
        ManualClock clock;
        UsbBridgeDriver driver(clock, sysfs.root(), sysfs.devDir());

        auto port = driver.openByDescription("FT232R USB UART");
        QVERIFY(port);
        QCOMPARE(port->write(Bytes{'2'}), 1u);
        QCOMPARE(ft232r.receive(1), "2");
        QCOMPARE(infoOf(*port), "FT232R USB UART 0403:6001 A50285BI chip 5");
        QCOMPARE(sysfs.latencyTimer("ttyUSB2"), "1");
        QCOMPARE(sysfs.latencyTimer("ttyUSB0"), "16\n"); // a tty we did not open

        QVERIFY(!driver.openByDescription("FT232R USB UART")); // ours already
        QCOMPARE(describe(driver.lastOpenProblem()), "no problem");

        auto other = driver.openByDescription("FT230X Basic UART");
        QVERIFY(other);
        QCOMPARE(other->write(Bytes{'X'}), 1u);
        QCOMPARE(ft230x.receive(1), "X");
        QCOMPARE(infoOf(*other), "FT230X Basic UART 0403:6015 DK0ABCDE chip 3");

        // With only an FT230X and a foreign adapter attached, the FT232R is not there.
        Pty lone, foreign;
        FakeSysfs onlyFt230x;
        onlyFt230x.addTty("ttyUSB0", "1-1", kProlific, foreign.path());
        onlyFt230x.addTty("ttyUSB1", "1-2", kFt230x, lone.path());
        UsbBridgeDriver secondDriver(clock, onlyFt230x.root(), onlyFt230x.devDir());
        QVERIFY(!secondDriver.openByDescription("FT232R USB UART"));
        QCOMPARE(describe(secondDriver.lastOpenProblem()), "no problem");
        QVERIFY(secondDriver.openByDescription("FT230X Basic UART"));
    }

    // A bridge this user may not open is reported with its path, owner and group,
    // so the user can be told how to mend it.
    void aForbiddenTtyNamesPathOwnerAndGroup() {
        Pty pty;
        QCOMPARE(::chmod(pty.path().c_str(), 0), 0);
        FakeSysfs sysfs;
        sysfs.addTty("ttyUSB0", "1-1", kFt232r, pty.path());

        const std::string answer = asUnprivilegedUser([&] {
            ManualClock clock;
            UsbBridgeDriver usb(clock, sysfs.root(), sysfs.devDir());
            FixedPathDriver fixed(clock, pty.path());
            if (usb.openByDescription("FT232R USB UART") || fixed.openByDescription("FT232R USB UART"))
                return std::string("opened");
            return describe(usb.lastOpenProblem()) + "\n" + describe(fixed.lastOpenProblem());
        });
        if (answer.empty())
            QSKIP("cannot run as a user without privileges here");
        const QFileInfo tty(QString::fromStdString(pty.path()));
        const std::string owner = (tty.owner() + ":" + tty.group()).toStdString();
        QCOMPARE(answer, sysfs.devDir() + "/ttyUSB0 " + owner + "\n" + pty.path() + " " + owner);
    }
};

QTEST_GUILESS_MAIN(SerialBridgeTest)
#include "SerialBridgeTest.moc"
