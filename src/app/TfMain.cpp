#include "TfMain.h"

#include "ConfigurationDocument.h"
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
#include "WhileOpen.h"
#include "WindowLinkView.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>
#include <utility>

namespace qta::app {
namespace {

constexpr int kFontPoints = 8;

// The user's decimal separator; the entry rules and the start-up values take it.
char userDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return !point.isEmpty() && point.front().unicode() < 128 ? static_cast<char>(point.front().unicode())
                                                             : '.';
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
    buildStatusBar();
    document_ = std::make_unique<ConfigurationDocument>(
        config_, *dialogs_, this, [this]() -> const catalogue::Messages& { return messages(); },
        [this](std::function<void(bool)> done) { saveThen(std::move(done)); });
    connect(document_.get(), &ConfigurationDocument::titleChanged, this, &TfMain::showTitle);
    indexControls(this);
    binder_->showCreated();

    FormCreate();
    showRecentFiles();

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
    connect(linkView_.get(), &WindowLinkView::transferFinished, this, &TfMain::transferFinished);
    connect(linkView_.get(), &WindowLinkView::transportShown, this, &TfMain::showListening);
    LinkSetup setup = link;
    if (!setup.gprsAccess)
        setup.gprsAccess = settings_.gprsAccess();
    deviceLink_ = std::make_unique<WindowLink>(*linkView_, config_, userDecimalSeparator(), setup);
    gprsAccess_ = new GprsAccessBar(*statusBar(), settings_, *setup.gprsAccess, device());
    gprsAccess_->applyLanguage(messages());
    connect(linkView_.get(), &WindowLinkView::transportShown, gprsAccess_, &GprsAccessBar::showTransport);
    // The pages keep the height they were given: the status bar comes on top.
    resize(size().expandedTo(sizeHint()));
    buildSafetyNet();
}

void TfMain::buildSafetyNet() {
    SafetyNet::Parts parts;
    parts.window = this;
    parts.config = &config_;
    parts.dialogs = dialogs_.get();
    parts.settings = &settings_;
    parts.transferDialog = transferDialog_.get();
    parts.device = [this]() -> link::DeviceLink& {
        return device();
    };
    parts.language = [this] {
        return catalogue_->language;
    };
    parts.messages = [this]() -> const catalogue::Messages& {
        return messages();
    };
    parts.open = [this](const QString& path) {
        openRecentFile(path);
    };
    parts.reportOpenFailure = [this](const pff::Result& result) {
        reported(result);
    };
    parts.say = [this](const QString& text) {
        statusBar()->showMessage(text);
    };
    parts.afterCurrentStep = [this](std::function<void()> step) {
        deviceLink_->afterCurrentStep(std::move(step));
    };
    parts.failureReportsForced = [this] {
        return linkView_->optionBoxesLocked();
    };
    parts.decimalSeparator = userDecimalSeparator();
    parts.environment = [](const char* name) -> const char* {
        return std::getenv(name);
    };
    safety_ = std::make_unique<SafetyNet>(std::move(parts));
    auto* file = menuBar()->findChild<QMenu*>(QStringLiteral("Nov1"));
    auto* dataMenu = menuBar()->findChild<QMenu*>(QStringLiteral("Uloi1"));
    safety_->addMenuItems(file, file->findChild<QAction*>(QStringLiteral("N1")), dataMenu,
                          [this] { sendConfiguration(true); });
    connect(linkView_.get(), &WindowLinkView::connectionShown, safety_.get(), &SafetyNet::connectionShown);
    safety_->applyLanguage(catalogue_->language);
    markMenuLetters(menuBar());
    indexControls(menuBar());
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
    enum class Kind { Command, Close, Submenu };
    struct Item {
        const char* name;
        void (TfMain::*handler)() = nullptr;
        const char* shortcut = nullptr;
        Kind kind = Kind::Command;
        const char* ownCaption = nullptr; // where no catalogue gives the item a caption
    };
    struct Menu {
        const char* name;
        std::vector<Item> items;
    };
    const std::vector<Menu> menus = {
        {"Nov1",
         {{"Nov2", &TfMain::Nov2Click, "Ctrl+N"},
          {"Otvori2", &TfMain::Otvori2Click, "Ctrl+O"},
          {"Recent1", nullptr, nullptr, Kind::Submenu},
          {"Uloi2", &TfMain::Uloi2Click, "Ctrl+S"},
          {"SaveAs1", &TfMain::SaveAs1Click, "Ctrl+Shift+S"},
          {"N1", nullptr, "Ctrl+Q", Kind::Close}}},
        {"Uloi1", {{"Nata2", &TfMain::Nata2Click}, {"Odosla2", &TfMain::Odosla2Click}}},
        {"Otvori1",
         {{"Nata1", &TfMain::Nata1Click}, {"Uloi3", &TfMain::Uloi3Click}, {"Tlai1", &TfMain::Tlai1Click}}},
        {"Lang",
         {{"EN", &TfMain::ENClick},
          {"DE", &TfMain::DEClick},
          {"SK", &TfMain::SKClick},
          {"Dansky1", &TfMain::DKClick, nullptr, Kind::Command, "Dansky"}}},
    };
    for (const Menu& menu : menus) {
        QMenu* bar = menuBar()->addMenu(QString());
        bar->setObjectName(QLatin1String(menu.name));
        setCaption(bar, designCaption(bar->objectName()));
        for (const Item& item : menu.items) {
            const QString name = QLatin1String(item.name);
            const QString caption =
                item.ownCaption ? QString::fromUtf8(item.ownCaption) : designCaption(name);
            if (item.kind == Kind::Submenu) {
                recentMenu_ = bar->addMenu(QString());
                recentMenu_->setObjectName(name);
                setCaption(recentMenu_, caption);
                continue;
            }
            QAction* action = bar->addAction(QString());
            action->setObjectName(name);
            setCaption(action, caption);
            if (item.shortcut)
                action->setShortcut(QKeySequence(QLatin1String(item.shortcut)));
            if (item.kind == Kind::Close)
                connect(action, &QAction::triggered, this, &QWidget::close);
            else
                connect(action, &QAction::triggered, this, item.handler);
        }
    }
    // The language in use is marked.
    languageItems_ = new QActionGroup(this);
    for (const char* code : {"EN", "DE", "SK", "Dansky1"}) {
        auto* action = menuBar()->findChild<QAction*>(QLatin1String(code));
        action->setCheckable(true);
        languageItems_->addAction(action);
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
    // Unsaved changes are saved or discarded first, as the user chooses; Cancel keeps the window.
    if (document_->modified() && !closeSettled_) {
        event->ignore();
        // Closed anew from the event loop: the answer may come before this handler has returned.
        document_->whenSettled(whileOpen(this, [this] {
            closeSettled_ = true;
            QTimer::singleShot(0, this, &QWidget::close);
        }));
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
    showTitle();
    for (const auto* captions : {&texts.menuCaptions, &texts.ownMenuCaptions}) {
        for (const catalogue::ControlText& item : *captions)
            setCaption(controls_.value(fromUtf8(item.control)), fromUtf8(item.text));
    }
    showLanguageMark(language);
    if (safety_)
        safety_->applyLanguage(language);
    markMenuLetters(menuBar());
    topBar_->applyLanguage(texts);
    binder_->widget(config_.table().id(Family::editAPN))->setToolTip(fromUtf8(texts.apnHint));
    applyControlTexts(controls_);
    showEventChoiceItems();
    if (deviceLink_)
        showListening(device().transport());
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

void TfMain::showTitle() {
    if (catalogue_ && document_)
        setWindowTitle(document_->windowTitle(fromUtf8(catalogue_->title)));
}

void TfMain::showLanguageMark(Language language) {
    static constexpr std::pair<Language, const char*> kItems[] = {
        {Language::EN, "EN"}, {Language::DE, "DE"}, {Language::SK, "SK"}, {Language::DK, "Dansky1"}};
    for (const auto& [itemLanguage, item] : kItems) {
        if (itemLanguage == language)
            control<QAction>(QLatin1String(item))->setChecked(true);
    }
}

// The line of the last completed transfer, and with GPRS chosen where the server listens.
void TfMain::buildStatusBar() {
    listening_ = new QLabel(this);
    listening_->setObjectName(QStringLiteral("StatusListening"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addPermanentWidget(listening_);
    statusBar()->setSizeGripEnabled(false);
}

} // namespace qta::app
