#pragma once

#include "AtomicFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qta {

// A profile ("INI") file held in memory, with the semantics of the Windows
// profile functions: sections and keys match without regard to case, the first
// match wins, and writing keeps every line it does not touch byte for byte.
// Reading and writing many keys costs one pass over the file, not one per key.
class ProfileDocument {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    ProfileDocument() : sections_(1) {}
    // Parses file content; lines end in LF or CR LF, the last one may lack it. A
    // UTF-8 byte-order mark at the start (an editor's save) is skipped, so that the
    // first section is found; a save leaves it out, as the file is Windows-1250.
    static ProfileDocument parse(std::string_view content);

    // The value after the first '=', blanks trimmed, one pair of matching quotes
    // removed, cut at 2047 characters; nullopt when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // An integer, decimal or hexadecimal with "0x", "0X" or "$"; nullopt when the
    // key is missing or its value is no integer.
    std::optional<std::int64_t> integer(std::string_view section, std::string_view key) const;

    // Replaces the key's line where it stands, or adds it after the last line of
    // its section, or adds the section at the end of the file. Every line it
    // writes ends in CR LF, whatever the file's other lines end in.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // The whole file, new lines ending in CR LF.
    std::string serialize() const;

    // The file to update in place: its content, or an empty document when there
    // is no such file; nullopt when it exists but cannot be read (it is then
    // left alone rather than replaced).
    static std::optional<ProfileDocument> loadForUpdate(const std::string& path);
    // Replaces the file with serialize(), never leaving it half-written.
    WriteStatus saveTo(const std::string& path) const;

private:
    struct Line {
        std::string text;       // without its line end
        std::string terminator; // "\r\n", "\n" or "" (last line without one)
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;                           // lines[0] is the header, except for the preamble
        std::unordered_map<std::string, std::size_t> keys; // lower-case key -> first line
    };

    const Section* findSection(std::string_view name) const;
    static void indexKeys(Section& section);
    static void indexLine(Section& section, std::size_t line);
    void terminateLastLine();

    std::vector<Section> sections_; // sections_[0] holds the lines before any header
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lower-case name -> first
};

// Parses an integer the way the profile functions do; see ProfileDocument::integer.
std::optional<std::int64_t> parseProfileInteger(std::string_view text);

} // namespace qta
