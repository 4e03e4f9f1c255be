#pragma once

#include <csignal>
#include <string>
#include <sys/types.h>
#include <vector>

namespace qta::test {

// A program run as a child process, its standard output on a pipe; killed when
// the test is done with it.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The first line of standard output, waiting up to five seconds.
    std::string firstLine();
    // Ends it as a user would (SIGTERM, or the signal `number`) and returns its exit status, -1
    // if it did not exit.
    int terminate(int number = SIGTERM);
    // Sends the signal `number` and leaves it running.
    void signal(int number);

    static bool waitReadable(int fd, int ms);

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

} // namespace qta::test
