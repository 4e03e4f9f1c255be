#pragma once

#include <QTcpServer>

#include <functional>

namespace qta::link {

// The listening socket. Each accepted connection is handed over as its plain
// descriptor, so the connection thread owns it and no Qt socket object is ever
// used from two threads.
class GprsServer : public QTcpServer {
public:
    explicit GprsServer(std::function<void(int socket)> accepted) : accepted_(std::move(accepted)) {}

protected:
    void incomingConnection(qintptr socket) override { accepted_(static_cast<int>(socket)); }

private:
    std::function<void(int)> accepted_;
};

} // namespace qta::link
