#pragma once

#include "DeviceLink.h"
#include "PollTimer.h"
#include "tftdichip.h"

#include <memory>
#include <optional>
#include <span>

namespace qta::link {

class UsbTransfer;

// The connection over the USB bridge: the poll (`Timer1Timer`) that finds and
// opens the bridge, waits for the device's identification, has the user unlock it,
// and then assembles each StatusReport byte by byte and answers it with one
// command byte; and the hand-off to a transfer that a menu command requested.
class UsbLink {
public:
    UsbLink(LinkState& state, LinkView& view, Configuration& config, BridgeDriver& driver, Clock& clock,
            transfer::Clock wallClock, const LinkOptions& options);
    ~UsbLink();

    // USB chosen (at start, or by rdbUSB): the poll runs; GPRS chosen: it stops.
    void setActive(bool active);

    // A menu command's request: the next StatusReport is answered with its command byte.
    void request(TransferKind kind);
    void submitAccessCode(const std::string& code);
    void closeDialog();
    void cancelTransfer();

private:
    enum class Dialog { Hidden, AccessCode, CheckingCode, CodeRefused, Transfer };

    void Timer1Timer();
    void lockedTick();
    void unlockedTick();
    void takeStatusReport(std::span<const std::uint8_t, 21> report);
    void Connect_USB();
    bool probe(const char* description);
    void Disconnect_USB();
    void Identify();
    void Disconnect();

    void codeAnswered(const Bytes& answer);
    void codeNotAnswered();
    void backToIdentification();
    void hideDialog();
    void transferEnded(TransferKind kind, TransferEnd end);
    void bridgeFailed();

    // A message box from the poll: no tick starts while it is up.
    void showPollMessage(LinkMessage message);
    void noteOpenProblem();
    void write(std::span<const std::uint8_t> bytes);

    LinkState& state_;
    LinkView& view_;
    Configuration& config_;
    BridgeDriver& driver_;
    Clock& clock_;
    transfer::Clock wallClock_;
    const LinkOptions& options_;
    PollTimer timer1_;
    OneShot codeWait_;
    std::unique_ptr<tftdichip> chip_;
    std::unique_ptr<UsbTransfer> transfer_;
    Dialog dialog_ = Dialog::Hidden;
    std::optional<OpenProblem> reportedProblem_;
    std::optional<OpenProblem> seenProblem_;
    bool active_ = false;
};

} // namespace qta::link
