#include "FleetFiles.h"

#include "compare/BackupName.h"

#include <cctype>
#include <ctime>

namespace qta::cli {

std::string fileNamePart(const std::string& text) {
    std::string part;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        part += std::isalnum(u) != 0 || c == '+' || c == '-' || c == '.' ? c : '_';
    }
    return part.empty() || part.front() == '.' ? "_" + part : part;
}

std::string FleetFiles::save(const std::string& dir, const std::string& account, const char* extension,
                             const std::string& content, std::string& error) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return compare::saveUnderFreeName(dir + "/" + fileNamePart(account) + "-" + compare::fileStamp(local),
                                      extension, content, error);
}

} // namespace qta::cli
