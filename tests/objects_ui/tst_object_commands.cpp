#include "gui/CommandToolbar.h"
#include "HostileNames.h"
#include "library/ui/TreeController.h"
#include "LibraryText.h"
#include "objects/ResourceCompaction.h"
#include "objects/SafeNames.h"
#include "objects/ui/ObjectCommands.h"
#include "objects/ui/ViewerWindow.h"
#include "store/DateStamp.h"
#include "store/WriteFaults.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>

namespace {

const QDateTime Pinned(QDate(2026, 3, 4), QTime(5, 6, 7));
const QString PinnedStamp = QStringLiteral("2026-03-04 05:06:07");

// A window on a library of two snippets, "one" and "two", in C / Cat.
MainWindow& openLibrary(WindowFixture& f)
{
    f.writeLibrary({WindowFixture::record("C", "Cat", "one"), WindowFixture::record("C", "Cat", "two")});
    return f.open();
}

void select(WindowFixture& f, const QString& text)
{
    QTreeWidgetItem* item = f.node(text);
    QVERIFY2(item, qPrintable(text));
    f.tree()->setCurrentItem(item);
}

void click(WindowFixture& f, const QString& key)
{
    f.find<CommandToolbar>("Toolbar1")->Toolbar1_ButtonClick(key);
}

void trigger(WindowFixture& f, const char* name)
{
    QAction* action = f.find<QAction>(name);
    QVERIFY2(action, name);
    action->trigger();
}

SnippetRecord& recordOf(MainWindow& w, const QString& title)
{
    for (SnippetRecord& r : w.workspace().codeArray) {
        if (r.Title == title) {
            return r;
        }
    }
    return w.workspace().codeArray.front();
}

QString status(WindowFixture& f)
{
    return f.find<QLabel>("StatusBar1")->text();
}

QString resourcePath(WindowFixture& f)
{
    return QDir(f.folder()).filePath("zorbethresource.res");
}

// Attaches a file of the name and bytes to the snippet through the Add button.
void attach(WindowFixture& f, QTemporaryDir& sources, const QString& title, const QString& name,
            const QByteArray& bytes)
{
    const QString path = sources.filePath(name);
    QVERIFY(LibraryText::writeAll(path, bytes));
    select(f, title);
    Prompts::queueFile(path);
    click(f, "Add");
}

// The message texts shown since the last call.
QStringList messages()
{
    QStringList texts;
    for (const Prompts::Record& r : Prompts::takeHistory()) {
        texts << r.title + ": " + r.text;
    }
    return texts;
}

CodeArray onDisk(WindowFixture& f)
{
    return DatabaseFile::read(f.libraryPath()).records;
}

} // namespace

