// zorbeth-bench: measures the library's hot paths on a generated library.
// Prints one line per figure, "name: value unit".

#include "app/MainWindow.h"
#include "BenchPaths.h"
#include "editor/ui/EditorController.h"
#include "export/RecordingSurface.h"
#include "export/ui/PrintCommands.h"
#include "Figures.h"
#include "gui/BackgroundWork.h"
#include "gui/CodeEditor.h"
#include "gui/Prompts.h"
#include "import/ImportExtensions.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"
#include "LibraryGenerator.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "search/ResultRows.h"
#include "search/SearchEngine.h"
#include "search/ui/SearchPanel.h"
#include "search/ui/WordListCommands.h"
#include "settings/ProgramFolder.h"
#include "store/DatabaseFile.h"
#include "store/LibraryOrdering.h"
#include "store/RemoteCodeFile.h"
#include "sync/Comparison.h"

#include <algorithm>
#include <cstdio>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

namespace {

QElapsedTimer& sinceStart()
{
    static QElapsedTimer timer;
    return timer;
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
// The code editor on the loaded window: a 10,000-line snippet from the click on its node to the painted
// view, and the switch between typical snippets of different languages, each the best of three rounds.
void measureEditor(MainWindow& window)
{
    auto* tree = window.findChild<LibraryTree*>(QStringLiteral("Tree"));
    auto* code = window.findChild<CodeEditor*>(QStringLiteral("txtCode"));
    QList<QTreeWidgetItem*> snippets;
    for (int i = 0; i < tree->topLevelItemCount() && snippets.size() < 8; ++i) {
        QTreeWidgetItem* language = tree->topLevelItem(i);
        // Snippet rows exist once their category is open, as the user would open it.
        if (language->childCount() > 0) {
            language->child(0)->setExpanded(true);
        }
        if (language->childCount() > 0 && language->child(0)->childCount() > 0) {
            snippets << language->child(0)->child(0);
        }
    }
    auto show = [&](QTreeWidgetItem* node) {
        return seconds([&] {
            tree->setCurrentItem(node);
            code->viewport()->repaint();
        });
    };
    double worstSwitch = 0;
    double totalSwitch = 0;
    for (QTreeWidgetItem* node : snippets) {
        show(node); // the first showing of each language sets its lexer up
    }
    for (int round = 0; round < 3; ++round) {
        for (QTreeWidgetItem* node : snippets) {
            const double s = show(node);
            worstSwitch = std::max(worstSwitch, s);
            totalSwitch += s;
        }
    }
    report("switch language, typical snippet, mean", totalSwitch / double(3 * snippets.size()) * 1000, "ms");
    report("switch language, typical snippet, worst", worstSwitch * 1000, "ms");

    tree->topLevelItem(0)->child(0)->setExpanded(true);
    QTreeWidgetItem* big = tree->topLevelItem(0)->child(0)->child(0);
    QString text;
    for (int line = 0; line < 10000; ++line) {
        text += line % 50 == 0
                    ? QStringLiteral("/* block %1 */\r\n").arg(line)
                    : QStringLiteral("    int value%1 = compute(%1, \"text\");  // step %1\r\n").arg(line);
    }
    window.workspace().codeArray[size_t(LibraryTree::key(big).mid(1).toLongLong())].Code = text;
    double display = 1e9;
    for (int round = 0; round < 3; ++round) {
        show(snippets.value(1, big));
        display = std::min(display, show(big));
    }
    report("display 10000-line snippet", display * 1000, "ms");
    // Shading every other line there, and what a keystroke's colouring then costs.
    report("line colours on, 10000 lines",
           seconds([&] { window.findChild<QAction*>(QStringLiteral("mnuLineColors"))->trigger(); }) * 1000,
           "ms");
    auto* editor = window.findChild<EditorController*>();
    report("apply syntax with line colours, 10000 lines", seconds([&] { editor->ApplySyntax(); }) * 1000,
           "ms");
    window.findChild<QAction*>(QStringLiteral("mnuLineColors"))->trigger();
}

// The language export of the first language (about 5,000 snippets of 100,000), and the longest time
// between two runs of the event loop meanwhile, which is how long the window could not repaint.
void measureExport(MainWindow& window)
{
    auto* tree = window.findChild<LibraryTree*>(QStringLiteral("Tree"));
    tree->setCurrentItem(tree->topLevelItem(0));
    QApplication::processEvents();
    QElapsedTimer sinceEvents;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceEvents.nsecsElapsed());
        sinceEvents.restart();
    });
    tick.start();
    sinceEvents.start();
    const double total =
        seconds([&] { window.findChild<QAction*>(QStringLiteral("mnuExportLanguage"))->trigger(); });
    longest = std::max(longest, sinceEvents.nsecsElapsed());
    tick.stop();
    report("export language", total, "s");
    report("export longest event gap", double(longest) / 1e9, "s");
}

