// zorbeth-bench: measures the library's hot paths on a generated library.
// Prints one line per figure, "name: value unit".

#include "LibraryGenerator.h"

#include "app/ProgramFolder.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Prompts.h"
#include "library/ui/TreeController.h"
#include "store/DatabaseFile.h"
#include "store/LibraryOrdering.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QWindow>

#include <sys/resource.h>

#include <cstdio>

namespace {

QElapsedTimer& sinceStart()
{
    static QElapsedTimer timer;
    return timer;
}

void report(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

template <typename Work>
double seconds(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

double peakMegabytes(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The program's own start-up on the folder, in this process: time to the first shown window,
// a rebuild of the tree on the loaded library, and the peak memory of it all.
int measureWindow(const QString& folder)
{
    Prompts::setScripted(true);
    MainWindow window(folder);
    window.start({});
    window.show();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    report("startup to first shown window", double(sinceStart().nsecsElapsed()) / 1e9, "s");
    report("filltreeview", seconds([&] { window.treeController().FillTreeView(); }), "s");
    report("peak memory", peakMegabytes(RUSAGE_SELF), "MB");
    return 0;
}

int measureCore(qsizetype snippets, const QString& folder)
{
    const QString path = folder + QStringLiteral("/zorbeth.txt");
    {
        const CodeArray generated = LibraryGenerator::generate(snippets);
        if (!DatabaseFile::write(path, generated)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return 2;
        }
    }
    const double fileMegabytes = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    report("file size", fileMegabytes, "MB");

    QString text;
    report("raw read and decode", seconds([&] {
               QFile file(path);
               file.open(QIODevice::ReadOnly);
               text = QString::fromUtf8(file.readAll());
           }),
           "s");
    report("raw encode and write", seconds([&] {
               QSaveFile file(folder + QStringLiteral("/raw.txt"));
               file.open(QIODevice::WriteOnly);
               file.write(text.toUtf8());
               file.commit();
           }),
           "s");
    text.clear();
    text.squeeze();
    QFile::remove(folder + QStringLiteral("/raw.txt"));

    DatabaseFile::ReadResult loaded;
    report("load", seconds([&] { loaded = DatabaseFile::read(path); }), "s");
    std::printf("records: %lld records\n", static_cast<long long>(loaded.records.size()));
    report("sort", seconds([&] { LibraryOrdering::SortCodeByLanguage(loaded.records); }), "s");
    report("save", seconds([&] { DatabaseFile::write(folder + QStringLiteral("/saved.txt"), loaded.records); }),
           "s");
    QFile::remove(folder + QStringLiteral("/saved.txt"));
    loaded = {};

    // The window runs in a process of its own, so its start-up and peak memory are the program's alone.
    ProgramFolder::seed(folder, ProgramFolder::shippedDataFolder());
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--window"), folder});
    child.waitForFinished(-1);
    return child.exitCode();
}

} // namespace

int main(int argc, char* argv[])
{
    sinceStart().start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures Zorbeth on a generated library."));
    parser.addHelpOption();
    const QCommandLineOption snippetsOption(QStringLiteral("snippets"),
                                            QStringLiteral("Number of snippets (default 100000)."),
                                            QStringLiteral("N"), QStringLiteral("100000"));
    const QCommandLineOption windowOption(QStringLiteral("window"),
                                          QStringLiteral("Measure the window's start-up on DIR."),
                                          QStringLiteral("DIR"));
    parser.addOption(snippetsOption);
    parser.addOption(windowOption);
    parser.process(app);

    if (parser.isSet(windowOption)) {
        return measureWindow(parser.value(windowOption));
    }
    bool ok = false;
    const qsizetype snippets = parser.value(snippetsOption).toLongLong(&ok);
    if (!ok || snippets < 1) {
        std::fprintf(stderr, "--snippets needs a positive number\n");
        return 2;
    }
    QTemporaryDir folder;
    return measureCore(snippets, folder.path());
}
