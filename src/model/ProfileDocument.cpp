#include "ProfileDocument.h"

#include "AtomicFile.h"
#include "FieldTable.h"

#include <limits>

namespace qta {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The section name of a header line, or nullopt for any other line.
std::optional<std::string_view> headerName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const auto close = line.find(']');
    return trim(line.substr(0, close));
}

// The key of a key line (text before the first '='), or nullopt.
std::optional<std::string_view> keyName(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return trim(line.substr(0, eq));
}

std::string valueOf(std::string_view line) {
    std::string_view v = trim(line.substr(line.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > ProfileDocument::kMaxValueLength)
        v = v.substr(0, ProfileDocument::kMaxValueLength);
    return std::string(v);
}

// A line break inside a value would end the key's line and could start new
// sections or keys; each CR LF, CR or LF becomes one blank.
std::string oneLine(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
            continue; // the LF that follows becomes the blank
        out += (value[i] == '\r' || value[i] == '\n') ? ' ' : value[i];
    }
    return out;
}

} // namespace

std::optional<std::int64_t> parseProfileInteger(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with("$")) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    if (base == 16 && value > std::numeric_limits<std::int32_t>::max())
        value -= std::int64_t{1} << 32; // hexadecimal spells the bits of a 32-bit integer
    else if (base == 10 && value > std::numeric_limits<std::int32_t>::max() + std::int64_t{negative})
        return std::nullopt;
    return negative ? -value : value;
}

ProfileDocument ProfileDocument::parse(std::string_view content) {
    ProfileDocument doc;
    if (content.starts_with(kUtf8ByteOrderMark))
        content.remove_prefix(kUtf8ByteOrderMark.size());
    std::size_t pos = 0;
    while (pos < content.size()) {
        const auto lf = content.find('\n', pos);
        Line line;
        if (lf == std::string_view::npos) {
            line.text = content.substr(pos);
            pos = content.size();
        } else {
            const bool crlf = lf > pos && content[lf - 1] == '\r';
            line.text = content.substr(pos, lf - pos - (crlf ? 1 : 0));
            line.terminator = crlf ? "\r\n" : "\n";
            pos = lf + 1;
        }
        if (const auto name = headerName(line.text)) {
            Section section;
            section.name = *name;
            doc.sectionIndex_.emplace(toLowerAscii(*name), doc.sections_.size());
            doc.sections_.push_back(std::move(section));
        }
        doc.sections_.back().lines.push_back(std::move(line));
    }
    for (std::size_t i = 1; i < doc.sections_.size(); ++i)
        indexKeys(doc.sections_[i]);
    return doc;
}

void ProfileDocument::indexKeys(Section& section) {
    section.keys.clear();
    for (std::size_t i = 1; i < section.lines.size(); ++i)
        indexLine(section, i);
}

// A line is found under the key it reads back as, so the document answers as
// the saved file will; an earlier line of the same key keeps the index.
void ProfileDocument::indexLine(Section& section, std::size_t line) {
    if (const auto key = keyName(section.lines[line].text))
        section.keys.emplace(toLowerAscii(*key), line);
}

const ProfileDocument::Section* ProfileDocument::findSection(std::string_view name) const {
    const auto it = sectionIndex_.find(toLowerAscii(trim(name)));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string> ProfileDocument::value(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto it = s->keys.find(toLowerAscii(trim(key)));
    if (it == s->keys.end())
        return std::nullopt;
    return valueOf(s->lines[it->second].text);
}

std::optional<std::int64_t> ProfileDocument::integer(std::string_view section, std::string_view key) const {
    const auto text = value(section, key);
    return text ? parseProfileInteger(*text) : std::nullopt;
}

void ProfileDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string text = std::string(key) + "=" + oneLine(value);

    const auto found = sectionIndex_.find(toLowerAscii(trim(section)));
    if (found == sectionIndex_.end()) {
        terminateLastLine();
        Section added;
        added.name = std::string(trim(section));
        added.lines.push_back({"[" + added.name + "]", "\r\n"});
        added.lines.push_back({std::move(text), "\r\n"});
        indexKeys(added);
        sectionIndex_.emplace(toLowerAscii(added.name), sections_.size());
        sections_.push_back(std::move(added));
        return;
    }

    Section& s = sections_[found->second];
    const std::string lowerKey = toLowerAscii(trim(key));
    if (const auto it = s.keys.find(lowerKey); it != s.keys.end()) {
        // The line is written anew, so it ends as every line the program writes.
        s.lines[it->second] = Line{std::move(text), "\r\n"};
        return;
    }
    // After the section's last line that is not blank; only blank lines follow,
    // so no other key's line moves.
    std::size_t after = s.lines.size() - 1;
    while (after > 0 && trim(s.lines[after].text).empty())
        --after;
    if (s.lines[after].terminator.empty())
        s.lines[after].terminator = "\r\n";
    const std::size_t at = after + 1;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), "\r\n"});
    indexLine(s, at);
}

void ProfileDocument::terminateLastLine() {
    for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
        if (!s->lines.empty()) {
            if (s->lines.back().terminator.empty())
                s->lines.back().terminator = "\r\n";
            return;
        }
    }
}

std::string ProfileDocument::serialize() const {
    std::string out;
    for (const Section& s : sections_) {
        for (const Line& line : s.lines) {
            out += line.text;
            out += line.terminator;
        }
    }
    return out;
}

std::optional<ProfileDocument> ProfileDocument::loadForUpdate(const std::string& path) {
    std::string content;
    switch (readWholeFile(path, content)) {
    case ReadStatus::Read:
        return parse(content);
    case ReadStatus::Missing:
        return ProfileDocument();
    case ReadStatus::Failed:
    case ReadStatus::TooLarge:
        break;
    }
    return std::nullopt;
}

WriteStatus ProfileDocument::saveTo(const std::string& path) const {
    return replaceFileContent(path, serialize());
}

} // namespace qta
