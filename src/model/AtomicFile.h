#pragma once

#include <string>

namespace qta {

enum class ReadStatus { Read, Missing, Failed };

// Reads a whole regular file; Missing when there is no file by that name, Failed
// for anything else that cannot be read, a directory, FIFO or device included.
ReadStatus readWholeFile(const std::string& path, std::string& content);

// Writes `content` into a new file beside `path`, flushes it to disk and renames
// it over `path`. On failure (no space left included) `path` is untouched and no
// stray file remains. An existing target keeps its permissions; a new one gets
// those of any new file. A symbolic link stays: the file it names is replaced.
// Nothing process-wide (umask, signals) is touched, so saves may run on any thread.
bool replaceFileContent(const std::string& path, const std::string& content);

} // namespace qta
