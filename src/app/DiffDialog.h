#pragma once

#include "catalogue/SafetyTexts.h"
#include "compare/ConfigDiff.h"

#include <QDialog>

#include <functional>
#include <span>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qta::app {

// The differences between the window's configuration and another (a file, the
// device, the window after a patch), one row per setting: its caption, the
// window's value and the other. The user takes the other value of the rows
// chosen, or of all of them, into the window; a row taken leaves the list.
// It does not wait for the user: the window runs on while it is up.
class DiffDialog : public QDialog {
    Q_OBJECT
public:
    // Takes the listed differences' other values into the window.
    using Take = std::function<void(std::span<const compare::Difference>)>;

    struct Content {
        QString title;
        QString summary;     // the line above the list
        QString otherColumn; // what the other configuration is
        std::vector<compare::Difference> differences;
    };

    DiffDialog(QWidget* parent, const catalogue::SafetyTexts& texts, Content content, Take take);

    // The rows still listed, in field-table order.
    const std::vector<compare::Difference>& differences() const { return differences_; }
    // What the buttons do: the selected rows' values, or every row's.
    void takeSelected();
    void takeAll();

private:
    void fill(const QString& forcedMark);
    void taken(std::vector<std::size_t> rows);

    std::vector<compare::Difference> differences_;
    Take take_;
    QTreeWidget* list_ = nullptr;
    QPushButton* takeSelected_ = nullptr;
    QPushButton* takeAll_ = nullptr;
};

} // namespace qta::app
