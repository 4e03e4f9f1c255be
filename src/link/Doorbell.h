#pragma once

namespace qta::link {

// A file descriptor that becomes readable when rung and stays so until cleared
// (an eventfd): one thread rings it, another waits for it with poll() or a socket
// notifier, together with other descriptors. It carries no data.
class Doorbell {
public:
    Doorbell();
    ~Doorbell();
    Doorbell(const Doorbell&) = delete;
    Doorbell& operator=(const Doorbell&) = delete;

    int fd() const { return fd_; }
    void ring();
    void clear();

private:
    int fd_ = -1;
};

} // namespace qta::link
