#include "EventRecord.h"

#include "EventTexts.h"
#include "model/Cp1250.h"

#include <array>

namespace qta::log {
namespace {

constexpr std::size_t kStampLength = 10;
constexpr std::size_t kTextFirst = 10;
constexpr std::size_t kTextEnd = 26;
constexpr std::size_t kCodeOffset = 31;
constexpr std::string_view kSeparator = "  -  ";

// The event texts as the log holds them, converted once per language.
const std::string& storedEventText(int code, qta::Language language) {
    using Table = std::array<std::string, kEventTextCount>;
    static const std::array<Table, 4> tables = [] {
        std::array<Table, 4> all;
        for (const qta::Language lang :
             {qta::Language::SK, qta::Language::EN, qta::Language::DE, qta::Language::DK}) {
            for (int c = 0; c < kEventTextCount; ++c)
                all[static_cast<std::size_t>(lang)][c] = qta::utf8ToCp1250(eventText(c, lang));
        }
        return all;
    }();
    return tables[static_cast<std::size_t>(language)][code];
}

void appendWithoutZeros(std::string& line, std::span<const unsigned char> bytes) {
    for (const unsigned char byte : bytes) {
        if (byte != 0x00)
            line += static_cast<char>(byte);
    }
}

// "dd.mm.20yy   hh:mm ", or empty unless all ten stamp bytes are characters.
std::string timePart(EventRecordBytes record) {
    std::string d;
    appendWithoutZeros(d, record.first<kStampLength>());
    if (d.size() != kStampLength)
        return {};
    std::string part;
    part.reserve(19);
    part.append(d, 0, 2).append(".").append(d, 2, 2).append(".20").append(d, 4, 2);
    part.append("   ").append(d, 6, 2).append(":").append(d, 8, 2).append(" ");
    return part;
}

} // namespace

bool isEmptySlot(EventRecordBytes record) {
    return record[0] == 0x00 || record[0] == 0xFF;
}

std::string WriteEvent(EventRecordBytes record, qta::Language language) {
    std::string line = timePart(record);
    if (record[kTextFirst] != 0x00)
        line += kSeparator;
    appendWithoutZeros(line, record.subspan<kTextFirst, kTextEnd - kTextFirst>());
    // Codes 134 to 255 have no text, and nothing stands in for it.
    const int code = record[kCodeOffset];
    if (code < kEventTextCount)
        line += storedEventText(code, language);
    return line;
}

std::optional<std::vector<std::string>> decodeEventRecords(std::string_view records, qta::Language language) {
    if (records.size() % kEventRecordSize != 0)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const unsigned char*>(records.data());
    std::vector<std::string> lines;
    for (std::size_t offset = 0; offset < records.size(); offset += kEventRecordSize) {
        const EventRecordBytes record(bytes + offset, kEventRecordSize);
        if (!isEmptySlot(record))
            lines.push_back(WriteEvent(record, language));
    }
    return lines;
}

std::string eventLogFileContent(std::span<const std::string> lines) {
    std::string content;
    for (const std::string& line : lines)
        content.append(line).append("\r\n");
    return content;
}

} // namespace qta::log
