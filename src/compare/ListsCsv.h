#pragma once

#include "model/Configuration.h"

#include <string>
#include <string_view>
#include <vector>

// The 32 number lists and the SMS texts as a CSV file a spreadsheet opens: a
// header row "list,position,value", then one row per list entry (list "TNIN_V_3",
// positions 1 to 32) and one per text (list "T_SMS_IN3", no position), CR LF.
namespace qta::compare {

enum class CsvEncoding {
    Utf8Bom, // UTF-8 with a byte-order mark, which spreadsheets take as UTF-8
    Cp1250,  // Windows-1250
};

struct CsvFormat {
    CsvEncoding encoding = CsvEncoding::Utf8Bom;
    char separator = ','; // ',' or ';' (the one a German or Slovak spreadsheet expects)
};

// Every entry of the 32 lists, empty ones included, and every SMS text.
std::string exportLists(const Configuration& config, const CsvFormat& format);

// A row the import cannot take, and why (English, one line).
struct RefusedRow {
    int row = 0; // 1 is the header
    std::string list;
    std::string position;
    std::string value; // UTF-8
    std::string reason;
    // "row 7, list TNIN_V_3, position 5, value "09x": only digits and "+" ..."
    std::string message() const;
};

struct ImportResult {
    std::vector<RefusedRow> refused;
    int taken = 0;        // rows applied
    bool changed = false; // whether `config` was changed
    std::string fault;    // a file that is no such CSV at all (no header), else empty
};

// Reads a CSV of exportLists' layout in either encoding (a byte-order mark, or
// text that is valid UTF-8, means UTF-8) and either separator (the header's).
// Each value must pass the entry rules (a number: digits and "+", at most 14; a
// text: no control characters but line breaks, at most 127), each entry name a
// list and position once, and every list must stay filled from the front. Unless
// `partial`, any refused row leaves `config` unchanged; with it, the good rows are
// taken. `config` is changed through assign(), so its observer hears each change.
ImportResult importLists(std::string_view csv, Configuration& config, bool partial);

} // namespace qta::compare
