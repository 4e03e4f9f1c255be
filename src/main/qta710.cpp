#include "app/DiffDialog.h"
#include "app/TfMain.h"
#include "version/Version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <csignal>
#include <cstdio>

namespace {

// --grab FILE [--page NAME]: saves a picture of the window (with the named page
// shown) instead of running it; the documentation's screenshots are made this way.
// With --compare-with, the list of differences is pictured instead.
int grabWindow(qta::app::TfMain& window, const QString& file, const QString& page) {
    window.completePages();
    if (!page.isEmpty())
        window.showPage(page);
    window.show();
    QApplication::processEvents();
    QWidget* pictured = window.findChild<qta::app::DiffDialog*>();
    if (!pictured)
        pictured = &window;
    const bool saved = pictured->grab().save(file);
    window.close();
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // Past the file-size limit (ulimit -f) a save then fails with its message,
    // instead of the signal ending the program with the user's work.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QTA710"));
    QApplication::setApplicationVersion(QString::fromLatin1(qta::kVersion));
    // The desktop entry's name, so that a Wayland compositor ties the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.qta710.Programmer"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption grab(QStringLiteral("grab"),
                                  QStringLiteral("Save a picture of the window to FILE."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption page(QStringLiteral("page"), QStringLiteral("Show the page NAME (with --grab)."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral(
            "Use the tty PATH (an adapter whose description cannot be read, or the virtual device) "
            "instead of looking for the USB bridge."),
        QStringLiteral("PATH"));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Start with GPRS chosen, the server listening on PORT (48006 otherwise)."),
        QStringLiteral("PORT"));
    const QCommandLineOption compare(
        QStringLiteral("compare-with"),
        QStringLiteral(
            "Compare the window's configuration with FILE at once, as File > Compare with... does."),
        QStringLiteral("FILE"));
    parser.addOptions({grab, page, port, listen, compare});
    parser.process(app);

    qta::app::LinkSetup link;
    link.port = QFile::encodeName(parser.value(port)).toStdString();
    if (parser.isSet(listen)) {
        bool number = false;
        const uint listenPort = parser.value(listen).toUInt(&number);
        if (!number || listenPort == 0 || listenPort > 65535) {
            std::fprintf(stderr, "qta710: --listen takes a port from 1 to 65535\n");
            return 2;
        }
        link.listenPort = static_cast<std::uint16_t>(listenPort);
    }
    qta::app::TfMain window(nullptr, qta::app::SettingsFile(), link);
    if (parser.isSet(compare))
        window.safetyNet().compareWith(parser.value(compare));
    if (parser.isSet(grab))
        return grabWindow(window, parser.value(grab), parser.value(page));
    window.show();
    return QApplication::exec();
}
