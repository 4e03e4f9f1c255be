#include "ScriptedBridge.h"

#include <algorithm>

namespace qta::link::test {

ScriptedPort::~ScriptedPort() {
    cancelRead();
    if (driver_.port == this)
        driver_.port = nullptr;
}

bool ScriptedPort::resetDevice() {
    driver_.settings.push_back("reset");
    return driver_.resetWorks;
}

bool ScriptedPort::setBaudRate(int baud) {
    driver_.settings.push_back("baud " + std::to_string(baud));
    return true;
}

bool ScriptedPort::setDataCharacteristics(WordLength wordLength, StopBits stopBits, Parity parity) {
    driver_.settings.push_back("data " + std::to_string(static_cast<int>(wordLength)) + " " +
                               std::to_string(static_cast<int>(stopBits)) + " " +
                               std::to_string(static_cast<int>(parity)));
    return true;
}

bool ScriptedPort::setFlowControl(FlowControl flow, std::uint8_t xon, std::uint8_t xoff) {
    driver_.settings.push_back("flow " + std::to_string(static_cast<int>(flow)) + " " + std::to_string(xon) +
                               " " + std::to_string(xoff));
    return true;
}

bool ScriptedPort::setTimeouts(Millis read, Millis write) {
    readTimeout_ = read;
    driver_.settings.push_back("timeouts " + std::to_string(read.count()) + " " +
                               std::to_string(write.count()));
    return true;
}

bool ScriptedPort::getDeviceInfo(DeviceInfo& info) {
    driver_.settings.push_back("info");
    info.description = "FT232R USB UART";
    return driver_.deviceInfoWorks;
}

void ScriptedPort::read(std::size_t count, ReadDone done) {
    cancelRead();
    const Clock::TimerId timeout =
        clock_.callAfter(broken_ ? Millis(0) : readTimeout_, [this] { complete(pending_->count); });
    pending_ = PendingRead{count, std::move(done), timeout};
    if (received_.size() >= count)
        clock_.callAfter(Millis(0), [this, count] {
            if (pending_ && pending_->count == count && received_.size() >= count)
                complete(count);
        });
}

void ScriptedPort::cancelRead() {
    if (pending_)
        clock_.cancel(pending_->timeout);
    pending_.reset();
}

void ScriptedPort::complete(std::size_t count) {
    if (!pending_)
        return;
    PendingRead read = std::move(*pending_);
    pending_.reset();
    clock_.cancel(read.timeout);
    const std::size_t taken = std::min(count, received_.size());
    Bytes bytes(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(taken));
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(taken));
    read.done(std::move(bytes));
}

std::size_t ScriptedPort::write(std::span<const std::uint8_t> bytes) {
    if (broken_)
        return 0;
    const Bytes written(bytes.begin(), bytes.end());
    driver_.writes.push_back(written);
    if (driver_.device)
        driver_.device(written);
    return bytes.size();
}

void ScriptedPort::purgeReceived() {
    received_.clear();
}

void ScriptedPort::arrive(const Bytes& bytes) {
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    if (pending_ && received_.size() >= pending_->count) {
        const std::size_t count = pending_->count;
        clock_.callAfter(Millis(0), [this, count] {
            if (pending_ && pending_->count == count && received_.size() >= count)
                complete(count);
        });
    }
}

void ScriptedPort::fail() {
    broken_ = true;
    received_.clear();
    clock_.callAfter(Millis(0), [this] {
        if (failed_)
            failed_("unplugged");
    });
}

std::unique_ptr<BridgePort> ScriptedDriver::openByDescription(const std::string& description) {
    problem_.reset();
    const bool probedBefore = probed_.contains(description);
    probed_.insert(description);
    bool ok = attached.contains(description) && port == nullptr && !permission;
    if (ok && refusesOpen.contains(description) && probedBefore)
        ok = false;
    if (attached.contains(description) && permission)
        problem_ = permission;
    opens.push_back((ok ? "+" : "-") + description);
    if (!ok)
        return nullptr;
    auto opened = std::make_unique<ScriptedPort>(*this, clock_);
    port = opened.get();
    return opened;
}

Bytes ScriptedDriver::written() const {
    Bytes all;
    for (const Bytes& write : writes)
        all.insert(all.end(), write.begin(), write.end());
    return all;
}

int ScriptedDriver::probesOf(const std::string& description) const {
    return static_cast<int>(std::count(opens.begin(), opens.end(), "+" + description) +
                            std::count(opens.begin(), opens.end(), "-" + description));
}

} // namespace qta::link::test
