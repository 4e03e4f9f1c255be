#include "ConfigurationDocument.h"

#include "TextEdge.h"

#include <QFileInfo>
#include <QPointer>

#include <utility>

namespace qta::app {

ConfigurationDocument::ConfigurationDocument(Configuration& config, Dialogs& dialogs, QWidget* window,
                                             std::function<const catalogue::Messages&()> messages, Saver save)
    : config_(config), dialogs_(dialogs), window_(window), messages_(std::move(messages)),
      save_(std::move(save)) {
    config_.setModifiedObserver([this](bool) { emit titleChanged(); });
}

ConfigurationDocument::~ConfigurationDocument() {
    config_.setModifiedObserver(nullptr);
}

void ConfigurationDocument::tiedTo(const QString& path) {
    filePath_ = path;
    config_.markUnmodified();
    emit titleChanged();
}

void ConfigurationDocument::untied() {
    filePath_.clear();
    config_.markUnmodified();
    emit titleChanged();
}

void ConfigurationDocument::detach() {
    filePath_.clear();
    emit titleChanged();
}

QString ConfigurationDocument::windowTitle(const QString& title) const {
    const QString name = QFileInfo(filePath_).fileName() + (modified() ? QStringLiteral("*") : QString());
    return name.isEmpty() ? title : name + QStringLiteral(" - ") + title;
}

void ConfigurationDocument::whenSettled(std::function<void()> proceed) {
    if (!modified()) {
        proceed();
        return;
    }
    const catalogue::Messages& texts = messages_();
    const UnsavedCaptions captions{fromUtf8(texts.msgSaveButton), fromUtf8(texts.msgDiscardButton),
                                   fromUtf8(texts.msgCancel)};
    // The answer may come after the document is gone (the window closed meanwhile).
    dialogs_.askUnsavedChanges(
        window_, fromUtf8(texts.msgUnsavedChanges), captions,
        [self = QPointer<ConfigurationDocument>(this), proceed = std::move(proceed)](UnsavedChoice choice) {
            if (!self || choice == UnsavedChoice::Cancel)
                return;
            if (choice == UnsavedChoice::Discard) {
                proceed();
                return;
            }
            self->save_([self, proceed](bool saved) {
                if (self && saved)
                    proceed();
            });
        });
}

} // namespace qta::app
