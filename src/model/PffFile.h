#pragma once

#include "Configuration.h"
#include "ProfileDocument.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace qta {

// The .pff configuration file: 39 sections, 1145 keys, CR LF, Windows-1250.
namespace pff {

enum class Error {
    None,
    CannotRead,  // missing or unreadable file; the Configuration stays as it was
    NotAPffFile, // readable, but none of the program's keys; the Configuration stays
    CannotWrite, // the target is unchanged
    TooLarge,    // over kLargestInputFile: not read, whether to open it or to update it
    UnsafeLink,  // a save through a link another user may have planted: the target is unchanged
};

struct Result {
    Error error = Error::None;
    std::string path;
    explicit operator bool() const { return error == Error::None; }
    // One line in English ("Unable to write to %s" for a failed save); the window
    // words the other errors in the user's language.
    std::string message() const;
};

// One run of keys in a section: the fields of a family under their own names,
// or a single field under a key name of its own.
struct KeyRun {
    std::string_view section;
    Family family;
    std::string_view key = {}; // empty: the fields' canonical names
};

// The runs in Save's order, which is also Open's; each family once.
std::span<const KeyRun> keyRuns();

// Calls visit(section, key, field) for each of the 1145 keys in Save's order.
using KeyVisit = std::function<void(std::string_view section, std::string_view key, FieldId id)>;
void forEachKey(const FieldTable& table, const KeyVisit& visit);

// A field's value as its key holds it: the text's bytes, "1"/"0" for a flag,
// the index (-1 for none) for a choice.
std::string keyValue(const Configuration& config, FieldId id);

// Reads one key into `config` as Open does, a missing or unreadable key giving its default.
void readKey(const ProfileDocument& doc, std::string_view section, std::string_view key, FieldId id,
             Configuration& config);

// Writes every key in Save's order into `doc`, replacing keys in place and adding
// missing keys and sections as the profile functions do.
void write(const Configuration& config, ProfileDocument& doc);

// Reads every key in Save's order into `config`, with the defaults of missing keys.
// Returns false, leaving `config` untouched, when `doc` holds none of the keys.
bool read(const ProfileDocument& doc, Configuration& config);

// Save: the existing file (if any) updated in memory, written beside the target
// and renamed over it, so a failure leaves the target as it was.
Result save(const Configuration& config, const std::string& path);

// What save(config, path) would meet now, found without changing anything, so
// that a job whose end is a save can be refused before it starts.
Result checkSave(const std::string& path);

// Open: on any error `config` is left as it was.
Result open(Configuration& config, const std::string& path);

} // namespace pff
} // namespace qta
