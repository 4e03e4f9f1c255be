#pragma once

#include <QGroupBox>

namespace qta {
struct NumberList;
}

namespace qta::app {

class FieldBinder;

// One number list as a group: positions 1 to 16 in the left column, 17 to 32 in
// the right, each entry after its numbered label Label<m>. The labels of list k
// (in field-table order) are numbered 10001 + 32k onwards.
class NumberListBox : public QGroupBox {
    Q_OBJECT
public:
    NumberListBox(const QString& name, int listIndex, FieldBinder& binder, QWidget* parent);

    static QString labelName(int listIndex, int position);
};

} // namespace qta::app
