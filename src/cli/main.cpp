#include "Cli.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Past the file-size limit (ulimit -f) a write then fails and the save says so,
    // instead of the signal ending the program mid-save.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qta::cli::run(args, std::cout, std::cerr);
}
