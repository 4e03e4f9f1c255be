#pragma once

#include "model/Configuration.h"

#include <QObject>

#include <vector>

class QWidget;

namespace qta::app {

// Makes one widget per Configuration field, named after the field, and keeps the
// two in step: edits write into the Configuration, and the Configuration's
// observer brings every change ("New", Open, the list rule, a device read) back
// into the widgets. A number-list entry is enabled only while the list rule lets
// it be edited, and then shows the window colour; locked it shows the button face.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    FieldBinder(Configuration& config, char decimalSeparator, QObject* parent);
    ~FieldBinder() override;

    // The widget that edits the field, created under `parent`. What to put into a
    // layout is placeOf(id): a number field comes with its spin buttons.
    QWidget* create(FieldId id, QWidget* parent);
    QWidget* widget(FieldId id) const { return widgets_[id]; }
    QWidget* placeOf(FieldId id) const;
    // Creates the field's widget and returns what to put into a layout.
    QWidget* createPlaced(FieldId id, QWidget* parent) {
        create(id, parent);
        return placeOf(id);
    }

    // Shows the current value of every field whose widget was created since the last call.
    void showCreated();

    // Replaces the item texts of every event choice, keeping each selection.
    void setEventChoiceItems(const QStringList& items);

private:
    void connectEdits(FieldId id, QWidget* widget);
    void show(FieldId id);
    void showEditable(FieldId id);
    void writeText(FieldId id, const QString& text);

    Configuration& config_;
    char decimalSeparator_;
    std::vector<QWidget*> widgets_;
    std::vector<signed char> shownEditable_; // -1 not yet shown
    std::vector<FieldId> created_;
    bool showing_ = false; // a model change is being shown
};

// Gives the entries of a number list their colours: a locked (disabled) entry the
// button face, an editable one the window colour.
void showListColours(QWidget* list);

} // namespace qta::app
