#pragma once

#include "Dialogs.h"

#include "catalogue/LanguageCatalogue.h"
#include "model/Configuration.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace qta::app {

// The window's Configuration as a document: the file it was last opened from or
// saved to, and whether it has changed since (the Configuration counts the
// changes). Replacing it asks first when changes would be lost.
class ConfigurationDocument : public QObject {
    Q_OBJECT
public:
    // Saves the Configuration, to its file or one the user picks, and tells `done`
    // whether it was saved (false when it failed or the user cancelled).
    using Saver = std::function<void(std::function<void(bool saved)> done)>;

    ConfigurationDocument(Configuration& config, Dialogs& dialogs, QWidget* window,
                          std::function<const catalogue::Messages&()> messages, Saver save);
    ~ConfigurationDocument() override;

    // The file's path, empty when the Configuration comes from no file.
    const QString& filePath() const { return filePath_; }
    bool modified() const { return config_.modified(); }

    // The Configuration is now what `path` holds (opened or saved).
    void tiedTo(const QString& path);
    // The Configuration is now what no file holds, and nothing is to be kept:
    // File > New, or a complete read from the device.
    void untied();
    // The Configuration no longer is what its file holds, and its changes stay
    // unsaved: a read that ended early replaced some of the fields.
    void detach();
    // Whatever changed since `revision` is still unsaved (a write began there).
    void keptAt(std::uint64_t revision) { config_.markUnmodifiedAt(revision); }

    // "device.pff* - <title>": the file's name, the mark of unsaved changes, the title.
    QString windowTitle(const QString& title) const;

    // Runs `proceed` once nothing unsaved stands in the way: at once without
    // changes, else after the user chose Save (and it was saved) or Discard;
    // never after Cancel.
    void whenSettled(std::function<void()> proceed);

signals:
    // The file or the mark of unsaved changes changed.
    void titleChanged();

private:
    Configuration& config_;
    Dialogs& dialogs_;
    QWidget* window_;
    std::function<const catalogue::Messages&()> messages_;
    Saver save_;
    QString filePath_;
};

} // namespace qta::app
