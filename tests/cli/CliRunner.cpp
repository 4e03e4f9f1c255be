#include "CliRunner.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace qta::test {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qta-cli-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

CliResult runCli(const std::vector<std::string>& args, const std::vector<std::string>& env,
                 const std::function<void()>& inChild) {
    TempDir outDir;
    const auto outPath = outDir / "out", errPath = outDir / "err";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("LC_ALL", "C", 1);
        for (const std::string& assignment : env)
            ::putenv(const_cast<char*>(assignment.c_str()));
        if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr))
            ::_exit(127);
        if (inChild)
            inChild();
        std::vector<char*> argv{const_cast<char*>(QTA_CLI_PATH)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(QTA_CLI_PATH, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outPath), readFile(errPath)};
}

} // namespace qta::test
