#include "TextEdge.h"

#include "model/Cp1250.h"

namespace qta::app {

QString fromCp1250(const std::string& bytes) {
    return fromUtf8(cp1250ToUtf8(bytes));
}

std::string toCp1250(const QString& text) {
    return utf8ToCp1250(text.toStdString());
}

QString fromUtf8(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString memoFromModel(const std::string& bytes) {
    return fromCp1250(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string memoToModel(const QString& text) {
    return toCp1250(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

} // namespace qta::app
