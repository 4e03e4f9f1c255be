#include "LinkRig.h"

#include "GprsSettle.h"
#include "ScriptedBridge.h"
#include "TcpPeer.h"

#include "link/GprsLink.h"
#include "link/TracingBridge.h"
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

class UsbRig : public LinkRig {
public:
    explicit UsbRig(sim::DeviceOptions device)
        : bridge_(clock, bridgeOptions(device)),
          recorder_(bridge_, [this](WatchedDriver::Direction direction, std::span<const std::uint8_t> bytes) {
              if (direction == WatchedDriver::Direction::ToDevice)
                  written_.insert(written_.end(), bytes.begin(), bytes.end());
          }) {
        link = std::make_unique<DeviceLink>(config, view, recorder_, clock, wallClock, options());
        link->start();
    }
    bool runUntil(const std::function<bool()>& done, Millis limit) override {
        return clock.runUntil(done, limit);
    }
    sim::VirtualDevice& device() override { return bridge_.device(); }
    const Bytes& written() const override { return written_; }
    Transport transport() const override { return Transport::Usb; }

private:
    static sim::VirtualBridgeOptions bridgeOptions(sim::DeviceOptions device) {
        sim::VirtualBridgeOptions options;
        options.device = device;
        return options;
    }
    sim::VirtualBridge bridge_;
    WatchedDriver recorder_;
    Bytes written_;
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

    void settle() {
        test::settle(
            *link->gprs(), [this] { peer_->pull(); }, peer_.get());
    }
    void waitFor(const std::function<bool()>& done) {
        ASSERT_TRUE(test::waitFor(done, [this] { peer_->pull(); }));
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
