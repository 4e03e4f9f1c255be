#include "AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace qta {
namespace {

namespace fs = std::filesystem;

// Enough for any sane chain of links; a loop ends here instead of running on.
constexpr int kMaxLinkDepth = 40;
constexpr int kTempNameAttempts = 100;

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

// The file a path names once every symbolic link is followed, also when the last
// link points to a file that does not exist yet: the file is replaced or
// created there and the links stay. Nullopt for a loop of links.
std::optional<fs::path> resolvedTarget(const std::string& path) {
    fs::path target(path);
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(target, ec))
            return target;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec)
            return std::nullopt;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return std::nullopt;
}

// A new, empty file beside `target` with a name of its own. It is created with
// mode 0666, which the system narrows by the process's umask (and a default
// ACL of the directory) exactly as for any new file, so nothing process-wide
// is read or changed here.
int createTemporary(const fs::path& target, std::string& name) {
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // The names need only differ, O_EXCL keeps them apart; a clock seed cannot fail.
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string suffix(8, ' ');
        for (char& c : suffix)
            c = kLetters[pick(random)];
        name = (dir / ("." + target.filename().string() + "." + suffix)).string();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The rename is durable only once the directory that holds it is on disk.
void syncDirectoryOf(const fs::path& target) {
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

ReadStatus readWholeFile(const std::string& path, std::string& content) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return ReadStatus::Missing;
    // Only a regular file: a FIFO would block the read and a device such as
    // /dev/zero would never end it.
    if (ec || !fs::is_regular_file(status))
        return ReadStatus::Failed;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ReadStatus::Failed;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.bad() ? ReadStatus::Failed : ReadStatus::Read;
}

bool replaceFileContent(const std::string& path, const std::string& content) {
    const std::optional<fs::path> target = resolvedTarget(path);
    if (!target)
        return false;
    struct stat existing {};
    const bool exists = ::stat(target->c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target->c_str(), W_OK) != 0))
        return false;

    std::string temp;
    const int fd = createTemporary(*target, temp);
    if (fd < 0)
        return false;
    bool ok = true;
    if (exists) {
        // The replacement keeps the old file's group where the owner may give it,
        // and its permissions.
        if (existing.st_gid != ::getegid() && ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
            // Not a member of that group: the file takes the usual one.
        }
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target->c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    else
        syncDirectoryOf(*target);
    return ok;
}

} // namespace qta
