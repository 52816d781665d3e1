#include "library/LibraryFile.h"
#include "LibraryText.h"
#include "store/WriteFaults.h"
#include "ui/WindowFixture.h"

#include <algorithm>
#include <QAction>
#include <QLabel>

// A save from the window that fails at any one of its write points leaves the library file as it
// was, tells the user, and keeps the changes marked as unsaved, whichever way the save was asked for.
class SaveFaultsTest : public QObject
{
    Q_OBJECT

    static CodeArray library()
    {
        return {WindowFixture::record("C", "Strings", "Trim"),
                WindowFixture::record("SQL", "Dates", "Today")};
    }

    // The write points of one successful save from the window.
    static int savePoints()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        w.workspace().CodeChanged = true;
        WriteFaults::failAt(0);
        f.find<QAction>("mnuSave")->trigger();
        return WriteFaults::passed();
    }

    static void edit(MainWindow& w)
    {
        w.workspace().codeArray[0].Title = QStringLiteral("Edited title");
        w.workspace().CodeChanged = true;
    }

private slots:
    void cleanup() { WriteFaults::failAt(0); }

    void saveCommand_failingAtEachWritePoint_keepsFileAndChanges()
    {
        const int points = savePoints();
        QVERIFY(points >= 3);
        for (int point = 1; point <= points; ++point) {
            WindowFixture f;
            f.writeLibrary(library());
            const QByteArray before = LibraryText::readAll(f.libraryPath());
            MainWindow& w = f.open();
            edit(w);
            Prompts::takeHistory();

            WriteFaults::failAt(point);
            f.find<QAction>("mnuSave")->trigger();
            WriteFaults::failAt(0);

            QCOMPARE(LibraryText::readAll(f.libraryPath()), before);
            QVERIFY2(w.workspace().CodeChanged, qPrintable(QStringLiteral("point %1").arg(point)));
            const QList<Prompts::Record> told = Prompts::takeHistory();
            QCOMPARE(told.size(), 1);
            QVERIFY(told[0].text.startsWith(QLatin1String(LibraryFile::SaveErrorMessage)));
            QCOMPARE(QDir(f.folder()).entryList({QStringLiteral("zorbeth.txt*")}, QDir::Files),
                     QStringList{QStringLiteral("zorbeth.txt")});

            // Once the disk takes writes again, the same changes are saved.
            f.find<QAction>("mnuSave")->trigger();
            QVERIFY(!w.workspace().CodeChanged);
            QVERIFY(LibraryText::readAll(f.libraryPath()).contains("\r\nEdited title\r\n"));
        }
    }

    void closing_withSaveFailingAtEachWritePoint_staysOpenWithChanges()
    {
        const int points = savePoints();
        for (int point = 1; point <= points; ++point) {
            WindowFixture f;
            f.writeLibrary(library());
            const QByteArray before = LibraryText::readAll(f.libraryPath());
            MainWindow& w = f.open();
            edit(w);
            Prompts::takeHistory();

            // "Save changes?" Yes; the save fails; "Close without saving?" No keeps the window.
            Prompts::queueAnswer(Prompts::Answer::Yes);
            Prompts::queueAnswer(Prompts::Answer::Ok);
            Prompts::queueAnswer(Prompts::Answer::No);
            WriteFaults::failAt(point);
            const bool closed = w.close();
            WriteFaults::failAt(0);

            QVERIFY(!closed);
            QVERIFY(w.workspace().CodeChanged);
            QCOMPARE(LibraryText::readAll(f.libraryPath()), before);
            const QList<Prompts::Record> told = Prompts::takeHistory();
            QVERIFY(std::any_of(told.begin(), told.end(), [](const Prompts::Record& r) {
                return r.text.startsWith(QLatin1String(LibraryFile::SaveErrorMessage));
            }));
        }
    }
};

QTEST_MAIN(SaveFaultsTest)
#include "tst_save_faults.moc"
