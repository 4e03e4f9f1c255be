#include "TfMain.h"

#include "ConfigurationPages.h"
#include "ControlTexts.h"
#include "Controls.h"
#include "DiagnosticsPage.h"
#include "EventLogPage.h"
#include "FieldBinder.h"
#include "GprsAccessBar.h"
#include "TextEdge.h"
#include "TfRead.h"
#include "TopBar.h"
#include "WindowLinkView.h"

#include "model/EntryRules.h"
#include "model/PffFile.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace qta::app {
namespace {

const QString kPffFilter = QStringLiteral("QTA710 súbory (*.pff)|*.pff|Všetky súbory (*.*)|*.*");
const QString kEventsFilter = QStringLiteral("Textové súbory (*.txt)|*.txt|Všetky súbory (*.*)|*.*");
constexpr int kFontPoints = 8;

// The user's decimal separator; the entry rules and the start-up values take it.
char userDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return !point.isEmpty() && point.front().unicode() < 128 ? static_cast<char>(point.front().unicode())
                                                             : '.';
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A dialog's answer reaches the window only while the window is there: the window may
// be closed and gone while the dialog is up.
template <typename Step> auto whileOpen(TfMain* window, Step step) {
    return [window = QPointer<TfMain>(window), step = std::move(step)](const auto&... answer) {
        if (window)
            step(answer...);
    };
}

} // namespace

