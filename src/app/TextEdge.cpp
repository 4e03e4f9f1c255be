#include "TextEdge.h"

#include "model/Cp1250.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <array>

namespace qta::app {
namespace {

constexpr char32_t kFirstUpper = 0x80;

// The bytes 0x80 to 0x9F that the code page leaves undefined (0x81, 0x83, ...), as the
// conversion reports them: it gives the replacement character for each.
bool isUndefinedByte(char32_t byte) {
    static const std::array<bool, 32> undefined = [] {
        std::array<bool, 32> result{};
        for (std::size_t k = 0; k < result.size(); ++k)
            result[k] = cp1250ToUtf8(std::string(1, static_cast<char>(kFirstUpper + k))) == "\xEF\xBF\xBD";
        return result;
    }();
    return byte >= kFirstUpper && byte < kFirstUpper + undefined.size() && undefined[byte - kFirstUpper];
}

} // namespace

// Both conversions give one character per byte, and every character of the code page
// lies in the Basic Multilingual Plane, so byte k is character k. A byte the code page
// leaves undefined (from another tool's file or a device's memory) is carried as the
// control character of its own number, U+0081 for 0x81, and goes back as that byte.
QString fromCp1250(const std::string& bytes) {
    QString text = fromUtf8(cp1250ToUtf8(bytes));
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] == QChar::ReplacementCharacter)
            text[k] = QChar(static_cast<unsigned char>(bytes[static_cast<std::size_t>(k)]));
    }
    return text;
}

std::string toCp1250(const QString& text) {
    std::string bytes = utf8ToCp1250(text.toStdString());
    const QList<uint> characters = text.toUcs4();
    if (static_cast<std::size_t>(characters.size()) != bytes.size())
        return bytes;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (isUndefinedByte(characters[static_cast<qsizetype>(k)]))
            bytes[k] = static_cast<char>(characters[static_cast<qsizetype>(k)]);
    }
    return bytes;
}

QString fromUtf8(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString fromUtf8Filled(const std::string& utf8, const QString& first, const QString& second) {
    return fromUtf8(utf8).replace(QLatin1String("%1"), first).replace(QLatin1String("%2"), second);
}

QString memoFromModel(const std::string& bytes) {
    return fromCp1250(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string memoToModel(const QString& text) {
    return toCp1250(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

// toPlainText() would turn a no-break space (0xA0) into a blank.
QString memoText(const QPlainTextEdit& memo) {
    return memo.document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

} // namespace qta::app