class TestObjectCommands : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DateStamp::pin(Pinned);
        WriteFaults::limitBytes(-1);
    }

    void cleanup() { DateStamp::pin(QDateTime()); }

    void objectsMenu_hasTheMaintenanceCommandsBeforeHelp()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        auto* menu = f.find<QMenu>("mnuObjects");
        QVERIFY(menu);
        QCOMPARE(menu->title(), QString("O&bjects"));
        QStringList items;
        for (QAction* a : menu->actions()) {
            items << a->objectName() + "=" + a->text();
        }
        QCOMPARE(items, QStringList(
                            {"mnuObjectAnalyze=&Analyze Object File", "mnuObjectCompact=&Compact Object File",
                             "mnuObjectList=&Show Object List", "mnuRemoveObjects=&Remove All Objects"}));
        const QList<QAction*> bar = w.menuBar()->actions();
        QCOMPARE(bar.indexOf(menu->menuAction()) + 1, bar.indexOf(f.find<QMenu>("mnuHelp")->menuAction()));
    }

    void add_firstAttach_createsTheFileAtPositionOneAndMarksTheSnippet()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "diagram.pdf", "%PDF-1.4 body");
        const SnippetRecord& r = recordOf(w, "one");
        QCOMPARE(r.ObjectName, QString("diagram.pdf"));
        QCOMPARE(r.ObjectFlag, 1);
        QCOMPARE(r.ObjectStart, 1);
        QCOMPARE(r.ObjectLength, 13);
        QCOMPARE(r.Date, PinnedStamp);
        QCOMPARE(f.find<QLineEdit>("txtObject")->text(), QString("diagram.pdf"));
        QCOMPARE(f.find<QLineEdit>("txtUpdate")->text(), PinnedStamp);
        QCOMPARE(status(f), QString("Selected object stored in resource file"));
        QVERIFY(w.workspace().CodeChanged);
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("%PDF-1.4 body"));

        attach(f, sources, "two", "data.csv", "a,b");
        QCOMPARE(recordOf(w, "two").ObjectStart, 14);
    }

    void add_refusals_leaveTheFileAndTheSnippetAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("statusStart");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << "cancel"
                                   << ""
                                   << "";
        QTest::newRow("empty file") << "empty"
                                    << ""
                                    << "";
        QTest::newRow("unreadable") << "missing"
                                    << "Object not stored: The file"
                                    << "";
        QTest::newRow("write fails") << "full"
                                     << ""
                                     << "Store Object: The object could not be stored";
        QTest::newRow("read-only library") << "readonly"
                                           << "The library is open read-only"
                                           << "";
        // The kernel gives a page size for this file and then less: the read fails half-way.
        QTest::newRow("file ends while read") << "shrinks"
                                              << "Object not stored: The file /sys/devices/system/cpu/online "
                                                 "cannot be read: The file ended early."
                                              << "";
    }

    void add_refusals_leaveTheFileAndTheSnippetAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, statusStart);
        QFETCH(QString, message);
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "two", "first.txt", "first");
        w.workspace().CodeChanged = false;
        const SnippetRecord before = recordOf(w, "one");
        select(f, "one");
        f.find<QLabel>("StatusBar1")->clear();
        messages();
        if (kind == "empty") {
            LibraryText::writeAll(sources.filePath("empty"), {});
            Prompts::queueFile(sources.filePath("empty"));
        } else if (kind == "missing") {
            Prompts::queueFile(sources.filePath("missing"));
        } else if (kind == "full") {
            LibraryText::writeAll(sources.filePath("big"), QByteArray(100000, 'b'));
            Prompts::queueFile(sources.filePath("big"));
            WriteFaults::limitBytes(1000);
        } else if (kind == "readonly") {
            w.workspace().readOnly = true;
            Prompts::queueFile(sources.filePath("first.txt"));
        } else if (kind == "shrinks") {
            const QString shrinking = QStringLiteral("/sys/devices/system/cpu/online");
            if (QFileInfo(shrinking).size() <= LibraryText::readAll(shrinking).size()) {
                QSKIP("no file here that ends before its stated size");
            }
            Prompts::queueFile(shrinking);
        }
        click(f, "Add");
        WriteFaults::limitBytes(-1);
        QCOMPARE(recordOf(w, "one"), before);
        QVERIFY(!w.workspace().CodeChanged);
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("first"));
        if (statusStart.isEmpty()) {
            QCOMPARE(status(f), QString());
        } else {
            QVERIFY2(status(f).startsWith(statusStart), qPrintable(status(f)));
        }
        const QStringList shown = messages().filter(": ").filter(QRegularExpression("^(?!Select Object)"));
        QCOMPARE(shown.isEmpty(), message.isEmpty());
        if (!message.isEmpty()) {
            QVERIFY2(shown.first().startsWith(message), qPrintable(shown.first()));
        }
    }

    void objectButtons_onLanguageAndCategoryNodes_doNothing()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        const CodeArray before = w.workspace().codeArray;
        for (const char* key : {"Add", "Remove", "SaveAs", "Viewer"}) {
            QVERIFY2(f.find<CommandToolbar>("Toolbar1")->button(key)->isEnabled(), key);
        }
        for (const char* node : {"C", "Cat"}) {
            for (const char* key : {"Add", "Remove", "SaveAs", "Viewer"}) {
                const QString what = QString("%1 on %2").arg(key, node);
                select(f, node);
                QVERIFY2(!f.find<CommandToolbar>("Toolbar1")->button(key)->isEnabled(), qPrintable(what));
                f.find<QLabel>("StatusBar1")->setText("unchanged");
                messages();
                Prompts::queueFile(sources.filePath("a.txt"));
                Prompts::queueFolder(sources.path());
                click(f, key);
                QVERIFY2(w.workspace().codeArray == before, qPrintable(what));
                QCOMPARE(status(f), QString("unchanged"));
                QCOMPARE(messages(), QStringList());
                QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("abc"));
                QVERIFY2(w.findChild<ViewerWindow*>() == nullptr, qPrintable(what));
            }
        }
    }

    void remove_detachesButKeepsTheBytes()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        w.workspace().CodeChanged = false;
        DateStamp::pin(Pinned.addDays(1));
        click(f, "Remove");
        const SnippetRecord& r = recordOf(w, "one");
        QCOMPARE(r.ObjectName, QString());
        QCOMPARE(r.ObjectFlag, 0);
        QCOMPARE(r.ObjectStart, 0);
        QCOMPARE(r.ObjectLength, 0);
        QCOMPARE(r.Date, QString("2026-03-05 05:06:07"));
        // As selecting the snippet again shows it.
        QCOMPARE(f.find<QLineEdit>("txtObject")->text(), QString("<no object>"));
        QCOMPARE(f.find<QLineEdit>("txtUpdate")->text(), r.Date);
        QVERIFY(w.workspace().CodeChanged);
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("abc"));
        select(f, "two");
        select(f, "one");
        QCOMPARE(f.find<QLineEdit>("txtObject")->text(), QString("<no object>"));
    }

    void remove_inAReadOnlyWindow_isRefused()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        w.workspace().CodeChanged = false;
        w.workspace().readOnly = true;
        const SnippetRecord before = recordOf(w, "one");
        click(f, "Remove");
        QCOMPARE(recordOf(w, "one"), before);
        QVERIFY(!w.workspace().CodeChanged);
        QCOMPARE(f.find<QLineEdit>("txtObject")->text(), QString("a.txt"));
        QVERIFY2(status(f).startsWith("The library is open read-only") &&
                     status(f).endsWith("no object was removed."),
                 qPrintable(status(f)));
    }

    void saveAs_writesTheObjectOverALargerFile()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "two", "skip.bin", "skipped");
        attach(f, sources, "one", "picture.bmp", "BMbytes");
        QTemporaryDir out;
        LibraryText::writeAll(out.filePath("picture.bmp"), QByteArray(10000, 'z'));
        messages();
        Prompts::queueFolder(out.path());
        click(f, "SaveAs");
        // The first time in the home folder, never the program folder; then where the last object went.
        QCOMPARE(messages(), QStringList{"Select Output Folder: " +
                                         QStandardPaths::writableLocation(QStandardPaths::HomeLocation)});
        QCOMPARE(LibraryText::readAll(out.filePath("picture.bmp")), QByteArray("BMbytes"));
        QCOMPARE(HostileNames::filesBelow(out.path()), QStringList{"picture.bmp"});
        select(f, "two");
        Prompts::queueFolder(QString());
        click(f, "SaveAs");
        QCOMPARE(messages(), QStringList{"Select Output Folder: " + out.path()});
        // A program folder chosen once is not where the dialog opens the next time.
        Prompts::queueFolder(f.folder());
        click(f, "SaveAs");
        Prompts::queueFolder(QString());
        click(f, "SaveAs");
        QCOMPARE(messages().last(),
                 "Select Output Folder: " + QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
        Prompts::queueFolder(out.path());
        click(f, "SaveAs");
        w.workspace().CodeChanged = false;
        QVERIFY(w.close());
        QCOMPARE(f.settings().get("ObjectFolder"), out.path());
    }

    void saveAs_overTheProgramsOwnFiles_refusesAndSaysWhy_data()
    {
        QTest::addColumn<QString>("folder"); // below the program folder; "link" a link to it
        QTest::addColumn<QString>("name");
        QTest::newRow("library") << ""
                                 << "zorbeth.txt";
        QTest::newRow("library, other case") << ""
                                             << "ZORBETH.TXT";
        QTest::newRow("backup") << ""
                                << "zorbeth.txt.old";
        QTest::newRow("copy kept aside") << ""
                                         << "zorbeth.txt.mine-20260304-050607";
        QTest::newRow("resource file") << ""
                                       << "zorbethresource.res";
        QTest::newRow("compacted resource file") << ""
                                                 << "zorbethresource.res.tmp";
        QTest::newRow("lock") << ""
                              << "zorbeth.lock";
        QTest::newRow("settings") << ""
                                  << "zorbeth.ini";
        QTest::newRow("search history") << ""
                                        << "zorbethsearch.txt";
        QTest::newRow("version file") << ""
                                      << "zqupdate.dat";
        QTest::newRow("viewer's working file") << ""
                                               << "zqTempObject.txt";
        QTest::newRow("through a link") << "link"
                                        << "zorbeth.txt";
        QTest::newRow("language definitions") << "language_def"
                                              << "c.lng";
        QTest::newRow("templates") << "html_templates"
                                   << "default.htm";
    }

    void saveAs_overTheProgramsOwnFiles_refusesAndSaysWhy()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "x.bin", "attached bytes");
        trigger(f, "mnuSave");
        recordOf(w, "one").ObjectName = name;
        QTemporaryDir links;
        QString target = QDir(f.folder()).filePath(folder);
        if (folder == "link") {
            target = links.filePath("program");
            QVERIFY(QFile::link(f.folder(), target));
        }
        QVERIFY(QDir().mkpath(target));
        const QString path = QDir(target).filePath(name);
        if (!QFileInfo::exists(path)) {
            QVERIFY(LibraryText::writeAll(path, "the program's own"));
        }
        const QByteArray own = LibraryText::readAll(path);
        const QByteArray library = LibraryText::readAll(f.libraryPath());
        messages();
        Prompts::queueFolder(target);
        click(f, "SaveAs");
        QCOMPARE(messages().size(), 1);
        QCOMPARE(LibraryText::readAll(path), own);
        QCOMPARE(LibraryText::readAll(f.libraryPath()), library);
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("attached bytes"));
        QVERIFY2(status(f).startsWith(QDir::toNativeSeparators(path) + " was not written: ") &&
                     status(f).endsWith("Choose another folder."),
                 qPrintable(status(f)));
    }

    void saveAs_withoutObject_beepsAndSaysSo()
    {
        WindowFixture f;
        openLibrary(f);
        select(f, "one");
        Prompts::queueFolder(f.folder());
        click(f, "SaveAs");
        QCOMPARE(status(f), QString("No object found. Cannot save!"));
        QCOMPARE(messages(), QStringList());
    }

    void saveAs_hostileNames_neverWriteOutsideTheFolder()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.bin", "payload");
        QTemporaryDir sandbox;
        const QString out = sandbox.filePath("out/inner");
        QVERIFY(QDir().mkpath(out));
        const QStringList programFiles = HostileNames::filesBelow(f.folder());
        const QStringList names = HostileNames::all();
        QVERIFY(names.size() >= 50);
        QStringList expected;
        for (const QString& name : names) {
            if (!name.trimmed().isEmpty() && !SafeNames::fileName(name).isEmpty()) {
                expected << "inner/" + SafeNames::fileName(name);
            }
            recordOf(w, "one").ObjectName = name;
            messages();
            Prompts::queueFolder(out);
            click(f, "SaveAs");
            const QStringList shown = messages();
            if (name.trimmed().isEmpty()) {
                QCOMPARE(status(f), QString("No object found. Cannot save!"));
            } else if (shown.size() > 1) {
                QCOMPARE(shown.last(), QString("Extract Object: Error extracting object!"));
            }
            for (const QString& file : HostileNames::filesBelow(sandbox.path())) {
                QVERIFY2(file == "out" || file == "out/inner" ||
                             (file.startsWith("out/inner/") && !file.mid(10).contains(u'/')),
                         qPrintable(QString("%1 wrote %2").arg(name, file)));
            }
        }
        expected.removeDuplicates();
        expected.sort();
        QVERIFY(expected.size() > 10);
        QCOMPARE(HostileNames::filesBelow(sandbox.filePath("out")), (QStringList{"inner"} + expected));
        QCOMPARE(HostileNames::filesBelow(f.folder()), programFiles);
    }

    void outOfRangePositions_sayErrorGettingObjectStringAndChangeNothing()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abcd");
        const QList<std::pair<qint32, qint32>> ranges{
            {0, 2}, {-3, 2}, {3, 9}, {1, -1}, {1, std::numeric_limits<qint32>::max()}, {5, 1}, {1, 2}};
        for (const auto& [start, length] : ranges) {
            // The last range lies inside a resource file that is gone.
            const bool fileKept = start != 1 || length != 2;
            if (!fileKept) {
                QFile::remove(resourcePath(f));
            }
            SnippetRecord& r = recordOf(w, "one");
            r.ObjectStart = start;
            r.ObjectLength = length;
            const SnippetRecord before = r;
            QTemporaryDir out;
            for (const char* key : {"SaveAs", "Viewer"}) {
                messages();
                Prompts::queueFolder(out.path());
                click(f, key);
                const QStringList shown = messages();
                QVERIFY2(shown.contains("Get Object String: Error getting object string!"),
                         qPrintable(QString("%1 %2: %3").arg(start).arg(length).arg(shown.join('|'))));
                if (QString(key) == "Viewer") {
                    QCOMPARE(shown.last(), QString("Display Object: Error displaying object!"));
                }
            }
            QCOMPARE(recordOf(w, "one"), before);
            QCOMPARE(HostileNames::filesBelow(out.path()), QStringList());
            QCOMPARE(LibraryText::readAll(resourcePath(f)), fileKept ? QByteArray("abcd") : QByteArray());
        }
    }

    void analyze_showsTheUtilisation()
    {
        WindowFixture f;
        openLibrary(f);
        trigger(f, "mnuObjectAnalyze");
        QCOMPARE(status(f), QString("Resource File Analysis:     File is empty. No objects stored."));
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abcd");
        attach(f, sources, "one", "b.txt", "ef");
        trigger(f, "mnuObjectAnalyze");
        QCOMPARE(status(f),
                 QString("Resource File Analysis:     1 object(s) stored.    2 of 6  bytes used in "
                         "resource file.    33.33% utilization"));
    }

    void compact_afterRemovingOneOfTwo_leavesExactlyTheOtherAtPositionOne()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "AAAA");
        attach(f, sources, "two", "b.txt", "BBB");
        select(f, "one");
        click(f, "Remove");
        messages();
        Prompts::queueAnswer(Prompts::Answer::Ok);
        trigger(f, "mnuObjectCompact");
        QCOMPARE(messages(),
                 QStringList{"Compact Resource File: There are changes pending which must be saved before "
                             "the resource file can be compacted.  Save the changes?"});
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("BBB"));
        QCOMPARE(recordOf(w, "two").ObjectStart, 1);
        QVERIFY(!w.workspace().CodeChanged);
        const CodeArray saved = onDisk(f);
        QCOMPARE(saved.size(), size_t(2));
        QCOMPARE(saved[1].Title, QString("two"));
        QCOMPARE(saved[1].ObjectStart, 1);
        QCOMPARE(saved[1].ObjectLength, 3);
        QCOMPARE(saved[0].ObjectFlag, 0);
        QVERIFY(!QFile::exists(ResourceCompaction::tempPathFor(resourcePath(f))));
        QCOMPARE(status(f),
                 QString("Resource File Compacted:      1 object(s) stored.    3 of 3  bytes used in "
                         "resource file.    100.00% utilization"));
    }

    void compact_pendingChangesNotSaved_changesNothing()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "AAAA");
        attach(f, sources, "one", "b.txt", "BB");
        const QByteArray library = LibraryText::readAll(f.libraryPath());
        Prompts::queueAnswer(Prompts::Answer::Cancel);
        trigger(f, "mnuObjectCompact");
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("AAAABB"));
        QCOMPARE(LibraryText::readAll(f.libraryPath()), library);
        QCOMPARE(recordOf(w, "one").ObjectStart, 5);
        QVERIFY(w.workspace().CodeChanged);
    }

    void open_afterAnInterruptedCompaction_finishesIt_data()
    {
        QTest::addColumn<qint32>("start");
        QTest::addColumn<QByteArray>("resource");
        // The library was saved with the compacted positions: the compacted file takes the old one's place.
        QTest::newRow("library saved compacted") << 1 << QByteArray("BBB");
        // The library still holds the old positions: the compacted file goes and the old one stays.
        QTest::newRow("library not saved yet") << 5 << QByteArray("AAAABBB");
    }

    void open_afterAnInterruptedCompaction_finishesIt()
    {
        QFETCH(qint32, start);
        QFETCH(QByteArray, resource);
        WindowFixture f;
        SnippetRecord two = WindowFixture::record("C", "Cat", "two");
        two.ObjectName = QStringLiteral("b.txt");
        two.ObjectFlag = 1;
        two.ObjectStart = start;
        two.ObjectLength = 3;
        f.writeLibrary({WindowFixture::record("C", "Cat", "one"), two});
        const QString temp = ResourceCompaction::tempPathFor(resourcePath(f));
        QVERIFY(LibraryText::writeAll(resourcePath(f), "AAAABBB"));
        QVERIFY(LibraryText::writeAll(temp, "BBB"));
        messages();
        f.open();
        QCOMPARE(LibraryText::readAll(resourcePath(f)), resource);
        QVERIFY(!QFile::exists(temp));
        QCOMPARE(messages(), QStringList());
    }

    void compact_failures_leaveTheOldPairAndSaySo_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("write fails half-way") << "write"
                                              << "The resource file was not compacted";
        QTest::newRow("library cannot be saved") << "save"
                                                 << "The library could not be saved with the new positions";
        QTest::newRow("object outside the file") << "range"
                                                 << "The resource file was not compacted";
    }

    void compact_failures_leaveTheOldPairAndSaySo()
    {
        QFETCH(QString, failure);
        QFETCH(QString, message);
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", QByteArray(5000, 'a'));
        attach(f, sources, "one", "b.txt", QByteArray(5000, 'b'));
        attach(f, sources, "two", "c.txt", QByteArray(5000, 'c'));
        trigger(f, "mnuSave");
        const QByteArray resource = LibraryText::readAll(resourcePath(f));
        if (failure == "write") {
            WriteFaults::limitBytes(7000);
        } else if (failure == "save") {
            w.workspace().saveBlockedReason = "The library file could not be read.";
        } else {
            recordOf(w, "two").ObjectLength = 9000;
            trigger(f, "mnuSave");
        }
        const QByteArray library = LibraryText::readAll(f.libraryPath());
        const CodeArray records = w.workspace().codeArray;
        messages();
        trigger(f, "mnuObjectCompact");
        WriteFaults::limitBytes(-1);
        const QStringList shown = messages();
        QVERIFY2(!shown.isEmpty() && shown.last().startsWith("Compact Resource File: " + message),
                 qPrintable(shown.join('|')));
        QCOMPARE(LibraryText::readAll(resourcePath(f)), resource);
        QCOMPARE(LibraryText::readAll(f.libraryPath()), library);
        QCOMPARE(w.workspace().codeArray, records);
        QVERIFY(!w.workspace().CodeChanged);
        QVERIFY(!QFile::exists(ResourceCompaction::tempPathFor(resourcePath(f))));
    }

    void compact_libraryChangedOnDisk_keepsThePairOnEveryAnswer_data()
    {
        QTest::addColumn<bool>("pending");
        QTest::addColumn<int>("saveAnswer"); // to the question about the other program's version
        QTest::newRow("nothing pending") << false << -1;
        QTest::newRow("pending, keep other version") << true << int(Prompts::Answer::No);
        QTest::newRow("pending, overwrite") << true << int(Prompts::Answer::Yes);
    }

    void compact_libraryChangedOnDisk_keepsThePairOnEveryAnswer()
    {
        QFETCH(bool, pending);
        QFETCH(int, saveAnswer);
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "XXXX");
        attach(f, sources, "one", "a.txt", "AAAA");
        attach(f, sources, "two", "b.txt", "BB");
        trigger(f, "mnuSave");
        // Another program saves the library meanwhile.
        CodeArray theirs = w.workspace().codeArray;
        theirs.push_back(WindowFixture::record("C", "Cat", "theirs"));
        f.writeLibrary(theirs);
        const QByteArray theirBytes = LibraryText::readAll(f.libraryPath());
        if (pending) {
            recordOf(w, "two").Keywords = "edited";
            w.workspace().CodeChanged = true;
            Prompts::queueAnswer(Prompts::Answer::Ok);
            Prompts::queueAnswer(Prompts::Answer(saveAnswer));
        }
        messages();
        trigger(f, "mnuObjectCompact");
        const QStringList shown = messages();
        const QStringList mine = QDir(f.folder()).entryList({"zorbeth.txt.mine-*"}, QDir::Files);
        QVERIFY(!QFile::exists(ResourceCompaction::tempPathFor(resourcePath(f))));
        if (saveAnswer == int(Prompts::Answer::Yes)) {
            // Overwritten: the library is ours again, and the compaction goes on.
            QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("AAAABB"));
            const CodeArray saved = onDisk(f);
            QCOMPARE(saved.size(), size_t(2));
            QCOMPARE(saved[0].ObjectStart, 1);
            QCOMPARE(saved[1].ObjectStart, 5);
            QVERIFY(status(f).startsWith("Resource File Compacted:"));
            return;
        }
        // Not compacted: the other version stays, and whatever was written beside it holds positions
        // of the resource file as it is.
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("XXXXAAAABB"));
        QCOMPARE(LibraryText::readAll(f.libraryPath()), theirBytes);
        QCOMPARE(recordOf(w, "one").ObjectStart, 5);
        QCOMPARE(recordOf(w, "two").ObjectStart, 9);
        if (pending) {
            QCOMPARE(mine.size(), 1);
            const CodeArray kept = DatabaseFile::read(QDir(f.folder()).filePath(mine.first())).records;
            QCOMPARE(kept.size(), size_t(2));
            QCOMPARE(kept[0].ObjectStart, 5);
            QCOMPARE(kept[1].ObjectStart, 9);
            QVERIFY2(status(f).endsWith("the resource file was not compacted, as the library file belongs to "
                                        "the other program's version."),
                     qPrintable(status(f)));
        } else {
            QCOMPARE(mine, QStringList());
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown.first().startsWith("Compact Resource File: The library file " +
                                              QDir::toNativeSeparators(f.libraryPath()) +
                                              " was changed by another program after Zorbeth loaded or last "
                                              "saved it, so the resource file was not compacted"),
                     qPrintable(shown.first()));
        }
    }

    void removeAll_cancelled_changesNothing()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        trigger(f, "mnuSave");
        const CodeArray records = w.workspace().codeArray;
        const QByteArray library = LibraryText::readAll(f.libraryPath());
        messages();
        Prompts::queueAnswer(Prompts::Answer::Cancel);
        trigger(f, "mnuRemoveObjects");
        QCOMPARE(messages(),
                 QStringList{"Remove All Objects: Are your sure? All objects will be removed and all "
                             "pending database changes saved!"});
        QCOMPARE(w.workspace().codeArray, records);
        QCOMPARE(LibraryText::readAll(f.libraryPath()), library);
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("abc"));
    }

    void removeAll_savesTheLibraryThenDeletesTheFile()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        attach(f, sources, "two", "b.txt", "de");
        DateStamp::pin(Pinned.addDays(2));
        Prompts::queueAnswer(Prompts::Answer::Ok);
        trigger(f, "mnuRemoveObjects");
        QVERIFY(!QFile::exists(resourcePath(f)));
        for (const SnippetRecord& r : onDisk(f)) {
            QCOMPARE(r.ObjectName, QString());
            QCOMPARE(r.ObjectFlag, 0);
            QCOMPARE(r.Date, QString("2026-03-06 05:06:07"));
        }
        QVERIFY(!w.workspace().CodeChanged);
        QCOMPARE(status(f), QString("Pending changes to database saved. All objects removed."));
        QCOMPARE(f.find<QLineEdit>("txtObject")->text(), QString("<no object>"));
    }

    void removeAll_whenTheLibraryCannotBeSaved_keepsObjectsAndFile()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        trigger(f, "mnuSave");
        const CodeArray records = w.workspace().codeArray;
        const QByteArray library = LibraryText::readAll(f.libraryPath());
        w.workspace().saveBlockedReason = "The library file could not be read.";
        Prompts::queueAnswer(Prompts::Answer::Ok);
        trigger(f, "mnuRemoveObjects");
        QCOMPARE(w.workspace().codeArray, records);
        QCOMPARE(LibraryText::readAll(f.libraryPath()), library);
        QCOMPARE(LibraryText::readAll(resourcePath(f)), QByteArray("abc"));
        QVERIFY(status(f).startsWith("The library was not saved, so no object was removed"));
    }

    void objectList_countsNoDeletedSnippet()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f);
        messages();
        trigger(f, "mnuObjectList");
        QCOMPARE(status(f), QString("Object List:  No objects found."));
        QCOMPARE(messages(), QStringList{"Zorbeth: Objects:  None found."});
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        attach(f, sources, "two", "b.png", "de");
        recordOf(w, "one").Deleted = true;
        messages();
        trigger(f, "mnuObjectList");
        QCOMPARE(status(f), QString("Objects:  1"));
        QCOMPARE(messages(), QStringList{"Zorbeth: Objects:  1 found\r\nb.png\r\n"});
    }

    void viewer_choosesTheViewByTheEnding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("text");
        QTest::newRow("capital TXT") << "NOTES.TXT" << QByteArray("line one\r\nline two") << "text"
                                     << "line one\nline two";
        QTest::newRow("windows-1252 text")
            << "old.bas" << QByteArray("caf\xe9") << "text" << QString("caf\u00e9");
        QTest::newRow("jpeg") << "photo.jpeg" << QByteArray("\xff\xd8\xff") << "text"
                              << "Object is a binary file\nthat Zorbeth cannot display.";
        QTest::newRow("short name nowhere") << "xy" << QByteArray("xy") << "text"
                                            << "Object is a binary file\nthat Zorbeth cannot display.";
        QTest::newRow("short name in text list") << "bas" << QByteArray("10 PRINT") << "text"
                                                 << "10 PRINT";
        QTest::newRow("png") << "chart.png" << QByteArray() << "picture"
                             << "";
        QTest::newRow("unreadable picture") << "broken.gif" << QByteArray("not a gif") << "error"
                                            << "";
    }

    void viewer_choosesTheViewByTheEnding()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, view);
        QFETCH(QString, text);
        WindowFixture f;
        // The lists are read at start-up; the picture list here knows PNG.
        LibraryText::writeAll(QDir(f.folder()).filePath("zorbethtype.txt"),
                              ".txt .htm .bas .frm\r\n.bmp .gif .jpg .png\r\n");
        openLibrary(f);
        if (bytes.isEmpty()) {
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(Qt::red);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(image.save(&buffer, "PNG"));
        }
        QTemporaryDir sources;
        attach(f, sources, "one", name, bytes);
        messages();
        click(f, "Viewer");
        auto* viewer = f.window().findChild<ViewerWindow*>();
        QVERIFY(viewer);
        QCOMPARE(viewer->objectName(), QString("frmViewer"));
        const QStringList shown = messages();
        if (view == "error") {
            // Nothing to show: no empty window stays behind, and the status bar says why.
            QCOMPARE(shown, QStringList{"Display Object: Error displaying object!"});
            QVERIFY(!viewer->isVisible());
            QVERIFY(viewer->picObjectDisplay()->pixmap().isNull());
            QVERIFY2(status(f).startsWith("The picture \"broken.gif\" cannot be shown: ") &&
                         status(f).size() > 40,
                     qPrintable(status(f)));
            return;
        }
        QCOMPARE(shown, QStringList());
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->windowTitle(), QString("Zorbeth Object Viewer"));
        QCOMPARE(viewer->txtObjectDisplay()->isVisible(), view == "text");
        QCOMPARE(viewer->picObjectDisplay()->isVisible(), view == "picture");
        if (view == "text") {
            QCOMPARE(viewer->txtObjectDisplay()->toPlainText(), text);
            QVERIFY(viewer->txtObjectDisplay()->isReadOnly());
            QCOMPARE(viewer->txtObjectDisplay()->lineWrapMode(), QTextEdit::NoWrap);
        } else {
            QCOMPARE(viewer->picObjectDisplay()->pixmap().size(), QSize(40, 30));
            QCOMPARE(LibraryText::readAll(QDir(f.folder()).filePath("zqTempObject.png")), bytes);
        }
    }

    void viewer_textObject_isReadBackThroughItsWorkingFile()
    {
        WindowFixture f;
        openLibrary(f);
        QTemporaryDir sources;
        const QString working = QDir(f.folder()).filePath("zqTempObject.txt");
        LibraryText::writeAll(working, QByteArray(3000, 'o'));
        attach(f, sources, "one", "readme.txt", "short\r\ntext");
        click(f, "Viewer");
        QCOMPARE(LibraryText::readAll(working), QByteArray("short\r\ntext"));
        attach(f, sources, "two", "other.htm", "<p>x</p>");
        click(f, "Viewer");
        QCOMPARE(LibraryText::readAll(working), QByteArray("<p>x</p>"));
        QCOMPARE(f.window().findChild<ViewerWindow*>()->txtObjectDisplay()->toPlainText(),
                 QString("<p>x</p>"));
        QCOMPARE(f.window().findChildren<ViewerWindow*>().size(), 1);
    }

    void viewer_failingAfterAGoodDisplay_closesRatherThanShowTheOldObject()
    {
        WindowFixture f;
        openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "shown first");
        attach(f, sources, "two", "b.txt", "bbb");
        recordOf(f.window(), "two").ObjectLength = 99;
        select(f, "one");
        click(f, "Viewer");
        auto* viewer = f.window().findChild<ViewerWindow*>();
        QVERIFY(viewer->isVisible());
        select(f, "two");
        click(f, "Viewer");
        QVERIFY(!viewer->isVisible());
        QVERIFY2(status(f).contains("does not lie inside"), qPrintable(status(f)));
    }

    void viewer_isTheOneMadeForItsWindow()
    {
        WindowFixture f;
        openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        // Another viewer-like window of the same owner is not the owner's viewer.
        auto* other = new ViewerWindow(&f.window());
        click(f, "Viewer");
        QCOMPARE(other->txtObjectDisplay()->toPlainText(), QString());
        QVERIFY(!other->isVisible());
        QCOMPARE(f.window().findChildren<ViewerWindow*>().size(), 2);
        delete other;
        click(f, "Viewer");
        const QList<ViewerWindow*> viewers = f.window().findChildren<ViewerWindow*>();
        QCOMPARE(viewers.size(), 1);
        QCOMPARE(viewers.first()->txtObjectDisplay()->toPlainText(), QString("abc"));
    }

    void load_objectsOutsideTheResourceFile_areNamedAtLoad()
    {
        WindowFixture f;
        SnippetRecord inside = WindowFixture::record("C", "Cat", "inside");
        inside.ObjectName = "in.txt";
        inside.ObjectFlag = 1;
        inside.ObjectStart = 1;
        inside.ObjectLength = 4;
        SnippetRecord outside = WindowFixture::record("C", "Cat", "outside");
        outside.ObjectName = "out.png";
        outside.ObjectFlag = 1;
        outside.ObjectStart = 3;
        outside.ObjectLength = 50;
        f.writeLibrary({inside, outside, WindowFixture::record("C", "Cat", "plain")});
        QVERIFY(LibraryText::writeAll(resourcePath(f), "abcdefgh"));
        messages();
        f.open();
        const QStringList shown = messages().filter("lie outside");
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith("Load Code Data: The attachments of 1 snippet(s) lie outside the "
                                          "resource file " +
                                          QDir::toNativeSeparators(resourcePath(f)) + " (8 bytes)"),
                 qPrintable(shown.first()));
        QVERIFY2(shown.first().endsWith("\n\noutside (out.png)"), qPrintable(shown.first()));
    }

    void viewer_withoutObject_beepsAndSaysSo()
    {
        WindowFixture f;
        openLibrary(f);
        select(f, "one");
        click(f, "Viewer");
        QCOMPARE(status(f), QString("No object found. Cannot display!"));
        QVERIFY(f.window().findChild<ViewerWindow*>() == nullptr);
    }

    void viewer_layout_followsTheWindowSize()
    {
        WindowFixture f;
        openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        click(f, "Viewer");
        auto* viewer = f.window().findChild<ViewerWindow*>();
        viewer->resize(500, 400);
        QCOMPARE(viewer->txtObjectDisplay()->geometry(), QRect(0, 0, 492, 365));
        QCOMPARE(viewer->picObjectDisplay()->geometry(), QRect(0, 0, 500, 390));
    }

    void hexViewAndObjectViewer_shareOneWindow()
    {
        WindowFixture f;
        openLibrary(f);
        QTemporaryDir sources;
        attach(f, sources, "one", "a.txt", "abc");
        trigger(f, "mnuCMHexView");
        click(f, "Viewer");
        QCOMPARE(f.window().findChildren<ViewerWindow*>().size(), 1);
        auto* viewer = f.window().findChild<ViewerWindow*>();
        QCOMPARE(viewer->txtObjectDisplay()->toPlainText(), QString("abc"));
        QCOMPARE(viewer->txtObjectDisplay()->document()->defaultFont().family(), f.window().font().family());
    }
};

QTEST_MAIN(TestObjectCommands)
#include "tst_object_commands.moc"