// Quick Open on every snippet: the box opened (its index built), then a 6-letter word typed a key at a
// time, each keystroke timed from the key to the updated list with the repaint that follows; the
// mean over three rounds, the box opened afresh for each.
void measureQuickOpen(MainWindow& window)
{
    auto* action = window.findChild<QAction*>(QStringLiteral("mnuQuickOpen"));
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("txtQuickOpen"));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("lstQuickOpen"));
    const QString word = QStringLiteral("stream");
    double open = 1e9;
    double typing = 0;
    int keys = 0;
    for (int round = 0; round < 3; ++round) {
        open = std::min(open, seconds([&] {
                            action->trigger();
                            QApplication::processEvents();
                        }));
        for (const QChar c : word) {
            QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
            typing += seconds([&] {
                QApplication::sendEvent(box, &press);
                QApplication::processEvents();
            });
            ++keys;
        }
    }
    std::printf("quick open rows for \"%s\": %d\n", qPrintable(box->text()), list->count());
    report("quick open index", open, "s");
    report("quick open keystroke", typing / keys, "s");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
}

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
    measureEditor(window);
    measureExport(window);
    measureQuickOpen(window);

    // The search area on every record: the list, a column sort and the "All" word list, each with the
    // window's own repaint.
    auto* search = window.findChild<SearchPanel*>(QStringLiteral("frameSearch"));
    window.findChild<QCheckBox*>(QStringLiteral("chkAllLanguages"))->setChecked(true);
    auto settle = [] { QApplication::processEvents(); };
    report("list all titles", seconds([&] {
               search->cmdAllTitles_Click();
               settle();
           }),
           "s");
    report("filllistview", seconds([&] {
               search->FillListView();
               settle();
           }),
           "s");
    report("column sort", seconds([&] {
               search->lstResults_ColumnClick(ResultRows::TitleColumn);
               settle();
           }),
           "s");
    report("word list all", seconds([&] {
               search->wordLists().optAll_Click();
               settle();
           }),
           "s");
    // The tree views as the menu runs them, with the repaint that follows.
    auto command = [&window](const char* name) {
        return seconds([&] {
            window.findChild<QAction*>(QLatin1String(name))->trigger();
            QApplication::processEvents();
        });
    };
    // The whole tree's outline, as its menu command prints it, laid out on a recording surface.
    auto* print = window.findChild<PrintCommands*>(QStringLiteral("printCommands"));
    print->setSurfaceFactory([] { return std::make_unique<RecordingSurface>(); });
    report("print outline", command("mnuPrintTreeSnippets"), "s");
    // The counts while every node is open, their dearest case.
    report("expand all", command("mnuTreeExpand"), "s");
    report("child counts on", command("mnuChildCount"), "s");
    report("child counts off", command("mnuChildCount"), "s");
    report("collapse all", command("mnuTreeCollapse"), "s");
    // Every other category open: the view then holds many open rows, which a signal per changed node
    // would make it search through. The list still holds every snippet.
    {
        auto* tree = window.findChild<LibraryTree*>(QStringLiteral("Tree"));
        int category = 0;
        for (int l = 0; l < tree->topLevelItemCount(); ++l) {
            QTreeWidgetItem* language = tree->topLevelItem(l);
            language->setExpanded(true);
            for (int c = 0; c < language->childCount(); ++c) {
                language->child(c)->setExpanded(category++ % 2 == 0);
            }
        }
        QApplication::processEvents();
    }
    report("bookmark all half open", command("mnuBookmarkAll"), "s");
    report("remove all bookmarks half open", command("mnuRemoveBookmarks"), "s");
    // Off and on again; the dearer of the two.
    report("custom icons half open", std::max(command("mnuTreeIcons"), command("mnuTreeIcons")), "s");
    report("one-language view", command("mnuAllHide"), "s");
    const double peak = peakMegabytes();
    report("peak memory", peak, "MB");
    report("peak memory ratio",
           peak / (double(QFileInfo(folder + QStringLiteral("/zorbeth.txt")).size()) / 1048576.0),
           "x file size");
    return 0;
}

