#pragma once

#include "CountingDriver.h"

#include "session/LinkView.h"

#include <functional>
#include <optional>
#include <string>

namespace qta::bench {

// A person who answers the access-code prompt with one code and otherwise only
// notes the moments that the figures need: unlocked, a transfer accepted by the
// device, a transfer ended. Every message is written to standard error.
class BenchView : public link::LinkView {
public:
    // `submit` hands the code to the link; it is called from the event loop, never
    // from inside the prompt.
    BenchView(std::string code, std::function<void(const std::string&)> submit)
        : code_(std::move(code)), submit_(std::move(submit)) {}

    bool unlocked() const { return unlocked_; }
    // The StatusReports the poll has taken.
    int reports() const { return reports_; }
    std::optional<BenchClock::time_point> accepted;
    std::optional<BenchClock::time_point> ended;
    link::TransferEnd end = link::TransferEnd::Done;
    // Forgets the moments of the last transfer.
    void clearTransfer();

    Language language() const override { return Language::EN; }
    void showLinkUp(bool) override {}
    void showConnected(bool connected) override { unlocked_ = connected; }
    void lockTransportChoice(bool) override {}
    void showTransport(link::Transport) override {}
    void showAccessPrompt() override;
    void showCodeRefused(link::Transport) override;
    void showCodeAccepted() override {}
    void showTransferWaiting(link::TransferKind, int) override {}
    void showTransferRunning(int) override { accepted = BenchClock::now(); }
    void setProgress(int) override {}
    void hideDialog() override {}
    void ShowDiag(std::span<const std::uint8_t, 21>, bool) override { ++reports_; }
    void blankDiagnostics() override {}
    void clearEvents() override {}
    void WriteEvent(std::span<const std::uint8_t, 32>) override {}
    void showMessage(const link::LinkMessage& message, std::function<void()> closed) override;
    void transferEnded(link::TransferKind kind, link::TransferEnd how) override;

private:
    std::string code_;
    std::function<void(const std::string&)> submit_;
    bool unlocked_ = false;
    int reports_ = 0;
};

} // namespace qta::bench
