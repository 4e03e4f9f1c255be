#pragma once

#include <QString>

#include <string>

// The model holds Windows-1250 bytes and the catalogue UTF-8; widgets hold
// QString. These are the only crossings.
namespace qta::app {

QString fromCp1250(const std::string& bytes);
std::string toCp1250(const QString& text);
QString fromUtf8(const std::string& utf8);

} // namespace qta::app
