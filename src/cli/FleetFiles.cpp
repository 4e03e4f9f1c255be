#include "FleetFiles.h"

#include "model/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace qta::cli {
namespace {

// Names tried for one account and second before giving up.
constexpr int kLargestSuffix = 1000;

std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

std::string fileNamePart(const std::string& text) {
    std::string part;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        part += std::isalnum(u) != 0 || c == '+' || c == '-' || c == '.' ? c : '_';
    }
    return part.empty() || part.front() == '.' ? "_" + part : part;
}

// The content goes whole into a temporary file, which is then linked under the
// first free name: link() never replaces a file, so two devices of one account
// in one second keep a file each.
std::string FleetFiles::save(const std::string& dir, const std::string& account, const char* extension,
                             const std::string& content, std::string& error) {
    const std::string stem = dir + "/" + fileNamePart(account) + "-" + timeStamp();
    const std::string temporary = stem + extension + ".part";
    if (replaceFileContent(temporary, content) != WriteStatus::Written) {
        error = "Unable to write to " + temporary;
        return {};
    }
    std::string saved;
    for (int suffix = 1; suffix <= kLargestSuffix && saved.empty(); ++suffix) {
        const std::string name = stem + (suffix == 1 ? "" : "-" + std::to_string(suffix)) + extension;
        if (::link(temporary.c_str(), name.c_str()) == 0)
            saved = name;
        else if (errno != EEXIST)
            break;
    }
    if (saved.empty())
        error = "Unable to write to " + stem + extension + ": " + std::strerror(errno);
    ::unlink(temporary.c_str());
    return saved;
}

} // namespace qta::cli
