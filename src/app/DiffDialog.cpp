#include "DiffDialog.h"

#include "TextEdge.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qta::app {
namespace {

// A line break in a text would make a row as tall as the text.
QString oneLine(const std::string& value) {
    return fromUtf8(value).replace(QLatin1Char('\n'), QStringLiteral(" / ")).remove(QLatin1Char('\r'));
}

} // namespace

DiffDialog::DiffDialog(QWidget* parent, const catalogue::SafetyTexts& texts, Content content, Take take)
    : QDialog(parent), differences_(std::move(content.differences)), take_(std::move(take)) {
    setObjectName(QStringLiteral("DiffDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(content.title);
    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(content.summary, this);
    summary->setWordWrap(true);
    layout->addWidget(summary);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("DiffList"));
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels(
        {fromUtf8(texts.settingColumn), fromUtf8(texts.windowColumn), content.otherColumn});
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    list_->header()->setStretchLastSection(false);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    takeSelected_ = buttons->addButton(fromUtf8(texts.takeSelected), QDialogButtonBox::ActionRole);
    takeAll_ = buttons->addButton(fromUtf8(texts.takeAll), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(fromUtf8(texts.close), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    layout->addWidget(buttons);
    connect(takeSelected_, &QPushButton::clicked, this, &DiffDialog::takeSelected);
    connect(takeAll_, &QPushButton::clicked, this, &DiffDialog::takeAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The same from the keyboard and the row's context menu.
    auto* takeRow = new QAction(fromUtf8(texts.takeSelected), list_);
    takeRow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    takeRow->setShortcutContext(Qt::WidgetShortcut);
    connect(takeRow, &QAction::triggered, this, &DiffDialog::takeSelected);
    list_->addAction(takeRow);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            [this] { takeSelected_->setEnabled(!list_->selectedItems().isEmpty()); });

    fill(fromUtf8(texts.forcedMark));
    resize(900, 420);
}

void DiffDialog::fill(const QString& forcedMark) {
    for (const compare::Difference& difference : differences_) {
        QString other = oneLine(difference.shownAfter);
        if (difference.forced)
            other += forcedMark;
        auto* row = new QTreeWidgetItem(
            list_, {fromUtf8(difference.caption), oneLine(difference.shownBefore), std::move(other)});
        row->setToolTip(0, fromUtf8(difference.name));
    }
    takeSelected_->setEnabled(false);
    takeAll_->setEnabled(!differences_.empty());
}

void DiffDialog::takeSelected() {
    std::vector<std::size_t> rows;
    for (QTreeWidgetItem* item : list_->selectedItems())
        rows.push_back(static_cast<std::size_t>(list_->indexOfTopLevelItem(item)));
    std::sort(rows.begin(), rows.end());
    taken(std::move(rows));
}

void DiffDialog::takeAll() {
    std::vector<std::size_t> rows(differences_.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = i;
    taken(std::move(rows));
}

// In field-table order, so that a list is filled from its front.
void DiffDialog::taken(std::vector<std::size_t> rows) {
    if (rows.empty())
        return;
    std::vector<compare::Difference> chosen;
    for (const std::size_t row : rows)
        chosen.push_back(differences_[row]);
    take_(chosen);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        differences_.erase(differences_.begin() + static_cast<std::ptrdiff_t>(*row));
        delete list_->takeTopLevelItem(static_cast<int>(*row));
    }
    takeAll_->setEnabled(!differences_.empty());
}

} // namespace qta::app