// Text search over titles, keywords and code against grep -F on the database file itself, in turns,
// best of three; once for a term found nowhere (every character read) and once for a common one.
void measureSearch(const QString& path)
{
    DatabaseFile::ReadResult loaded = DatabaseFile::read(path);
    LibraryOrdering::SortCodeByLanguage(loaded.records);
    const SearchScope everywhere(QString(), true, false);
    for (const auto& [label, term] : {std::pair{"absent term", QStringLiteral("quux")},
                                      std::pair{"common term", QStringLiteral("stream(")}}) {
        for (const bool ignoreCase : {false, true}) {
            double search = 1e9;
            double grep = 1e9;
            qsizetype count = 0;
            for (int round = 0; round < 3; ++round) {
                search = std::min(search, seconds([&] {
                                      count = SearchEngine::TextSearch(loaded.records, term,
                                                                       ignoreCase ? Qt::CaseInsensitive
                                                                                  : Qt::CaseSensitive,
                                                                       {}, false, everywhere);
                                  }));
                QStringList arguments{QStringLiteral("-F"), QStringLiteral("-c")};
                if (ignoreCase) {
                    arguments << QStringLiteral("-i");
                }
                arguments << term << path;
                QProcess process;
                grep = std::min(grep, seconds([&] {
                                    process.start(QStringLiteral("grep"), arguments);
                                    process.waitForFinished(-1);
                                }));
            }
            const QByteArray name =
                QByteArray("text search ") + (ignoreCase ? "ignore case " : "exact ") + label;
            const QByteArray grepName = QByteArray("grep -F ") + (ignoreCase ? "-i " : "") + "-c " + label;
            std::printf("%s matches: %lld records\n", name.constData(), static_cast<long long>(count));
            report(name.constData(), search, "s");
            report(grepName.constData(), grep, "s");
            report((name + " ratio to grep").constData(), search / grep, "x");
        }
    }
}

// The seconds one run of program takes, its output thrown away.
double processSeconds(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return seconds([&] {
        process.start(program, arguments);
        process.waitForFinished(-1);
    });
}

// zorbeth-cli itself, as a user runs it on the library: a search for a term found nowhere against
// grep -F -i -c on the same file, and check against one read of the file by cat; each a process of
// its own, in turns, best of three.
void measureCommandLine(const QString& path)
{
    const QString cli = QStringLiteral(ZORBETH_CLI_PATH);
    const QString folder = QFileInfo(path).absolutePath();
    const QString term = QStringLiteral("quux");
    double search = 1e9, grep = 1e9, check = 1e9, raw = 1e9;
    for (int round = 0; round < 3; ++round) {
        search = std::min(search,
                          processSeconds(cli, {QStringLiteral("--folder"), folder, QStringLiteral("search"),
                                               QStringLiteral("--ignore-case"), QStringLiteral("--"), term}));
        grep = std::min(
            grep, processSeconds(QStringLiteral("/bin/grep"), {QStringLiteral("-F"), QStringLiteral("-i"),
                                                               QStringLiteral("-c"), term, path}));
        check = std::min(check, processSeconds(cli, {QStringLiteral("check"), path}));
        raw = std::min(raw, processSeconds(QStringLiteral("/bin/cat"), {path}));
    }
    report("cli search absent term ignore case", search, "s");
    report("grep -F -i -c absent term on file", grep, "s");
    report("cli search ratio to grep", search / grep, "x");
    report("cli check", check, "s");
    report("raw read of file", raw, "s");
}

