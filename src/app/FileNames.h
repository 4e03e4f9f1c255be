#pragma once

#include <QFile>
#include <QString>

#include <string>

// File names as the file dialogs and the model meet them: the profile files'
// dialog filter, and a path between Qt and the system's own bytes.
namespace qta::app {

inline QString pffFilter() {
    return QStringLiteral("QTA710 súbory (*.pff)|*.pff|Všetky súbory (*.*)|*.*");
}

inline std::string systemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

inline QString fromSystemPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace qta::app
