#pragma once

#include <array>
#include <csignal>
#include <unistd.h>

namespace qta::cli {

// Ctrl+C ends a run, and so does a closed terminal (SIGHUP) or SIGTERM: the
// signal only writes a byte to a pipe, which the event loop reads, one signal at a time.
class InterruptPipe {
public:
    InterruptPipe() {
        if (::pipe(fds_) == 0) {
            writeEnd_ = fds_[1];
            for (const int number : kSignals)
                std::signal(number, &InterruptPipe::onSignal);
        }
    }
    ~InterruptPipe() {
        for (const int number : kSignals)
            std::signal(number, SIG_DFL);
        writeEnd_ = -1;
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    int readEnd() const { return fds_[0]; }
    // Takes the note of one signal, so the next one is noticed on its own.
    void take() {
        char byte = 0;
        [[maybe_unused]] const auto taken = ::read(fds_[0], &byte, 1);
    }

private:
    static void onSignal(int) {
        const char byte = 1;
        if (writeEnd_ >= 0) [[maybe_unused]]
            auto written = ::write(writeEnd_, &byte, 1);
    }
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
    static inline volatile int writeEnd_ = -1;
    int fds_[2] = {-1, -1};
};

} // namespace qta::cli
