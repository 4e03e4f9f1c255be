#pragma once

#include "model/Family.h"

#include <QString>
#include <QTabWidget>

#include <functional>
#include <initializer_list>
#include <vector>

class QGridLayout;
class QGroupBox;

namespace qta::app {

class DiagnosticsPage;
class EventLogPage;
class FieldBinder;

// The page control of the main window: the Configuration's pages, built from the field
// table (every field widget comes from the FieldBinder under the field's own name), and
// the event-log and diagnostics pages. Named captions show their design text until a
// catalogue is applied.
//
// The page in front is filled at once; the others wait until fillPendingPages(), so
// that the window shows quickly.
class ConfigurationPages : public QTabWidget {
    Q_OBJECT
public:
    ConfigurationPages(FieldBinder& binder, QWidget* parent);
    ~ConfigurationPages() override;

    bool hasPendingPages() const { return !pending_.empty(); }
    // Fills the pages not filled yet and returns them.
    std::vector<QWidget*> fillPendingPages();

    EventLogPage* eventLog() const { return eventLog_; }
    DiagnosticsPage* diagnostics() const { return diagnostics_; }

    // A caption of the pages: a named control with its design text, or the text of an
    // unnamed label.
    struct Caption {
        QString name;
        QString text;
    };
    // A label, a field, and an optional unit after it.
    struct Row {
        Caption label;
        Family family;
        int index;
        Caption unit = {};
    };

private:
    using Fill = void (ConfigurationPages::*)(QWidget*, int);

    QWidget* leafPage(const QString& name, std::function<void(QWidget*)> fill);
    QWidget* leafPage(const QString& name, void (ConfigurationPages::*fill)(QWidget*));
    QWidget* subPages(const char* sheet, const char* tabs, const char* subPage, int count, Fill fill);
    void addRows(QGridLayout* grid, QWidget* parent, std::initializer_list<Row> rows);
    QGroupBox* fieldGroup(const QString& group, QWidget* parent, std::initializer_list<Row> rows);
    QWidget* field(Family family, int index, QWidget* parent);
    QWidget* listBox(const QString& name, Family family, int index);

    void fillDigitalInputPage(QWidget* sheet, int input);
    void fillArcPage(QWidget* sheet);
    void fillBlockingPage(QWidget* sheet);
    void fillAnalogInputPage(QWidget* sheet, int input);
    void fillOutputPage(QWidget* sheet, int output);
    void fillHearingPage(QWidget* sheet);
    void fillStatusSmsPage(QWidget* sheet);

    FieldBinder& binder_;
    struct PendingPage {
        QWidget* sheet;
        std::function<void(QWidget*)> fill;
    };
    std::vector<PendingPage> pending_;
    bool firstPageFilled_ = false;
    EventLogPage* eventLog_ = nullptr;
    DiagnosticsPage* diagnostics_ = nullptr;
};

} // namespace qta::app
