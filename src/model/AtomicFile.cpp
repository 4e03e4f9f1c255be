#include "AtomicFile.h"

#include "TemporaryFile.h"

#include <cerrno>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qta {
namespace {

namespace fs = std::filesystem;

// Enough for any sane chain of links; a loop ends here instead of running on.
constexpr int kMaxLinkDepth = 40;
constexpr std::size_t kReadChunk = 64 * 1024;

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

// Reads what is left of `fd`; TooLarge as soon as it passes the bound (a file
// may grow while it is read).
ReadStatus readAll(int fd, std::string& content) {
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadStatus::Failed;
        if (n == 0)
            return ReadStatus::Read;
        if (content.size() + static_cast<std::size_t>(n) > kLargestInputFile)
            return ReadStatus::TooLarge;
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// The kernel's protected_symlinks rule, kept here as well: the kernel does not
// apply it to the file a rename replaces, and it may be turned off.
bool mayFollow(const fs::path& link) {
    struct stat linkInfo {};
    struct stat folderInfo {};
    if (::lstat(link.c_str(), &linkInfo) != 0 || ::stat(folderOf(link).c_str(), &folderInfo) != 0)
        return false;
    const bool shared = (folderInfo.st_mode & S_ISVTX) != 0 && (folderInfo.st_mode & S_IWOTH) != 0;
    return !shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folderInfo.st_uid;
}

// The file a path names, walked one name at a time as the kernel walks it, each
// symbolic link (of a folder on the way or of the file itself) followed only
// where mayFollow allows. A last link to a file that does not exist yet leads to
// where it points: the file is replaced or created there and the links stay.
// Failed for a loop of links.
WriteStatus resolveTarget(const std::string& path, fs::path& target) {
    const fs::path whole(path);
    const fs::path names = whole.relative_path();
    fs::path done = whole.root_path();
    std::deque<fs::path> left(names.begin(), names.end());
    int links = 0;
    while (!left.empty()) {
        const fs::path name = left.front();
        left.pop_front();
        if (name.empty())
            continue; // a trailing slash
        const fs::path next = done.empty() ? name : done / name;
        std::error_code ec;
        if (name == "." || name == ".." || !fs::is_symlink(next, ec)) {
            done = next;
            continue;
        }
        if (++links > kMaxLinkDepth)
            return WriteStatus::Failed;
        if (!mayFollow(next))
            return WriteStatus::UnsafeLink;
        const fs::path link = fs::read_symlink(next, ec);
        if (ec)
            return WriteStatus::Failed;
        if (link.is_absolute())
            done = link.root_path();
        const fs::path linkNames = link.relative_path();
        left.insert(left.begin(), linkNames.begin(), linkNames.end());
    }
    target = done.empty() ? fs::path(".") : done;
    return WriteStatus::Written;
}

// The target, if there is one, must be a regular file this user may write.
bool replaceable(const fs::path& target, struct stat& existing, bool& exists) {
    exists = ::stat(target.c_str(), &existing) == 0;
    return !exists || (S_ISREG(existing.st_mode) && ::access(target.c_str(), W_OK) == 0);
}

// The replacement keeps the old file's group where the owner may give it, and
// its permissions.
bool takeOver(int fd, const struct stat& existing) {
    if (existing.st_gid != ::getegid() && ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
        // Not a member of that group: the file takes the usual one.
    }
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

// The rename is durable only once the folder that holds it is on disk.
void syncFolderOf(const fs::path& target) {
    const int fd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
    // /dev/zero would never end it. O_NONBLOCK: a FIFO swapped in since cannot
    // block the open either.
    if (ec || !fs::is_regular_file(status))
        return ReadStatus::Failed;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ReadStatus::Failed;
    struct stat info {};
    std::string read;
    ReadStatus result = ReadStatus::Failed;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const bool tooLarge = static_cast<std::uintmax_t>(info.st_size) > kLargestInputFile;
        result = tooLarge ? ReadStatus::TooLarge : readAll(fd, read);
    }
    ::close(fd);
    if (result == ReadStatus::Read)
        content = std::move(read);
    return result;
}

namespace {

// The file a save replaces, once the path is safe to follow and the target may be replaced.
WriteStatus saveTarget(const std::string& path, fs::path& target, struct stat& existing, bool& exists) {
    if (const WriteStatus resolved = resolveTarget(path, target); resolved != WriteStatus::Written)
        return resolved;
    return replaceable(target, existing, exists) ? WriteStatus::Written : WriteStatus::Failed;
}

} // namespace

WriteStatus replaceFileContent(const std::string& path, const std::string& content) {
    fs::path target;
    struct stat existing {};
    bool exists = false;
    if (const WriteStatus ready = saveTarget(path, target, existing, exists); ready != WriteStatus::Written)
        return ready;
    temporary::removeStale(target);

    std::string temp;
    const int fd = temporary::create(target, temp);
    if (fd < 0)
        return WriteStatus::Failed;
    bool ok = (!exists || takeOver(fd, existing)) && writeAll(fd, content) && ::fsync(fd) == 0;
    // Renamed while still open, so that the lock keeps cleaners off it until then.
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    ::close(fd);
    if (ok)
        syncFolderOf(target);
    return ok ? WriteStatus::Written : WriteStatus::Failed;
}

WriteStatus checkWritable(const std::string& path) {
    fs::path target;
    struct stat existing {};
    bool exists = false;
    if (const WriteStatus ready = saveTarget(path, target, existing, exists); ready != WriteStatus::Written)
        return ready;
    // The folder takes a new file: the one a save would write first.
    std::string temp;
    const int fd = temporary::create(target, temp);
    if (fd < 0)
        return WriteStatus::Failed;
    ::unlink(temp.c_str());
    ::close(fd);
    return WriteStatus::Written;
}

std::string tooLargeMessage(const std::string& path) {
    return path + " is larger than 16 MB: no QTA 710 file is that large, so it was not read";
}

std::string unsafeLinkMessage(const std::string& path) {
    return "Unable to write to " + path +
           ": it goes through a symbolic link in a shared folder that belongs neither to you nor to the "
           "folder's owner, so the link is not followed";
}

} // namespace qta
