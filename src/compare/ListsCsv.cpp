#include "ListsCsv.h"

#include "model/Cp1250.h"

#include <algorithm>
#include <map>
#include <optional>

namespace qta::compare {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// "TNIN_V_3" for TNIN_V_3_17, "TNLS" for TNLS_5: the entry's name without its position.
std::string listName(const FieldDef& def) {
    return def.name.substr(0, def.name.rfind('_'));
}

std::string quoted(std::string_view value, char separator) {
    if (value.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos)
        return std::string(value);
    std::string out = "\"";
    for (const char c : value) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

bool isCsvText(const FieldDef& def) {
    return def.kind == FieldKind::SmsText;
}

// The CSV's rows split into fields; quoted fields may hold separators, quotes and line breaks.
std::vector<std::vector<std::string>> parseRows(std::string_view text, char separator) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                inQuotes = false;
            else
                field += c;
        } else if (c == '"') {
            inQuotes = true;
        } else if (c == separator) {
            rows.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            rows.back().push_back(std::move(field));
            field.clear();
            rows.emplace_back();
        } else {
            field += c;
        }
    }
    if (!field.empty() || !rows.back().empty())
        rows.back().push_back(std::move(field));
    else
        rows.pop_back();
    return rows;
}

// Whether `text` is well-formed UTF-8 (lead bytes and their continuation bytes).
bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// Whether Windows-1250 has every character: in UTF-8 each of them, else each byte.
bool inCodePage(std::string_view cell, const std::string& cp1250, bool utf8) {
    if (utf8)
        return cp1250ToUtf8(cp1250) == cell;
    return utf8ToCp1250(cp1250ToUtf8(cp1250)) == cp1250;
}

// Why `value` (Windows-1250) cannot go into the field, or nullopt. A number takes
// what typing lets into it; a text anything but control characters other than its
// line breaks (a text read from a device may hold letters no key types).
std::optional<std::string> valueProblem(const FieldDef& def, std::string_view value) {
    if (value.size() > static_cast<std::size_t>(def.limit))
        return "longer than " + std::to_string(def.limit) + " characters";
    for (const char c : value) {
        const auto code = static_cast<unsigned char>(c);
        if (def.kind == FieldKind::PhoneNumber && !(code >= '0' && code <= '9') && code != '+')
            return std::string("only digits and \"+\" make a phone number");
        if (def.kind == FieldKind::SmsText && code < 32 && code != '\r' && code != '\n')
            return std::string("a control character");
    }
    return std::nullopt;
}

struct Row {
    int number = 0;
    FieldId field = 0;
    std::string value; // Windows-1250
    std::vector<std::string> cells;
};

struct Lookup {
    std::map<std::string, FieldId> texts;           // list name of a text -> field
    std::map<std::string, const NumberList*> lists; // list name -> list
};

Lookup lookup(const FieldTable& table) {
    Lookup found;
    for (const NumberList& list : table.lists())
        found.lists.emplace(toLowerAscii(listName(table[list.first])), &list);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (isCsvText(table[static_cast<FieldId>(i)]))
            found.texts.emplace(toLowerAscii(table[static_cast<FieldId>(i)].name), static_cast<FieldId>(i));
    }
    return found;
}

std::optional<int> smallNumber(std::string_view text) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(std::string(text));
}

// The field a row names, or why it names none.
std::optional<FieldId> rowField(const Lookup& found, const std::vector<std::string>& cells,
                                std::string& why) {
    const std::string list = toLowerAscii(cells[0]);
    if (const auto text = found.texts.find(list); text != found.texts.end()) {
        if (!cells[1].empty()) {
            why = "a text has no position";
            return std::nullopt;
        }
        return text->second;
    }
    const auto named = found.lists.find(list);
    if (named == found.lists.end()) {
        why = "no such list or text";
        return std::nullopt;
    }
    const auto position = smallNumber(cells[1]);
    if (!position || *position < 1 || *position > kListLength) {
        why = "the position is a number from 1 to 32";
        return std::nullopt;
    }
    return static_cast<FieldId>(named->second->first + *position - 1);
}

