// Figures of the main window. Run without arguments: Google Benchmark cases for a
// language switch and for Open of a full .pff (both including the widget updates),
// then start-to-first-paint of the full window against an empty QMainWindow, each
// in fresh processes side by side, the time until every page is filled, and the
// resident memory of the shown window.
#include "app/TfMain.h"

#include "model/PffFile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

qta::app::TfMain* window = nullptr;
QStringList fullFiles;

// Every field filled: all 1024 list entries, every text, flag and choice.
QString writeFullFile(const QString& path, char digit) {
    auto config = qta::Configuration::startup(',');
    for (const auto& def : config.table().fields()) {
        const auto id = config.table().id(def.name);
        switch (def.kind) {
        case qta::FieldKind::Flag:
            config.setFlag(id, digit % 2 == 0);
            break;
        case qta::FieldKind::Choice:
            config.setChoice(id, digit - '0');
            break;
        default:
            config.setText(id, std::string(static_cast<std::size_t>(std::min(def.limit, 3)), digit));
            break;
        }
    }
    qta::pff::save(config, QFile::encodeName(path).toStdString());
    return path;
}

void BM_LanguageSwitch(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        window->applyLanguage(++round % 2 ? qta::Language::DE : qta::Language::EN);
        QApplication::processEvents(); // the layouts and repaints the new texts cause
    }
}
BENCHMARK(BM_LanguageSwitch)->Unit(benchmark::kMillisecond);

void BM_OpenFullPff(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        window->openConfiguration(fullFiles[++round % 2]);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenFullPff)->Unit(benchmark::kMillisecond);

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Child process: shows one window, says "painted" at its first paint, then lets
// the window finish its start (the pages filled after the first paint) and reports
// the resident memory.
int firstPaint(int argc, char** argv, bool full) {
    QApplication app(argc, argv);
    std::unique_ptr<QMainWindow> shown =
        full ? std::make_unique<qta::app::TfMain>() : std::make_unique<QMainWindow>();
    struct PaintWatch : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && !painted) {
                painted = true;
                std::printf("painted\n");
                std::fflush(stdout);
                QTimer::singleShot(0, qApp, &QApplication::quit);
            }
            return false;
        }
        bool painted = false;
    } watch;
    shown->installEventFilter(&watch);
    shown->show();
    QApplication::exec();
    if (auto* main = dynamic_cast<qta::app::TfMain*>(shown.get()))
        main->completePages();
    QApplication::processEvents();
    std::printf("complete %ld\n", residentKilobytes());
    std::fflush(stdout);
    std::_Exit(0);
}

struct StartFigures {
    double firstPaintMs = 0; // median from process start to the first paint
    double completeMs = 0;   // median from process start to every page filled
    long residentKb = 0;
};

StartFigures measureStart(const char* mode) {
    std::vector<double> paints;
    std::vector<double> completes;
    StartFigures figures;
    for (int run = 0; run < 9; ++run) {
        QProcess child;
        QElapsedTimer timer;
        timer.start();
        child.start(QApplication::applicationFilePath(),
                    {QStringLiteral("--first-paint"), QLatin1String(mode)});
        QByteArray output;
        while (!output.contains("painted") && child.waitForReadyRead(30000))
            output += child.readAllStandardOutput();
        paints.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        while (!output.contains("complete") && child.waitForReadyRead(30000))
            output += child.readAllStandardOutput();
        completes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        child.waitForFinished(30000);
        output += child.readAllStandardOutput();
        figures.residentKb = output.mid(output.indexOf("complete") + 9).trimmed().toLong();
    }
    std::sort(paints.begin(), paints.end());
    std::sort(completes.begin(), completes.end());
    figures.firstPaintMs = paints[paints.size() / 2];
    figures.completeMs = completes[completes.size() / 2];
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::string(argv[1]) == "--first-paint")
        return firstPaint(argc, argv, std::string(argv[2]) == "full");

    QApplication app(argc, argv);
    QTemporaryDir directory;
    fullFiles = {writeFullFile(directory.filePath(QStringLiteral("a.pff")), '1'),
                 writeFullFile(directory.filePath(QStringLiteral("b.pff")), '2')};
    qta::app::TfMain main;
    main.show();
    main.completePages();
    QApplication::processEvents();
    window = &main;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const StartFigures empty = measureStart("empty");
    const StartFigures full = measureStart("full");
    std::printf(
        "start to first paint (median of 9 runs): empty QMainWindow %.1f ms, TfMain %.1f ms, ratio %.2f\n",
        empty.firstPaintMs, full.firstPaintMs, full.firstPaintMs / empty.firstPaintMs);
    std::printf("start until every page is filled: TfMain %.1f ms\n", full.completeMs);
    std::printf("resident memory once shown: empty QMainWindow %.1f MB, TfMain (all pages) %.1f MB\n",
                static_cast<double>(empty.residentKb) / 1024.0,
                static_cast<double>(full.residentKb) / 1024.0);
    return 0;
}
