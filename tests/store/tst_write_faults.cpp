#include "editor/MacroSlots.h"
#include "export/LanguageExport.h"
#include "library/LibraryFile.h"
#include "LibraryText.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "search/SearchHistory.h"
#include "settings/SettingsStore.h"
#include "store/Backup.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"
#include "store/SafeFile.h"
#include "store/WriteFaults.h"
#include "sync/FtpLibrary.h"
#include "sync/FtpTestServer.h"

#include <functional>
#include <map>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Files = std::map<QString, QByteArray>;

// Every file under folder with its bytes.
Files snapshot(const QString& folder)
{
    Files files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[QDir(folder).relativeFilePath(path)] = file.readAll();
    }
    return files;
}

void restore(const QString& folder, const Files& files)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (const auto& [name, bytes] : files) {
        const QString path = QDir(folder).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
}

QStringList names(const Files& files)
{
    QStringList list;
    for (const auto& entry : files) {
        list << entry.first;
    }
    return list;
}

SnippetRecord record(const QString& title, const QString& code)
{
    SnippetRecord r;
    r.Language = QStringLiteral("C++");
    r.Category = QStringLiteral("Files");
    r.Title = title;
    r.Code = code;
    r.Date = QStringLiteral("2026-01-02 03:04:05");
    return r;
}

// The titles of the records in the library file; empty when it does not parse completely.
QStringList titlesIn(const QByteArray& bytes)
{
    const DatabaseFile::ReadResult read = DatabaseFile::parse(bytes);
    QStringList titles;
    if (!read.complete) {
        return titles;
    }
    for (const SnippetRecord& r : read.records) {
        titles << r.Title;
    }
    return titles;
}

FtpTransfer::Options quickOptions()
{
    FtpTransfer::Options options;
    options.connectTimeoutSeconds = 5;
    options.lowSpeedSeconds = 5;
    return options;
}

} // namespace

class WriteFaultsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_folder;
    std::unique_ptr<FtpTestServer> m_server;

    QString path(const QString& name) const { return QDir(m_folder).filePath(name); }

    // A library of three records, the second with an object, the resource file holding it behind
    // bytes no record uses, a backup, settings, search history and an exported page.
    void makeFixture()
    {
        QDir(m_folder).removeRecursively();
        QDir().mkpath(m_folder + QStringLiteral("/export"));
        CodeArray records{record("first", "int a;"), record("second", "int b;"), record("third", "int c;")};
        records[1].ObjectName = QStringLiteral("data.bin");
        records[1].ObjectFlag = 1;
        records[1].ObjectStart = 6;
        records[1].ObjectLength = 4;
        LibraryText::writeAll(path("zorbeth.txt"), DatabaseFile::serialize(records, DateStamp::now()));
        records.pop_back();
        LibraryText::writeAll(path("zorbeth.txt.old"),
                              DatabaseFile::serialize(records, "2026-01-01 00:00:00"));
        LibraryText::writeAll(path("zorbethresource.res"), "oldx.DATA");
        LibraryText::writeAll(path("attach.bin"), QByteArray(70000, 'a'));
        LibraryText::writeAll(path("zorbeth.ini"), "[Settings]\nLibraryFolder=here\n");
        LibraryText::writeAll(path("history.txt"), "one\r\ntwo\r\n");
        LibraryText::writeAll(path("export/zorbeth1.htm"), "old page");
        QDir().mkpath(m_root.filePath(QStringLiteral("server")));
        LibraryText::writeAll(
            m_root.filePath(QStringLiteral("server/zorbeth.txt")),
            DatabaseFile::serialize({record("from the server", "x")}, "2026-02-02 00:00:00"));
    }

    Workspace workspace() const
    {
        Workspace ws;
        ws.programFolder = m_folder;
        return ws;
    }

    // Each operation returns its error text, empty when it reported success.
    std::function<QString()> operation(const QString& name)
    {
        if (name == "save") {
            return [this] {
                Workspace ws = workspace();
                LibraryFile::LoadCodeDataFromFile(ws);
                ws.codeArray[0].Code = QStringLiteral("changed");
                ws.CodeChanged = true;
                QString error;
                if (!LibraryFile::SaveCodeArrayToFile(ws, &error)) {
                    return error;
                }
                return QString();
            };
        }
        if (name == "save aside") {
            return [this] {
                Workspace ws = workspace();
                LibraryFile::LoadCodeDataFromFile(ws);
                QString aside;
                QString error;
                return LibraryFile::SaveCodeArrayAside(ws, "mine", &aside, &error) ? QString() : error;
            };
        }
        if (name == "backup") {
            return [this] { return Backup::backup(path("zorbeth.txt")).error; };
        }
        if (name == "restore") {
            return [this] { return Backup::restore(path("zorbeth.txt")).error; };
        }
        if (name == "settings") {
            return [this] {
                SettingsStore store(m_folder);
                store.save("LibraryFolder", "there");
                QString error;
                const bool ok = store.sync(&error);
                // Changes a failed sync left pending must not reach the file behind the test's back.
                store.ClearRegistry();
                return ok ? QString() : error;
            };
        }
        if (name == "macros") {
            return [this] {
                SettingsStore store(m_folder);
                MacroSlots macroSlots;
                macroSlots.setSlot(3, QStringLiteral("2170 0 1 x"));
                macroSlots.save(store);
                QString error;
                const bool ok = store.sync(&error);
                macroSlots.clear();
                macroSlots.save(store);
                store.ClearRegistry();
                return ok ? QString() : error;
            };
        }
        if (name == "search history") {
            return [this] {
                QString error;
                return SearchHistory::write(path("history.txt"), {"three", "one", "two"}, &error) ? QString()
                                                                                                  : error;
            };
        }
        if (name == "resource append") {
            return [this] {
                return ResourceFile::append(path("zorbethresource.res"), path("attach.bin")).error;
            };
        }
        if (name == "compaction") {
            // The steps of the Compact command: the compacted copy, the library with the new
            // positions, then the swap; a failed step undoes the earlier ones.
            return [this] {
                Workspace ws = workspace();
                LibraryFile::LoadCodeDataFromFile(ws);
                const QString resource = ResourceFile::path(ws);
                const ResourceCompaction::Result compacted =
                    ResourceCompaction::writeCompacted(resource, ws.codeArray);
                if (!compacted.ok) {
                    return compacted.error;
                }
                const auto oldStarts = ResourceCompaction::applyStarts(ws.codeArray, compacted.starts);
                QString error;
                if (!LibraryFile::SaveCodeArrayToFile(ws, &error)) {
                    QFile::remove(compacted.tempPath);
                    return error;
                }
                if (!ResourceCompaction::replace(resource, compacted.tempPath, &error)) {
                    ResourceCompaction::applyStarts(ws.codeArray, oldStarts);
                    WriteFaults::failAt(0);
                    QString again;
                    if (LibraryFile::SaveCodeArrayToFile(ws, &again, nullptr,
                                                         LibraryFile::OnDiskChange::Overwrite)) {
                        QFile::remove(compacted.tempPath);
                    }
                    return error;
                }
                return QString();
            };
        }
        if (name == "snippet page") {
            return [this] {
                QString error;
                SafeFile::writeWhole(path("export/zorbeth1.htm"), "<html>new page</html>", &error,
                                     SafeFile::Durability::Unsynced);
                return error;
            };
        }
        if (name == "new snippet page") {
            return [this] {
                QString error;
                SafeFile::writeWhole(path("export/zorbeth2.htm"), "<html>a page</html>", &error,
                                     SafeFile::Durability::Unsynced);
                return error;
            };
        }
        if (name == "language index") {
            return [this] {
                QString error;
                LanguageExport::writeIndex(path("export/cpp.htm"), {"<html>", "index", "</html>"}, &error);
                return error;
            };
        }
        if (name == "ftp receive") {
            return [this] {
                FtpTransfer::Account account;
                account.server = m_server->address();
                account.user = QLatin1String(FtpTestServer::User);
                account.password = QLatin1String(FtpTestServer::Password);
                const FtpTransfer::Result result = FtpLibrary::receive(
                    account, path("zorbeth.txt"), path("zorbethresource.res"), quickOptions());
                return result.ok ? QString() : result.error;
            };
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_folder = m_root.filePath(QStringLiteral("program"));
        DateStamp::pin(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    }

    void cleanup()
    {
        WriteFaults::failAt(0);
        m_server.reset();
    }

    void failingEachWritePoint_leavesEveryFileAsBeforeOrAfter_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"save", "save aside", "backup", "restore", "settings", "macros",
                                 "search history", "resource append", "compaction", "snippet page",
                                 "new snippet page", "language index", "ftp receive"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    void failingEachWritePoint_leavesEveryFileAsBeforeOrAfter()
    {
        QFETCH(QString, name);
        makeFixture();
        if (name == "ftp receive") {
            m_server = std::make_unique<FtpTestServer>(m_root.filePath(QStringLiteral("server")));
            QVERIFY(m_server->running());
            // The attachments travel with the library: both are replaced, or neither.
            LibraryText::writeAll(m_root.filePath(QStringLiteral("server/zorbethresource.res")),
                                  "newx.SERVER");
        }
        const auto run = operation(name);
        const Files before = snapshot(m_folder);

        WriteFaults::failAt(0);
        const QString cleanError = run();
        QVERIFY2(cleanError.isEmpty(), qPrintable(cleanError));
        const int points = WriteFaults::passed();
        const Files after = snapshot(m_folder);
        QVERIFY(points >= 2);
        QVERIFY(before != after);

        const QStringList titlesBefore = titlesIn(before.at("zorbeth.txt"));
        int recordsLost = 0;
        for (int point = 1; point <= points; ++point) {
            restore(m_folder, before);
            WriteFaults::failAt(point);
            const QString error = run();
            WriteFaults::failAt(0);
            const Files now = snapshot(m_folder);
            const QString where = QStringLiteral("%1, write point %2 of %3").arg(name).arg(point).arg(points);
            // The user is told whenever the files are not the new ones.
            if (now != after) {
                QVERIFY2(!error.trimmed().isEmpty(), qPrintable(where + ": failed without a message"));
            }
            QVERIFY2(now == before || now == after,
                     qPrintable(where + ": files " + names(now).join(QStringLiteral(",")) +
                                " are a mix of before and after"));
            QStringList titlesNow = titlesIn(now.at("zorbeth.txt"));
            QVERIFY2(!titlesNow.isEmpty(), qPrintable(where + ": the library no longer parses"));
            // A library replaced on purpose lives on in its backup.
            for (const char* backup : {"zorbeth.txt.old", "zorbeth.txt.bak"}) {
                if (now.count(backup)) {
                    titlesNow += titlesIn(now.at(backup));
                }
            }
            for (const QString& title : titlesBefore) {
                recordsLost += titlesNow.contains(title) ? 0 : 1;
            }
        }
        QCOMPARE(recordsLost, 0);
        qInfo("%s: %d write points failed one at a time, %d records lost", qPrintable(name), points,
              recordsLost);
    }

    void interruptedCompaction_isFinishedOrDropped_data()
    {
        QTest::addColumn<bool>("librarySaved");
        QTest::newRow("killed before the library was saved") << false;
        QTest::newRow("killed after the library was saved") << true;
    }

    void interruptedCompaction_isFinishedOrDropped()
    {
        QFETCH(bool, librarySaved);
        makeFixture();
        Workspace ws = workspace();
        LibraryFile::LoadCodeDataFromFile(ws);
        const QString resource = ResourceFile::path(ws);
        const ResourceCompaction::Result compacted =
            ResourceCompaction::writeCompacted(resource, ws.codeArray);
        QVERIFY(compacted.ok);
        if (librarySaved) {
            ResourceCompaction::applyStarts(ws.codeArray, compacted.starts);
            QVERIFY(LibraryFile::SaveCodeArrayToFile(ws));
        }
        Workspace next = workspace();
        LibraryFile::LoadCodeDataFromFile(next);
        QVERIFY(ResourceCompaction::finishInterrupted(resource, next.codeArray));
        QVERIFY(!QFileInfo::exists(compacted.tempPath));
        const SnippetRecord& r = next.codeArray[1];
        QCOMPARE(r.ObjectStart, librarySaved ? 1 : 6);
        QCOMPARE(ResourceFile::read(resource, r.ObjectStart, r.ObjectLength).bytes, QByteArray("DATA"));
        QCOMPARE(ResourceFile::size(resource), librarySaved ? 4 : 9);
    }
};

QTEST_GUILESS_MAIN(WriteFaultsTest)
#include "tst_write_faults.moc"