// The rows that name a field with a value it can take; the others refused.
std::vector<Row> readRows(const std::vector<std::vector<std::string>>& rows, bool utf8,
                          ImportResult& result) {
    const Lookup found = lookup(FieldTable::instance());
    std::vector<Row> good;
    std::map<FieldId, int> seen; // field -> row that set it
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::vector<std::string> cells = rows[i];
        if (cells.size() == 1 && cells[0].empty())
            continue; // a blank line
        const int number = static_cast<int>(i) + 1;
        cells.resize(std::max<std::size_t>(cells.size(), 3));
        const std::string value = utf8 ? utf8ToCp1250(cells[2]) : cells[2];
        const auto refuse = [&](std::string why) {
            result.refused.push_back(
                {number, cells[0], cells[1], utf8 ? cells[2] : cp1250ToUtf8(cells[2]), std::move(why)});
        };
        std::string why;
        const auto field = rowField(found, cells, why);
        if (!field) {
            refuse(why);
        } else if (rows[i].size() > 3) {
            refuse("a row has three columns: list, position, value");
        } else if (!inCodePage(cells[2], value, utf8)) {
            refuse("a character the device's code page lacks");
        } else if (const auto problem = valueProblem(FieldTable::instance()[*field], value)) {
            refuse(*problem);
        } else if (const auto twice = seen.find(*field); twice != seen.end()) {
            refuse("the same entry as row " + std::to_string(twice->second));
        } else {
            seen.emplace(*field, number);
            good.push_back({number, *field, value, std::move(cells)});
        }
    }
    return good;
}

// Applies `rows` to a copy of `base` in field order; the rows whose entries the
// list rule then empties are moved to `result.refused`. Repeats until every row holds.
Configuration applyRows(const Configuration& base, std::vector<Row>& rows, bool utf8, ImportResult& result) {
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.field < b.field; });
    for (;;) {
        Configuration scratch = base;
        for (const Row& row : rows)
            scratch.setText(row.field, row.value);
        const auto lost = std::stable_partition(
            rows.begin(), rows.end(), [&](const Row& row) { return scratch.text(row.field) == row.value; });
        if (lost == rows.end())
            return scratch;
        for (auto it = lost; it != rows.end(); ++it)
            result.refused.push_back({it->number, it->cells[0], it->cells[1],
                                      utf8 ? it->cells[2] : cp1250ToUtf8(it->cells[2]),
                                      "an entry behind an empty one: a list is filled from the front"});
        rows.erase(lost, rows.end());
    }
}

} // namespace

std::string RefusedRow::message() const {
    return "row " + std::to_string(row) + ", list " + list + ", position " + position + ", value \"" + value +
           "\": " + reason;
}

std::string exportLists(const Configuration& config, const CsvFormat& format) {
    const char sep = format.separator;
    const auto encoded = [&](const std::string& cp1250) {
        return format.encoding == CsvEncoding::Utf8Bom ? cp1250ToUtf8(cp1250) : cp1250;
    };
    std::string out = format.encoding == CsvEncoding::Utf8Bom ? std::string(kBom) : std::string();
    out += std::string("list") + sep + "position" + sep + "value\r\n";
    const FieldTable& table = config.table();
    for (const NumberList& list : table.lists()) {
        for (int j = 0; j < kListLength; ++j) {
            const auto id = static_cast<FieldId>(list.first + j);
            out += listName(table[id]) + sep + std::to_string(j + 1) + sep +
                   quoted(encoded(config.text(id)), sep) + "\r\n";
        }
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto id = static_cast<FieldId>(i);
        if (isCsvText(table[id]))
            out += table[id].name + sep + sep + quoted(encoded(config.text(id)), sep) + "\r\n";
    }
    return out;
}

ImportResult importLists(std::string_view csv, Configuration& config, bool partial) {
    ImportResult result;
    const bool bom = csv.starts_with(kBom);
    if (bom)
        csv.remove_prefix(kBom.size());
    const bool utf8 = bom || isValidUtf8(csv);
    const std::string_view header = csv.substr(0, csv.find_first_of("\r\n"));
    const char separator = header.size() > 4 ? header[4] : ',';
    if ((separator != ',' && separator != ';') ||
        toLowerAscii(header) != std::string("list") + separator + "position" + separator + "value") {
        result.fault = "not a CSV of number lists: its first row must be list,position,value (or with \";\")";
        return result;
    }
    std::vector<Row> rows = readRows(parseRows(csv, separator), utf8, result);
    Configuration imported = applyRows(config, rows, utf8, result);
    std::sort(result.refused.begin(), result.refused.end(),
              [](const RefusedRow& a, const RefusedRow& b) { return a.row < b.row; });
    if (!result.refused.empty() && !partial)
        return result;
    result.taken = static_cast<int>(rows.size());
    result.changed = !(imported == config);
    config.assign(imported);
    return result;
}

} // namespace qta::compare