TfMain::TfMain(std::unique_ptr<Dialogs> dialogs, SettingsFile settings, const LinkSetup& link,
               QWidget* parent)
    : QMainWindow(parent), config_(Configuration::startup(userDecimalSeparator())),
      binder_(std::make_unique<FieldBinder>(config_, userDecimalSeparator(), nullptr)),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>()), settings_(std::move(settings)) {
    setObjectName(QStringLiteral("fMain"));
    QFont font = this->font();
    font.setPointSize(kFontPoints);
    setFont(font);
    setWindowTitle(fromUtf8(catalogue::languageCatalogue(Language::SK).title)); // the design text

    buildMenus();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(2);
    topBar_ = new TopBar(*binder_, config_.table());
    layout->addWidget(topBar_);
    pages_ = new ConfigurationPages(*binder_, central);
    eventLog_ = pages_->eventLog();
    diagnostics_ = pages_->diagnostics();
    layout->addWidget(pages_);
    setCentralWidget(central);
    indexControls(this);
    binder_->showCreated();

    FormCreate();

    resize(sizeHint());
    if (const QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
    buildLinkView(link);
}

// The transfer dialog is made once, hidden, after the window.
void TfMain::buildLinkView(const LinkSetup& link) {
    transferDialog_ = std::make_unique<TfRead>(this);
    WindowLinkView::Parts parts;
    parts.window = this;
    parts.topBar = topBar_;
    parts.dialog = transferDialog_.get();
    parts.diagnostics = diagnostics_;
    parts.events = eventLog_;
    parts.dialogs = dialogs_.get();
    parts.config = &config_;
    parts.fieldWidget = [this](FieldId id) {
        completePages();
        return binder_->widget(id);
    };
    parts.catalogue = [this]() -> const catalogue::LanguageCatalogue& {
        return *catalogue_;
    };
    parts.decimalSeparator = userDecimalSeparator();
    linkView_ = std::make_unique<WindowLinkView>(std::move(parts));
    LinkSetup setup = link;
    if (!setup.gprsAccess)
        setup.gprsAccess = settings_.gprsAccess();
    deviceLink_ = std::make_unique<WindowLink>(*linkView_, config_, userDecimalSeparator(), setup);
    gprsAccess_ = new GprsAccessBar(*statusBar(), settings_, *setup.gprsAccess, device());
    gprsAccess_->applyLanguage(messages());
    connect(topBar_, &TopBar::transportShown, gprsAccess_, &GprsAccessBar::showTransport);
    // The pages keep the height they were given: the status bar comes on top.
    resize(size().expandedTo(sizeHint()));
}

TfMain::~TfMain() = default;

void TfMain::indexControls(QWidget* root) {
    for (QObject* child : root->findChildren<QObject*>()) {
        if (!child->objectName().isEmpty())
            controls_.insert(child->objectName(), child);
    }
}

QObject* TfMain::control(const QString& name) {
    QObject* found = controls_.value(name);
    if (!found && pages_->hasPendingPages()) {
        completePages();
        found = controls_.value(name);
    }
    return found;
}

void TfMain::completePages() {
    if (!pages_->hasPendingPages())
        return;
    QHash<QString, QObject*> added;
    for (QWidget* page : pages_->fillPendingPages()) {
        for (QObject* child : page->findChildren<QObject*>()) {
            if (!child->objectName().isEmpty())
                added.insert(child->objectName(), child);
        }
    }
    controls_.insert(added);
    binder_->showCreated();
    // The new controls get the texts of the language in force, which is the only
    // one applied so far: any other switch fills the pages first.
    applyControlTexts(added);
    showEventChoiceItems();
}

bool TfMain::event(QEvent* event) {
    if (event->type() == QEvent::Paint && pages_ && pages_->hasPendingPages() && !completionQueued_) {
        completionQueued_ = true;
        QTimer::singleShot(0, this, &TfMain::completePages);
    }
    return QMainWindow::event(event);
}

void TfMain::buildMenus() {
    struct Item {
        const char* name;
        void (TfMain::*handler)();
        const char* ownCaption = nullptr; // where no catalogue gives the item a caption
    };
    struct Menu {
        const char* name;
        std::vector<Item> items;
    };
    const std::vector<Menu> menus = {
        {"Nov1",
         {{"Nov2", &TfMain::Nov2Click},
          {"Otvori2", &TfMain::Otvori2Click},
          {"Uloi2", &TfMain::Uloi2Click},
          {"N1", nullptr}}},
        {"Uloi1", {{"Nata2", &TfMain::Nata2Click}, {"Odosla2", &TfMain::Odosla2Click}}},
        {"Otvori1",
         {{"Nata1", &TfMain::Nata1Click}, {"Uloi3", &TfMain::Uloi3Click}, {"Tlai1", &TfMain::Tlai1Click}}},
        {"Lang",
         {{"EN", &TfMain::ENClick},
          {"DE", &TfMain::DEClick},
          {"SK", &TfMain::SKClick},
          {"Dansky1", &TfMain::DKClick, "Dansky"}}},
    };
    for (const Menu& menu : menus) {
        QMenu* bar = menuBar()->addMenu(QString());
        bar->setObjectName(QLatin1String(menu.name));
        setCaption(bar, designCaption(bar->objectName()));
        for (const Item& item : menu.items) {
            QAction* action = bar->addAction(QString());
            action->setObjectName(QLatin1String(item.name));
            setCaption(action, item.ownCaption ? QString::fromUtf8(item.ownCaption)
                                               : designCaption(action->objectName()));
            if (item.handler)
                connect(action, &QAction::triggered, this, item.handler);
            else
                connect(action, &QAction::triggered, this, &QWidget::close);
        }
    }
    markMenuLetters(menuBar());
    // Danish is chosen by the settings file only.
    menuBar()->findChild<QAction*>(QStringLiteral("Dansky1"))->setVisible(false);
}

void TfMain::FormCreate() {
    const std::string stored = settings_.language();
    // Only the exact codes count; anything else, "DK" and "de" included, is Danish.
    const auto language = languageFromCode(stored);
    applyCatalogue(language && *language != Language::DK ? *language : Language::DK);
    topBar_->showConnected(false);
}

void TfMain::FormClose() {
    settings_.setLanguage(topBar_->languageCode().toStdString());
}

// A running transfer is cancelled first, if the user agrees: closing must not
// leave the device with half a configuration unannounced.
void TfMain::closeEvent(QCloseEvent* event) {
    if (deviceLink_ && device().transferRunning()) {
        event->ignore();
        dialogs_->openQuestion(this, fromUtf8(messages().msgCloseDuringTransfer), [this](bool cancel) {
            if (!cancel)
                return;
            device().cancelTransfer();
            close();
        });
        return;
    }
    // A device connected over GPRS is asked to end the connection first; the
    // window closes once it has, or after the close wait.
    if (deviceLink_ && !device().closeWindow([this] { close(); })) {
        event->ignore();
        return;
    }
    FormClose(); // a settings file that cannot be written does not keep the window open
    event->accept();
}

void TfMain::applyLanguage(Language language) {
    completePages();
    applyCatalogue(language);
}

void TfMain::applyCatalogue(Language language) {
    const catalogue::LanguageCatalogue& texts = catalogue::languageCatalogue(language);
    catalogue_ = &texts;
    languageCode_ = fromUtf8(texts.code);
    setWindowTitle(fromUtf8(texts.title));
    for (const catalogue::ControlText& item : texts.menuCaptions)
        setCaption(controls_.value(fromUtf8(item.control)), fromUtf8(item.text));
    markMenuLetters(menuBar());
    topBar_->applyLanguage(texts);
    binder_->widget(config_.table().id(Family::editAPN))->setToolTip(fromUtf8(texts.apnHint));
    applyControlTexts(controls_);
    showEventChoiceItems();
    if (gprsAccess_)
        gprsAccess_->applyLanguage(texts.messages);
}

void TfMain::applyControlTexts(const QHash<QString, QObject*>& controls) {
    for (const catalogue::ControlText& item : catalogue_->controlTexts) {
        QObject* target = controls.value(fromUtf8(item.control));
        if (!target)
            continue;
        if (item.role == catalogue::TextRole::Caption)
            setCaption(target, fromUtf8(item.text));
        else
            setHint(target, fromUtf8(item.text));
    }
}

// The item texts are replaced and the selections stay: a switch must not silently
// drop the events that the inputs report to the alarm centre.
void TfMain::showEventChoiceItems() {
    QStringList items;
    for (const std::string& item : catalogue_->eventChoiceItems)
        items << fromUtf8(item);
    binder_->setEventChoiceItems(items);
}

void TfMain::showPage(const QString& name) {
    auto* page = control<QWidget>(name);
    while (page) {
        QWidget* stack = page->parentWidget();
        auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
        if (!tabs)
            return;
        tabs->setCurrentWidget(page);
        page = tabs->parentWidget();
    }
}

void TfMain::Nov2Click() {
    config_.applyNew();
    diagnostics_->clearDeviceReadouts();
}

void TfMain::Otvori2Click() {
    dialogs_->openFileName(this, {kPffFilter, QStringLiteral("pff"), lastOpenName_},
                           whileOpen(this, [this](const QString& name) {
                               if (name.isEmpty())
                                   return;
                               lastOpenName_ = name;
                               openConfiguration(name);
                           }));
}

void TfMain::Uloi2Click() {
    dialogs_->saveFileName(this, {kPffFilter, QStringLiteral("pff"), lastSaveName_},
                           whileOpen(this, [this](const QString& name) {
                               if (name.isEmpty())
                                   return;
                               lastSaveName_ = name;
                               saveConfiguration(name);
                           }));
}

bool TfMain::openConfiguration(const QString& path) {
    return reported(pff::open(config_, localPath(path)));
}

bool TfMain::saveConfiguration(const QString& path) {
    return reported(pff::save(config_, localPath(path)));
}

// A failed save names the file in the program's one fixed text; anything else
// is explained in the user's language.
bool TfMain::reported(const pff::Result& result) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(result.path));
    const auto naming = [&](const std::string& text) {
        return fromUtf8(text).replace(QLatin1String("%s"), path);
    };
    switch (result.error) {
    case pff::Error::None:
        return true;
    case pff::Error::CannotRead:
        dialogs_->showError(this, naming(messages().msgCannotOpen));
        break;
    case pff::Error::NotAPffFile:
        dialogs_->showError(this, naming(messages().msgNotConfiguration));
        break;
    case pff::Error::TooLarge:
        dialogs_->showError(this, naming(messages().msgFileTooLarge));
        break;
    case pff::Error::UnsafeLink:
        dialogs_->showError(this, naming(messages().msgUnsafeLink));
        break;
    case pff::Error::CannotWrite:
        dialogs_->showError(this, QFile::decodeName(QByteArray::fromStdString(result.message())));
        break;
    }
    return false;
}

