#pragma once

#include <cstdint>
#include <string>

namespace qta {

// Far above any file of the program (a full .pff is about 60 KB, an image 21 KB),
// so that a huge or endless file is refused before it is read into memory.
inline constexpr std::uintmax_t kLargestInputFile = 16 * 1024 * 1024;

enum class ReadStatus { Read, Missing, Failed, TooLarge };

// Reads a whole regular file; Missing when there is no file by that name, TooLarge
// past kLargestInputFile (nothing is read then), Failed for anything else that
// cannot be read, a directory, FIFO or device included.
ReadStatus readWholeFile(const std::string& path, std::string& content);

enum class WriteStatus {
    Written,
    Failed,
    // A symbolic link the kernel's protected_symlinks would not follow: one in a
    // sticky world-writable folder (/tmp) owned by neither this user nor the
    // folder's owner, which another user may have planted to redirect the save.
    UnsafeLink,
};

// Writes `content` into a new file beside `path`, flushes it to disk and renames
// it over `path`. On failure (no space left included) `path` is untouched and no
// stray file remains; stray files of earlier saves of `path` that were killed
// before their rename are removed. An existing target keeps its permissions; a
// new one gets those of any new file. A symbolic link stays: the file it names is
// replaced. Nothing process-wide (umask, signals) is touched, so saves may run on
// any thread.
WriteStatus replaceFileContent(const std::string& path, const std::string& content);

// What replaceFileContent(path, ...) would meet now, found without changing
// anything: Written when the file could be written, so that a long job can be
// refused before it starts rather than after.
WriteStatus checkWritable(const std::string& path);

// One line in English naming the file, for the two refusals above.
std::string tooLargeMessage(const std::string& path);
std::string unsafeLinkMessage(const std::string& path);

} // namespace qta
