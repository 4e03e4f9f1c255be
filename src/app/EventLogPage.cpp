#include "EventLogPage.h"

#include "TextEdge.h"

#include "log/EventRecord.h"
#include "model/AtomicFile.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qta::app {

namespace {

// The view's lines in Windows-1250; a final line break does not start another line.
std::vector<std::string> linesOf(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.back().isEmpty())
        lines.removeLast();
    std::vector<std::string> converted;
    converted.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines)
        converted.push_back(toCp1250(line));
    return converted;
}

} // namespace

EventLogPage::EventLogPage(QWidget* parent) : QWidget(parent), view_(new QPlainTextEdit(this)) {
    view_->setObjectName(QStringLiteral("Events"));
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, as everywhere else in the window, instead of
    // putting a tab into the log's lines.
    view_->setTabChangesFocus(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
}

void EventLogPage::clearEvents() {
    view_->clear();
}

// A line break among the record's text characters would split one event over two
// lines; it shows as a space.
void EventLogPage::appendEvent(const QString& line) {
    QString oneLine = line;
    for (QChar& character : oneLine) {
        if (character == QLatin1Char('\r') || character == QLatin1Char('\n') ||
            character == QChar::LineSeparator || character == QChar::ParagraphSeparator)
            character = QLatin1Char(' ');
    }
    view_->appendPlainText(oneLine);
}

WriteStatus EventLogPage::save(const QString& path) const {
    return replaceFileContent(QFile::encodeName(path).toStdString(),
                              log::eventLogFileContent(linesOf(memoText(*view_))));
}

// The lines are laid out on the printer's pages less a header band, which each page
// gets above its share of the lines.
void EventLogPage::print(QPrinter& printer, const QString& header) const {
    printer.setDocName(QString());
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&printer);
    document.setDefaultFont(view_->font());
    document.setPlainText(view_->toPlainText());
    const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.setFont(view_->font());
    const qreal band = painter.fontMetrics().height() * 2.0;
    const QSizeF body(paper.width(), paper.height() - band);
    document.setPageSize(body);
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0)
            printer.newPage();
        painter.save();
        painter.drawText(QRectF(0, 0, body.width(), band * 0.75), Qt::AlignLeft | Qt::AlignVCenter, header);
        painter.drawLine(QPointF(0, band * 0.75), QPointF(body.width(), band * 0.75));
        painter.translate(0, band - page * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * body.height(), body.width(), body.height());
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
}

} // namespace qta::app
