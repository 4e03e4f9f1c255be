#include "GprsAccessBar.h"

#include "TextEdge.h"

#include "link/DeviceLink.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>

namespace qta::app {

std::optional<link::GprsAccess> gprsAccessOf(const SettingsFile::GprsAccessText& text, std::string& wrong) {
    link::GprsAccess access;
    const QString bind = QString::fromStdString(text.bind).trimmed();
    if (!bind.isEmpty() && !link::PeerFilter::isAddress(bind.toStdString())) {
        wrong = bind.toStdString();
        return std::nullopt;
    }
    access.listenAddress = bind.toStdString();
    std::vector<std::string> networks;
    for (const QString& network :
         QString::fromStdString(text.allow)
             .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts))
        networks.push_back(network.toStdString());
    for (const std::string& network : networks) {
        std::string why;
        if (!link::PeerFilter::parse({network}, why)) {
            wrong = network;
            return std::nullopt;
        }
    }
    std::string why;
    access.peers = link::PeerFilter::parse(networks, why).value_or(link::PeerFilter{});
    return access;
}

GprsAccessDialog::GprsAccessDialog(const SettingsFile::GprsAccessText& current,
                                   const catalogue::Messages& texts, QWidget* parent)
    : QDialog(parent), bind_(new QLineEdit(fromUtf8(current.bind), this)),
      allow_(new QLineEdit(fromUtf8(current.allow), this)), wrong_(new QLabel(this)), texts_(texts) {
    setObjectName(QStringLiteral("GprsAccessDialog"));
    setWindowTitle(fromUtf8(texts.msgGprsAccess));
    bind_->setObjectName(QStringLiteral("GprsBind"));
    allow_->setObjectName(QStringLiteral("GprsAllow"));
    allow_->setMinimumWidth(320);
    wrong_->setObjectName(QStringLiteral("GprsAccessWrong"));
    wrong_->setStyleSheet(QStringLiteral("color: red"));
    wrong_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &GprsAccessDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GprsAccessDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(fromUtf8(texts.msgGprsListenAddress), bind_);
    layout->addRow(fromUtf8(texts.msgGprsAllowedNetworks), allow_);
    layout->addRow(wrong_);
    layout->addRow(buttons);
}

SettingsFile::GprsAccessText GprsAccessDialog::text() const {
    return {bind_->text().trimmed().toStdString(), allow_->text().simplified().toStdString()};
}

void GprsAccessDialog::accept() {
    std::string wrong;
    const auto access = gprsAccessOf(text(), wrong);
    if (!access) {
        wrong_->setText(fromUtf8(texts_.msgGprsNotAnAddress).replace(QLatin1String("%s"), fromUtf8(wrong)));
        wrong_->show();
        return;
    }
    access_ = *access;
    QDialog::accept();
}

GprsAccessBar::GprsAccessBar(QStatusBar& bar, const SettingsFile& settings,
                             const SettingsFile::GprsAccessText& current, link::DeviceLink& device)
    : QObject(&bar), settings_(settings), device_(device), text_(current),
      openToAll_(device.gprsAccess().openToAll()), gprs_(device.transport() == link::Transport::Gprs),
      warning_(new QLabel(&bar)), button_(new QPushButton(&bar)) {
    warning_->setObjectName(QStringLiteral("GprsOpenWarning"));
    // One line that never widens the window; the whole text is its tip too.
    warning_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    warning_->setStyleSheet(QStringLiteral("color: #b00000"));
    button_->setObjectName(QStringLiteral("GprsAccess"));
    bar.addWidget(warning_, 1);
    bar.addPermanentWidget(button_);
    connect(button_, &QPushButton::clicked, this, &GprsAccessBar::openDialog);
    showWarning();
}

void GprsAccessBar::applyLanguage(const catalogue::Messages& texts) {
    texts_ = &texts;
    warning_->setText(fromUtf8(texts.msgGprsOpenToAll));
    warning_->setToolTip(warning_->text());
    button_->setText(fromUtf8(texts.msgGprsAccess));
}

void GprsAccessBar::showTransport(link::Transport transport) {
    gprs_ = transport == link::Transport::Gprs;
    showWarning();
}

void GprsAccessBar::openDialog() {
    if (dialog_ || !texts_)
        return;
    dialog_ = new GprsAccessDialog(text_, *texts_, button_->window());
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &QDialog::accepted, this, [this] { take(*dialog_); });
    connect(dialog_, &QObject::destroyed, this, [this] { dialog_ = nullptr; });
    dialog_->open();
}

// The file keeps what the user typed; the link takes it at once.
void GprsAccessBar::take(const GprsAccessDialog& dialog) {
    text_ = dialog.text();
    settings_.setGprsAccess(text_);
    device_.setGprsAccess(dialog.access());
    openToAll_ = dialog.access().openToAll();
    showWarning();
}

void GprsAccessBar::showWarning() {
    warning_->setVisible(gprs_ && openToAll_);
}

} // namespace qta::app
