#include "LinkRig.h"

#include "ScriptedBridge.h"
#include "TcpPeer.h"

#include "link/GprsLink.h"
#include "sim/VirtualBridge.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <thread>

namespace qta::link::test {
namespace {

using namespace std::chrono_literals;

transfer::DateTime wallClock() {
    return {2026, 12, 7, 22, 9};
}

Millis dueOf(sim::Micros due) {
    if (due == sim::kNever)
        return Millis::max();
    return std::chrono::ceil<Millis>(due);
}

// Writes the engine makes, recorded on the way to the bridge.
class RecordingDriver : public BridgeDriver {
public:
    explicit RecordingDriver(BridgeDriver& inner) : inner_(inner) {}
    std::unique_ptr<BridgePort> openByDescription(const std::string& description) override;
    Bytes written;

private:
    BridgeDriver& inner_;
};

class RecordingPort : public BridgePort {
public:
    RecordingPort(std::unique_ptr<BridgePort> inner, Bytes& written)
        : inner_(std::move(inner)), written_(written) {}
    bool resetDevice() override { return inner_->resetDevice(); }
    bool setBaudRate(int baud) override { return inner_->setBaudRate(baud); }
    bool setDataCharacteristics(WordLength w, StopBits s, Parity p) override {
        return inner_->setDataCharacteristics(w, s, p);
    }
    bool setFlowControl(FlowControl f, std::uint8_t on, std::uint8_t off) override {
        return inner_->setFlowControl(f, on, off);
    }
    bool setTimeouts(Millis read, Millis write) override { return inner_->setTimeouts(read, write); }
    bool getDeviceInfo(DeviceInfo& info) override { return inner_->getDeviceInfo(info); }
    void read(std::size_t count, ReadDone done) override { inner_->read(count, std::move(done)); }
    void cancelRead() override { inner_->cancelRead(); }
    std::size_t write(std::span<const std::uint8_t> bytes) override {
        const std::size_t taken = inner_->write(bytes);
        written_.insert(written_.end(), bytes.begin(), bytes.begin() + static_cast<long>(taken));
        return taken;
    }
    void purgeReceived() override { inner_->purgeReceived(); }
    void onFailure(Failed failed) override { inner_->onFailure(std::move(failed)); }

private:
    std::unique_ptr<BridgePort> inner_;
    Bytes& written_;
};

std::unique_ptr<BridgePort> RecordingDriver::openByDescription(const std::string& description) {
    std::unique_ptr<BridgePort> port = inner_.openByDescription(description);
    return port ? std::make_unique<RecordingPort>(std::move(port), written) : nullptr;
}

class UsbRig : public LinkRig {
public:
    explicit UsbRig(sim::DeviceOptions device) : bridge_(clock, bridgeOptions(device)), recorder_(bridge_) {
        link = std::make_unique<DeviceLink>(config, view, recorder_, clock, wallClock, options());
        link->start();
    }
    bool runUntil(const std::function<bool()>& done, Millis limit) override {
        return clock.runUntil(done, limit);
    }
    sim::VirtualDevice& device() override { return bridge_.device(); }
    const Bytes& written() const override { return recorder_.written; }
    Transport transport() const override { return Transport::Usb; }

private:
    static sim::VirtualBridgeOptions bridgeOptions(sim::DeviceOptions device) {
        sim::VirtualBridgeOptions options;
        options.device = device;
        return options;
    }
    sim::VirtualBridge bridge_;
    RecordingDriver recorder_;
};

class GprsRig : public LinkRig {
public:
    GprsRig(sim::DeviceOptions device, std::size_t piece) : device_(network(device)), piece_(piece) {
        link = std::make_unique<DeviceLink>(config, view, noBridges_, clock, wallClock, options());
        link->rdbGPRSClick();
        peer_ = std::make_unique<TcpPeer>(link->gprsPort());
        peer_->onReceive = [this](const Bytes& bytes) {
            device_.advanceTo(deviceNow());
            device_.receive(bytes);
        };
        device_.onOutput([this](std::span<const std::uint8_t> unit) {
            if (!peer_->closed())
                peer_->send(Bytes(unit.begin(), unit.end()), piece_);
        });
        device_.onVanish([this] { peer_->drop(); });
        device_.onHangUp([this] { peer_->drop(); });
        waitFor([&] { return link->gprs()->activity().connected; });
        device_.start(deviceNow());
    }
    ~GprsRig() override { link.reset(); }

    bool runUntil(const std::function<bool()>& done, Millis limit) override {
        const Millis until = clock.now() + limit;
        for (;;) {
            settle();
            if (done())
                return true;
            const Millis next = std::min(clock.nextDue().value_or(Millis::max()), dueOf(device_.nextDue()));
            if (next > until)
                return false;
            clock.advance(std::max(next, clock.now()) - clock.now());
            device_.advanceTo(deviceNow());
        }
    }
    sim::VirtualDevice& device() override { return device_; }
    const Bytes& written() const override { return peer_->received(); }
    Transport transport() const override { return Transport::Gprs; }

private:
    static sim::DeviceOptions network(sim::DeviceOptions device) {
        device.transport = sim::Transport::Network;
        return device;
    }
    sim::Micros deviceNow() const { return std::chrono::duration_cast<sim::Micros>(clock.now()); }

    // Lets everything happen that can without the clock: the connection thread,
    // the work it queues for this thread, and the peer.
    void settle() {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        for (;;) {
            peer_->pull();
            QCoreApplication::processEvents();
            const GprsLink::Activity activity = link->gprs()->activity();
            const bool caughtUp =
                !activity.connected || peer_->closed() ||
                (activity.bytesIn == peer_->sent() && activity.bytesOut == peer_->received().size());
            if (activity.settled && caughtUp) {
                if (peer_->closed() || !peer_->hasPieces())
                    return;
                peer_->sendNextPiece();
                continue;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the link did not settle";
                return;
            }
            std::this_thread::yield();
        }
    }
    void waitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            peer_->pull();
            QCoreApplication::processEvents();
            std::this_thread::yield();
        }
        ASSERT_TRUE(done());
    }

    ScriptedDriver noBridges_{clock};
    sim::VirtualDevice device_;
    std::size_t piece_;
    std::unique_ptr<TcpPeer> peer_;
};

} // namespace

LinkOptions LinkRig::options() {
    LinkOptions options;
    options.gprs.listenPort = 0;
    options.gprs.closeDelay = 20ms;
    options.gprs.transferEndPause = 1ms;
    return options;
}

bool LinkRig::unlock(const std::string& code) {
    using Dialog = RecordingView::DialogShown;
    if (!runUntil([&] { return view.dialog == Dialog::AccessPrompt; }, 5s))
        return false;
    link->submitAccessCode(code);
    return runUntil([&] { return view.connected && !view.reports.empty(); }, 5s);
}

std::optional<TransferEnd> LinkRig::transfer(TransferKind kind, Millis limit) {
    const std::size_t before = view.ended.size();
    link->requestTransfer(kind);
    if (!runUntil([&] { return view.ended.size() > before; }, limit))
        return std::nullopt;
    return view.ended.back().end;
}

std::unique_ptr<LinkRig> makeRig(Transport transport, sim::DeviceOptions device, std::size_t piece) {
    if (transport == Transport::Gprs)
        return std::make_unique<GprsRig>(device, piece);
    return std::make_unique<UsbRig>(device);
}

} // namespace qta::link::test