// Splits a generated C++ source of 50 MB (scaled with the library for small runs) as the local
// import does, from reading the file to the last staged class.
void measureSplit(qsizetype snippets, const QString& folder)
{
    const QString path = folder + QStringLiteral("/split.cpp");
    const qint64 wanted =
        std::clamp<qint64>(50LL * 1024 * 1024 * snippets / 100000, 64 * 1024, 50LL * 1024 * 1024);
    {
        QByteArray text;
        text.reserve(wanted + 1024);
        for (qint64 n = 0; text.size() < wanted; ++n) {
            const QByteArray name = "Widget" + QByteArray::number(n);
            text += "// A widget class with a nested helper and inline members.\r\n"
                    "class " +
                    name +
                    " : public Base\r\n{\r\npublic:\r\n"
                    "    struct Helper {\r\n        int count = 0;\r\n    };\r\n"
                    "    int size() const { return m_size; }\r\n"
                    "    void grow(int by) { if (by > 0) { m_size += by; } }\r\n"
                    "private:\r\n    int m_size = 0;\r\n};\r\n\r\n"
                    "static int use" +
                    name + "() { return 1; }\r\n\r\n";
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return;
        }
    }
    CodeArray staged;
    report("split cpp 50 MB", seconds([&] { ImportExtensions::stageFile(path, staged); }), "s");
    std::printf("split cpp staged: %lld snippets\n", static_cast<long long>(staged.size()));
    QFile::remove(path);
}

// Splits a header of 80 KB made of "class }" lines and one final "{", where every title would run
// to that far brace.
void measureHostileSplit(const QString& folder)
{
    const QString path = folder + QStringLiteral("/hostile.h");
    QByteArray text;
    while (text.size() < 80 * 1024) {
        text += "class }\r\n";
    }
    text += "{";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return;
    }
    file.close();
    CodeArray staged;
    report("split hostile 80 KB", seconds([&] { ImportExtensions::stageFile(path, staged); }), "s");
    QFile::remove(path);
}

// Writes size bytes of a repeating pattern; false when the file could not be written.
bool writeFileOfSize(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray chunk(4 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        chunk[i] = char(i * 7 + i / 251);
    }
    for (qint64 left = size; left > 0; left -= chunk.size()) {
        const qint64 n = std::min<qint64>(left, chunk.size());
        if (file.write(chunk.constData(), n) != n) {
            return false;
        }
    }
    return true;
}

// Attaching a 100 MB file, and compacting a resource file of 10,000 objects in use with a third of
// its bytes orphaned, against cp of the same file; each the best of three rounds.
void measureObjects(double gigabytes, const QString& folder)
{
    const QString source = folder + QStringLiteral("/attach.bin");
    const QString resource = folder + QStringLiteral("/zorbethresource.res");
    if (!writeFileOfSize(source, 100LL * 1000 * 1000)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(source));
        return;
    }
    double attach = 1e9;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(resource);
        attach = std::min(attach, seconds([&] { ResourceFile::append(resource, source); }));
    }
    QFile::remove(source);
    report("attach 100 MB", attach, "s");

    // 15,000 objects one after the other; every third one is orphaned.
    constexpr int InUse = 10000;
    const qint64 size = qint64(gigabytes * 1e9);
    const qint64 objectBytes = size / (InUse * 3 / 2);
    if (!writeFileOfSize(resource, objectBytes * (InUse * 3 / 2))) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(resource));
        return;
    }
    CodeArray records;
    for (qint64 n = 0; n < InUse * 3 / 2; ++n) {
        if (n % 3 != 2) {
            SnippetRecord r;
            r.ObjectName = QStringLiteral("object%1.bin").arg(n);
            r.ObjectFlag = 1;
            r.ObjectStart = qint32(n * objectBytes + 1);
            r.ObjectLength = qint32(objectBytes);
            records.push_back(r);
        }
    }
    const QString copy = folder + QStringLiteral("/copy.res");
    double cp = 1e9, compact = 1e9;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(copy);
        cp = std::min(cp, seconds([&] { QProcess::execute(QStringLiteral("cp"), {resource, copy}); }));
        QFile::remove(copy);
        compact = std::min(compact, seconds([&] {
                               const ResourceCompaction::Result r =
                                   ResourceCompaction::writeCompacted(resource, records);
                               if (!r.ok) {
                                   std::fprintf(stderr, "compaction failed: %s\n", qPrintable(r.error));
                               }
                           }));
        QFile::remove(ResourceCompaction::tempPathFor(resource));
    }
    QFile::remove(resource);
    std::printf("resource file: %.0f MB, %d objects in use\n", double(objectBytes * (InUse * 3 / 2)) / 1e6,
                InUse);
    report("cp resource file", cp, "s");
    report("compact resource file", compact, "s");
    report("compact ratio to cp", compact / cp, "x");
}

