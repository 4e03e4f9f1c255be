#pragma once

#include "GprsConnection.h"
#include "GprsMailbox.h"
#include "GprsOptions.h"
#include "SessionHost.h"
#include "SessionTransport.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>

namespace qta::link {

class GprsServer;

// The GPRS transport on the user-interface thread: the TCP server the device
// dials into, one GprsConnection at a time (a second device is turned away at
// once), and this side of its session's work: the view, the timers on the link's
// clock, a read's Frames set into the Configuration.
class GprsLink : public QObject, public SessionTransport {
    Q_OBJECT
public:
    GprsLink(LinkView& view, Configuration& config, Clock& clock, const SessionOptions& sessionOptions,
             const GprsOptions& options, char decimalSeparator);
    ~GprsLink() override;

    // Chosen: listens (where the access says), a port that cannot be opened
    // reported with the socket layer's own text. Not chosen: stops listening and
    // ends a connection, before this returns.
    void setActive(bool active) override;
    void run(Request request) override;
    bool switchOutput(int command) override;
    LinkState state() const override;
    bool attached() const override { return connection_ != nullptr; }
    void setAside(Configuration* aside) override { host_.setAside(aside); }

    // Where the server listens and whom it keeps: a listening server starts
    // again under the new rules at once.
    void setAccess(const GprsAccess& access);
    const GprsAccess& access() const { return access_; }

    // The bound port while listening, else 0.
    std::uint16_t port() const;
    // The window wants to close: true when it may now; else `closed` runs once the
    // device has ended the connection, or the close wait has passed.
    bool FormCloseQuery(std::function<void()> closed);

    // What the connection has done so far, and whether everything is waiting
    // for the device or for a timer (nothing queued, the thread waiting).
    struct Activity {
        bool connected = false;
        bool settled = true;
        std::uint64_t bytesIn = 0;
        std::uint64_t bytesOut = 0;
        std::uint64_t bytesDropped = 0;
    };
    Activity activity();

private:
    void start();
    void stop();
    void IdTCPServer1Connect(int socket);
    void IdTCPServer1Disconnect();
    void carry(const PostedAction& posted);

    const GprsOptions options_;
    GprsAccess access_;
    const SessionOptions sessionOptions_;
    TransportProfile profile_;
    mutable SharedLinkState shared_;
    GprsMailbox mailbox_;
    SessionHost host_;
    std::array<std::uint64_t, kSessionTimerCount> timerStarts_{};
    std::unique_ptr<GprsServer> server_;
    std::unique_ptr<GprsConnection> connection_;
    std::function<void()> closed_; // the window waits to close
};

} // namespace qta::link
