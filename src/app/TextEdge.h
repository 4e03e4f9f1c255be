#pragma once

#include <QString>

#include <string>

class QPlainTextEdit;

// The model holds Windows-1250 bytes and the catalogue UTF-8; widgets hold
// QString. These are the only crossings.
namespace qta::app {

QString fromCp1250(const std::string& bytes);
std::string toCp1250(const QString& text);
QString fromUtf8(const std::string& utf8);
// A catalogue text with its "%1" and "%2" filled in.
QString fromUtf8Filled(const std::string& utf8, const QString& first, const QString& second = {});

// A multi-line SMS text: the device and the model carry its line breaks as
// CR LF, the text box as LF.
QString memoFromModel(const std::string& bytes);
std::string memoToModel(const QString& text);
// The text of a memo exactly as it holds it, line breaks as LF.
QString memoText(const QPlainTextEdit& memo);

} // namespace qta::app