// The comparison of a server copy as large as the library: half its snippets identical to library
// snippets, a tenth a library title with other code, the rest new. Then the staging loader against
// the library's own load of the same file, in turns, best of three each.
void measureComparison(const QString& path)
{
    DatabaseFile::ReadResult loaded = DatabaseFile::read(path);
    CodeArray& library = loaded.records;
    LibraryOrdering::SortCodeByLanguage(library);
    const size_t count = library.size();
    CodeArray staged;
    staged.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        // Spread over the library, so that the staged copy is not in library order before its sort.
        SnippetRecord r = library[(i * 7919) % count];
        r.Keywords.clear();
        if (i % 10 == 5) {
            r.Code = r.Code.toString() + QStringLiteral("\r\n// changed on the server");
        } else if (i % 10 >= 6) {
            r.Title = QStringLiteral("server only ") + QString::number(i);
        }
        staged.push_back(std::move(r));
    }
    RemoteCodeFile::SortRemoteCodeByLanguage(staged);

    double compare = 1e9;
    std::vector<Comparison::Row> rows;
    for (int round = 0; round < 3; ++round) {
        compare = std::min(compare, seconds([&] {
                               const LocalIndex index(library);
                               rows = Comparison::FillListViewRemote(index, staged);
                           }));
    }
    const auto red =
        std::count_if(rows.begin(), rows.end(), [](const Comparison::Row& row) { return row.red; });
    std::printf("compare differences rows: %lld of %lld staged, %lld red, against %lld library records\n",
                static_cast<long long>(rows.size()), static_cast<long long>(staged.size()),
                static_cast<long long>(red), static_cast<long long>(count));
    report("compare differences", compare, "s");
    rows.clear();
    staged.clear();
    library.clear();

    double serverLoad = 1e9;
    double libraryLoad = 1e9;
    qsizetype serverRecords = 0;
    for (int round = 0; round < 3; ++round) {
        CodeArray remote;
        serverLoad =
            std::min(serverLoad, seconds([&] { RemoteCodeFile::LoadRemoteCodeDataFromFile(path, remote); }));
        serverRecords = qsizetype(remote.size());
        remote.clear();
        DatabaseFile::ReadResult again;
        libraryLoad = std::min(libraryLoad, seconds([&] { again = DatabaseFile::read(path); }));
    }
    std::printf("server load: %lld records\n", static_cast<long long>(serverRecords));
    report("server load ratio", serverLoad / libraryLoad, "x");
}

int measureCore(qsizetype snippets, const QString& folder, double objectsGigabytes)
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
        // What the window's save does: mend what the file format cannot hold, then write.
        save = std::min(save, seconds([&] {
                            DatabaseFile::fitToFormat(loaded.records);
                            DatabaseFile::write(savedCopy, loaded.records);
                        }));
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
    measureSearch(path);
    measureCommandLine(path);
    measureSplit(snippets, folder);
    measureHostileSplit(folder);
    measureComparison(path);

    measureObjects(objectsGigabytes, folder);

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
    // As the program itself starts.
    limitAllocatorArenas();
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
    const QCommandLineOption keepOption(
        QStringLiteral("keep"),
        QStringLiteral("Generate into DIR and keep it, instead of a temporary folder."),
        QStringLiteral("DIR"));
    parser.addOption(snippetsOption);
    parser.addOption(windowOption);
    const QCommandLineOption objectsOption(
        QStringLiteral("objects-gb"),
        QStringLiteral("Size of the resource file the compaction is measured on, in GB (default 0.1)."),
        QStringLiteral("G"), QStringLiteral("0.1"));
    parser.addOption(keepOption);
    parser.addOption(objectsOption);
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
    const double objectsGigabytes = parser.value(objectsOption).toDouble(&ok);
    if (!ok || objectsGigabytes <= 0 || objectsGigabytes > 2) {
        std::fprintf(stderr, "--objects-gb needs a number above 0 and at most 2\n");
        return 2;
    }
    if (parser.isSet(keepOption)) {
        QDir().mkpath(parser.value(keepOption));
        return measureCore(snippets, QFileInfo(parser.value(keepOption)).absoluteFilePath(),
                           objectsGigabytes);
    }
    QTemporaryDir folder;
    return measureCore(snippets, folder.path(), objectsGigabytes);
}
