#include "gui/Prompts.h"
#include "library/LibraryFile.h"
#include "library/ui/LibraryStorage.h"
#include "LibraryText.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using LibraryText::block;
using LibraryText::Header;
using LibraryText::readAll;

} // namespace

Q_DECLARE_METATYPE(Prompts::Answer)

class TestLibraryStorage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Prompts::setScripted(true);
        Prompts::takeHistory();
        DateStamp::pin(QDateTime(QDate(2026, 12, 6), QTime(16, 22, 33)));
    }

    void cleanup() { DateStamp::pin(QDateTime()); }

    void partlyReadFile_warnsThenOffersToSaveWhatWasRead_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("copyName");
        QTest::addColumn<bool>("mixed"); // a byte that is not UTF-8, so the encoding is reported too
        QTest::addColumn<Prompts::Answer>("answer");

        const QByteArray cutOff = Header + block("one") + block("two") + block("three").left(40);
        const QByteArray damaged = Header + block("one") +
                                   QByteArray(block("lost")).replace("----H\r\n", "") + block("two") +
                                   "++++++++\r\n";
        QTest::newRow("cut off, kept as it is") << cutOff << "incomplete" << false << Prompts::Answer::No;
        QTest::newRow("cut off, saved") << cutOff << "incomplete" << false << Prompts::Answer::Yes;
        QTest::newRow("damaged, saved") << damaged << "damaged" << false << Prompts::Answer::Yes;
        QTest::newRow("damaged and mixed, kept")
            << QByteArray(damaged).replace("\r\nLang\r\n", "\r\nL\xe4ng\r\n") << "damaged" << true
            << Prompts::Answer::No;
    }

    void partlyReadFile_warnsThenOffersToSaveWhatWasRead()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, copyName);
        QFETCH(bool, mixed);
        QFETCH(Prompts::Answer, answer);
        QTemporaryDir dir;
        Workspace ws;
        ws.programFolder = dir.path();
        QFile file(ws.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();

        Prompts::queueAnswer(Prompts::Answer::Ok);
        if (mixed) {
            Prompts::queueAnswer(Prompts::Answer::Ok);
        }
        Prompts::queueAnswer(answer);
        LibraryStorage::load(nullptr, ws);

        const QString copy = ws.databasePath() + '.' + copyName + "-20261206-162233";
        const QList<Prompts::Record> prompts = Prompts::takeHistory();
        QCOMPARE(prompts.size(), mixed ? 3 : 2);
        QCOMPARE(prompts.first().icon, Prompts::Icon::Exclamation);
        QVERIFY(prompts.first().text.contains(copy));
        if (mixed) {
            QCOMPARE(prompts[1].text,
                     QString("2 bytes were not UTF-8 and were read as Windows-1252; the next "
                             "save writes them as UTF-8."));
        }
        QCOMPARE(prompts.last().icon, Prompts::Icon::Question);
        QCOMPARE(prompts.last().title, QString("Load Code Data"));
        QCOMPARE(prompts.last().text,
                 "Save the 2 complete snippets now? The copy " + copy + " keeps the rest of the file.");

        QCOMPARE(readAll(copy), contents);
        if (answer == Prompts::Answer::Yes) {
            const DatabaseFile::ReadResult saved = DatabaseFile::read(ws.databasePath());
            QVERIFY(saved.complete && !saved.damaged());
            QCOMPARE(saved.records, ws.codeArray);
            QVERIFY(!ws.CodeChanged);
        } else {
            QCOMPARE(readAll(ws.databasePath()), contents);
        }
    }

    void partlyReadFile_noAnswer_keepsTheFile()
    {
        QTemporaryDir dir;
        Workspace ws;
        ws.programFolder = dir.path();
        const QByteArray contents = Header + block("one") + block("two").left(30);
        QFile file(ws.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();

        LibraryStorage::load(nullptr, ws);
        QCOMPARE(Prompts::takeHistory().last().answer, Prompts::Answer::No);
        QCOMPARE(readAll(ws.databasePath()), contents);
    }
};

QTEST_MAIN(TestLibraryStorage)
#include "tst_library_storage.moc"
