#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qta::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built qta710-cli with `args` in `workDir` (LC_ALL=C unless `env` says otherwise);
// `inChild` runs in the child just before the program starts (limits, signals, a user).
CliResult runCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                 const std::function<void()>& inChild = {});

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);

// A fresh directory, removed at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace qta::test
