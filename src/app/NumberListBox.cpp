#include "NumberListBox.h"

#include "Controls.h"
#include "FieldBinder.h"
#include "TextEdge.h"

#include "catalogue/ControlNames.h"
#include "model/FieldTable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace qta::app {
namespace {

constexpr int kRowsPerColumn = 16;
constexpr int kEntryWidth = 100;

} // namespace

NumberListBox::NumberListBox(const QString& name, int listIndex, FieldBinder& binder, QWidget* parent)
    : QGroupBox(designCaption(name), parent) {
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
        const QString labelName = fromUtf8(catalogue::numberLabelName(listIndex, position));
        auto* label = namedLabel(labelName, designCaption(labelName), this);
        auto* entry = binder.create(static_cast<FieldId>(list.first + position - 1), this);
        entry->setFixedWidth(kEntryWidth);
        grid->addWidget(label, row, column, Qt::AlignRight);
        grid->addWidget(entry, row, column + 1);
    }
}

} // namespace qta::app