void TfMain::Nata2Click() {
    device().requestTransfer(link::TransferKind::Read);
}

// A code the device cannot take would lock it for good: such a write sends nothing.
void TfMain::Odosla2Click() {
    if (!entry::isWritableAccessCode(config_.text(config_.table().id(Family::Pass)))) {
        dialogs_->showError(this, fromUtf8(messages().msgBadAccessCode));
        return;
    }
    device().requestTransfer(link::TransferKind::Write);
}

void TfMain::Nata1Click() {
    device().requestTransfer(link::TransferKind::EventLog);
}

void TfMain::Uloi3Click() {
    dialogs_->saveFileName(
        this, {kEventsFilter, QStringLiteral("txt"), lastEventsName_},
        whileOpen(this, [this](const QString& name) {
            if (name.isEmpty())
                return;
            lastEventsName_ = name;
            const WriteStatus saved = eventLog_->save(name);
            if (saved == WriteStatus::UnsafeLink)
                dialogs_->showError(this,
                                    fromUtf8(messages().msgUnsafeLink).replace(QLatin1String("%s"), name));
            else if (saved != WriteStatus::Written)
                dialogs_->showError(this, QStringLiteral("Unable to write to %1").arg(name));
        }));
}

void TfMain::Tlai1Click() {
    auto printer = std::make_shared<QPrinter>();
    dialogs_->choosePrinter(this, printer, whileOpen(this, [this, printer](bool confirmed) {
                                if (confirmed)
                                    eventLog_->print(*printer);
                            }));
}

} // namespace qta::app
