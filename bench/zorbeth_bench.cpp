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
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
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

// The high-water mark of this process's resident memory. getrusage would also count the memory of
// the process that started this one, since a started process inherits it across fork.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
    }
    return 0;
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
    const double peak = peakMegabytes();
    report("peak memory", peak, "MB");
    report("peak memory ratio", peak / (double(QFileInfo(folder + QStringLiteral("/zorbeth.txt")).size()) / 1048576.0),
           "x file size");
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

    // Fresh memory costs far more on first touch than after, so each figure and its raw reference
    // are taken in turns, three times, and the best of each is reported.
    const QString rawCopy = folder + QStringLiteral("/raw.txt");
    const QString savedCopy = folder + QStringLiteral("/saved.txt");
    double rawRead = 1e9, rawWrite = 1e9, load = 1e9, save = 1e9, sort = 0;
    qsizetype records = 0;
    for (int round = 0; round < 3; ++round) {
        {
            QString text;
            rawRead = std::min(rawRead, seconds([&] {
                                   QFile file(path);
                                   file.open(QIODevice::ReadOnly);
                                   text = QString::fromUtf8(file.readAll());
                               }));
            rawWrite = std::min(rawWrite, seconds([&] {
                                    QSaveFile file(rawCopy);
                                    file.open(QIODevice::WriteOnly);
                                    file.write(text.toUtf8());
                                    file.commit();
                                }));
        }
        DatabaseFile::ReadResult loaded;
        load = std::min(load, seconds([&] { loaded = DatabaseFile::read(path); }));
        records = qsizetype(loaded.records.size());
        sort = seconds([&] { LibraryOrdering::SortCodeByLanguage(loaded.records); });
        save = std::min(save, seconds([&] { DatabaseFile::write(savedCopy, loaded.records); }));
    }
    QFile::remove(rawCopy);
    QFile::remove(savedCopy);
    std::printf("records: %lld records\n", static_cast<long long>(records));
    report("raw read and decode", rawRead, "s");
    report("load", load, "s");
    report("load ratio", load / rawRead, "x");
    report("raw encode and write", rawWrite, "s");
    report("save", save, "s");
    report("save ratio", save / rawWrite, "x");
    report("sort", sort, "s");

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
    const QCommandLineOption keepOption(QStringLiteral("keep"),
                                        QStringLiteral("Generate into DIR and keep it, instead of a temporary folder."),
                                        QStringLiteral("DIR"));
    parser.addOption(snippetsOption);
    parser.addOption(windowOption);
    parser.addOption(keepOption);
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
    if (parser.isSet(keepOption)) {
        QDir().mkpath(parser.value(keepOption));
        return measureCore(snippets, QFileInfo(parser.value(keepOption)).absoluteFilePath());
    }
    QTemporaryDir folder;
    return measureCore(snippets, folder.path());
}
