#include "NumberListBox.h"

#include "FieldBinder.h"

#include "model/FieldTable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace qta::app {
namespace {

constexpr int kFirstLabel = 10001;
constexpr int kRowsPerColumn = 16;
constexpr int kEntryWidth = 104;

} // namespace

QString NumberListBox::labelName(int listIndex, int position) {
    return QStringLiteral("Label%1").arg(kFirstLabel + listIndex * kListLength + position - 1);
}

NumberListBox::NumberListBox(const QString& name, int listIndex, FieldBinder& binder, QWidget* parent)
    : QGroupBox(parent) {
    setObjectName(name);
    showListColours(this);
    const NumberList& list = FieldTable::instance().lists()[listIndex];
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    for (int position = 1; position <= kListLength; ++position) {
        const int row = (position - 1) % kRowsPerColumn;
        const int column = (position - 1) / kRowsPerColumn * 2;
        auto* label = new QLabel(QStringLiteral("%1. ").arg(position), this);
        label->setObjectName(labelName(listIndex, position));
        auto* entry = binder.create(static_cast<FieldId>(list.first + position - 1), this);
        entry->setFixedWidth(kEntryWidth);
        grid->addWidget(label, row, column, Qt::AlignRight);
        grid->addWidget(entry, row, column + 1);
    }
}

} // namespace qta::app
