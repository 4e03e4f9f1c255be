#include "BenchView.h"

#include "catalogue/LanguageCatalogue.h"
#include "link/LinkMessages.h"

#include <QTimer>

#include <cstdio>

namespace qta::bench {

void BenchView::clearTransfer() {
    accepted.reset();
    ended.reset();
    end = link::TransferEnd::Done;
}

void BenchView::showAccessPrompt() {
    QTimer::singleShot(0, [this] { submit_(code_); });
}

void BenchView::showCodeRefused(link::Transport) {
    std::fprintf(stderr, "the virtual device refused the access code\n");
}

void BenchView::showMessage(const link::LinkMessage& message, std::function<void()> closed) {
    std::fprintf(stderr, "link: %s\n",
                 link::wordMessage(message, catalogue::languageCatalogue(Language::EN).messages).c_str());
    closed();
}

void BenchView::transferEnded(link::TransferKind, link::TransferEnd how) {
    ended = BenchClock::now();
    end = how;
}

} // namespace qta::bench
