#pragma once

#include "session/LinkView.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace qta::link::test {

// A LinkView that remembers what the link showed, for tests to look at.
class RecordingView : public LinkView {
public:
    enum class DialogShown { Hidden, AccessPrompt, CodeRefused, Waiting, Running };

    Language language() const override { return Language::EN; }
    void showLinkUp(bool up) override { linkUp = up; }
    void showConnected(bool isConnected) override { connected = isConnected; }
    void lockTransportChoice(bool locked) override { transportLocked = locked; }
    void showTransport(Transport shown) override { transport = shown; }
    void showAccessPrompt() override {
        dialog = DialogShown::AccessPrompt;
        ++prompts;
    }
    void showCodeRefused(Transport) override { dialog = DialogShown::CodeRefused; }
    void showCodeAccepted() override { dialog = DialogShown::Hidden; }
    void showTransferWaiting(TransferKind, int maximum) override {
        dialog = DialogShown::Waiting;
        gaugeMaximum = maximum;
    }
    void showTransferRunning(int maximum) override {
        dialog = DialogShown::Running;
        gaugeMaximum = maximum;
    }
    void setProgress(int value) override { progress.push_back(value); }
    void hideDialog() override { dialog = DialogShown::Hidden; }
    void ShowDiag(std::span<const std::uint8_t, 21> report, bool outputCommandPending) override {
        reports.emplace_back(report.begin(), report.end());
        pendingAtReport.push_back(outputCommandPending);
    }
    void blankDiagnostics() override { ++blanked; }
    void clearEvents() override { events.clear(); }
    void WriteEvent(std::span<const std::uint8_t, 32> record) override {
        events.emplace_back(record.begin(), record.end());
    }
    void showMessage(const LinkMessage& message, std::function<void()> closed) override {
        messages.push_back(message);
        if (closeMessagesAtOnce)
            closed();
        else
            openMessages.push_back(std::move(closed));
    }
    void transferEnded(TransferKind kind, TransferEnd end) override { ended.push_back({kind, end}); }

    bool linkUp = false;
    bool connected = false;
    bool transportLocked = false;
    Transport transport = Transport::Usb;
    DialogShown dialog = DialogShown::Hidden;
    int prompts = 0;
    int gaugeMaximum = 0;
    std::vector<int> progress;
    std::vector<Bytes> reports;
    std::vector<bool> pendingAtReport;
    int blanked = 0;
    std::vector<Bytes> events;
    std::vector<LinkMessage> messages;
    bool closeMessagesAtOnce = true;
    std::vector<std::function<void()>> openMessages;
    struct Ended {
        TransferKind kind;
        TransferEnd end;
        bool operator==(const Ended&) const = default;
    };
    std::vector<Ended> ended;
};

} // namespace qta::link::test
