#pragma once

#include <string>

namespace qta::cli {

// The files serve keeps of each device: `<account>-<YYYYmmdd-HHMMSS>.ext` in
// the folder of their kind, saved whole under a name no file had, so that no
// file is ever overwritten or left half-written.
class FleetFiles {
public:
    // The path saved, or empty with `error` set.
    std::string save(const std::string& dir, const std::string& account, const char* extension,
                     const std::string& content, std::string& error);
};

// The account as part of a file name: what is not a letter, digit, '+', '-' or
// '.' becomes '_'.
std::string fileNamePart(const std::string& text);

} // namespace qta::cli
