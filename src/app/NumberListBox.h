#pragma once

#include <QGroupBox>

namespace qta {
struct NumberList;
}

namespace qta::app {

class FieldBinder;

// One number list as a group: positions 1 to 16 in the left column, 17 to 32 in
// the right, each entry after its numbered label (catalogue::numberLabelName).
class NumberListBox : public QGroupBox {
    Q_OBJECT
public:
    NumberListBox(const QString& name, int listIndex, FieldBinder& binder, QWidget* parent);
};

} // namespace qta::app
