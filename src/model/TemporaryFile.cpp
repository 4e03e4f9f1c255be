#include "TemporaryFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qta::temporary {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 100;
constexpr std::size_t kSuffixLength = 8;
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// ".NAME.qta710-": what every temporary file of `target` starts with.
std::string prefixOf(const fs::path& target) {
    return "." + target.filename().string() + ".qta710-";
}

bool isTemporaryName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kSuffixLength || !name.starts_with(prefix))
        return false;
    const std::string_view letters(kLetters, sizeof kLetters - 1);
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [&](char c) { return letters.find(c) != std::string_view::npos; });
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Locks a file just made. False when a cleaner got to it first (it held the lock,
// or has already removed the name): the caller tries another name. A folder whose
// file system has no locks keeps the file unlocked, which no cleaner then removes.
bool lockFresh(int fd, const std::string& name) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno != EWOULDBLOCK;
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(name.c_str(), &named) == 0 && sameFile(opened, named);
}

// Removes `path` when it is this user's regular file and no save holds it.
void removeIfAbandoned(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(path.c_str());
    ::close(fd);
}

} // namespace

// Created with mode 0666, which the system narrows by the process's umask (and a
// default ACL of the folder) exactly as for any new file, so nothing process-wide
// is read or changed here.
int create(const fs::path& target, std::string& name) {
    const fs::path folder = folderOf(target);
    const std::string prefix = prefixOf(target);
    // The names need only differ, O_EXCL keeps them apart; a clock seed cannot fail.
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string suffix(kSuffixLength, ' ');
        for (char& c : suffix)
            c = kLetters[pick(random)];
        name = (folder / (prefix + suffix)).string();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return -1;
        if (fd < 0)
            continue;
        if (lockFresh(fd, name))
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

void removeStale(const fs::path& target) {
    const std::string prefix = prefixOf(target);
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        if (isTemporaryName(it->path().filename().string(), prefix))
            removeIfAbandoned(it->path().string());
    }
}

} // namespace qta::temporary
