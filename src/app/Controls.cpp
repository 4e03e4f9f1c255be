#include "Controls.h"

#include "TextEdge.h"

#include "catalogue/LanguageCatalogue.h"

#include <QGroupBox>
#include <QHash>
#include <QLabel>

namespace qta::app {

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

QGroupBox* namedGroup(const QString& name, const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    return box;
}

QString numbered(const char* prefix, int number) {
    return QLatin1String(prefix) + QString::number(number);
}

QString designCaption(const QString& name) {
    static const QHash<QString, QString> captions = [] {
        const catalogue::LanguageCatalogue& slovak = catalogue::languageCatalogue(Language::SK);
        QHash<QString, QString> byName;
        for (const auto* texts : {&slovak.menuCaptions, &slovak.ownMenuCaptions, &slovak.controlTexts}) {
            for (const catalogue::ControlText& item : *texts) {
                if (item.role == catalogue::TextRole::Caption)
                    byName.insert(fromUtf8(item.control), fromUtf8(item.text));
            }
        }
        return byName;
    }();
    return captions.value(name);
}

} // namespace qta::app
