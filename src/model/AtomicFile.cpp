#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace qta {
namespace {

bool writeAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A symbolic link is followed, so the file it names is replaced, not the link.
std::string resolvedTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto target = std::filesystem::canonical(path, ec);
        if (!ec)
            return target.string();
    }
    return path;
}

} // namespace

ReadStatus readWholeFile(const std::string& path, std::string& content) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return ReadStatus::Missing;
    // Only a regular file: a FIFO would block the read and a device such as
    // /dev/zero would never end it.
    if (ec || !std::filesystem::is_regular_file(status))
        return ReadStatus::Failed;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ReadStatus::Failed;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.bad() ? ReadStatus::Failed : ReadStatus::Read;
}

bool replaceFileContent(const std::string& path, const std::string& content) {
    const std::string target = resolvedTarget(path);
    const std::filesystem::path targetPath(target);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return false;

    const auto dir = targetPath.has_parent_path() ? targetPath.parent_path() : std::filesystem::path(".");
    std::string temp = (dir / ("." + targetPath.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;

    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace qta
