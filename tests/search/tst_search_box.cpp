#include "LibraryText.h"
#include "search/SearchBoxCommands.h"
#include "search/SearchHistory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using SearchBoxCommands::Command;

namespace {

using LibraryText::readAll;

} // namespace

class SearchBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void load_missingFileIsCreatedWithEmptyAndOffersThePlaceholder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QLatin1String(SearchHistory::FileName));
        const SearchHistory::LoadResult loaded = SearchHistory::LoadComboSearchList(path);
        QVERIFY(loaded.created);
        QCOMPARE(loaded.entries, QStringList{"<search string>"});
        QCOMPARE(readAll(path), QByteArray("<empty>\r\n"));
        // The next start offers what the file holds.
        QCOMPARE(SearchHistory::LoadComboSearchList(path).entries, QStringList{"<empty>"});
    }

    void parse_trimsBlanksAndSkipsBlankLinesWhateverTheLineEnds()
    {
        QCOMPARE(SearchHistory::parse("  dim \r\n\r\n   \r\nselect\nfrom\rwhere\r\n"),
                 (QStringList{"dim", "select", "from", "where"}));
        QCOMPARE(SearchHistory::parse(""), QStringList());
    }

    void withTerm_putsTheTermFirstAndDropsOnlyItsExactCopies()
    {
        const QStringList entries{"b", "A", "a", "c", "  ", "a"};
        QCOMPARE(SearchHistory::withTerm(QStringLiteral("a"), entries), (QStringList{"a", "b", "A", "c"}));
        // The newest term entered again leaves one copy at the top.
        QCOMPARE(SearchHistory::withTerm(QStringLiteral("b"), entries),
                 (QStringList{"b", "A", "a", "c", "a"}));
    }

    void twentyFiveTerms_leaveTheNewestTwentyInTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QLatin1String(SearchHistory::FileName));
        QStringList history = SearchHistory::LoadComboSearchList(path).entries;
        for (int i = 1; i <= 25; ++i) {
            history = SearchHistory::withTerm(QStringLiteral("term %1").arg(i), history);
            QVERIFY(SearchHistory::write(path, history));
        }
        const QStringList saved = SearchHistory::parse(readAll(path));
        QCOMPARE(saved.size(), 20);
        QCOMPARE(saved.first(), QStringLiteral("term 25"));
        QCOMPARE(saved.last(), QStringLiteral("term 6"));
        QVERIFY(readAll(path).endsWith("term 6\r\n"));
    }

    void firstSearch_keepsThePlaceholderBehindTheTerm()
    {
        QCOMPARE(SearchHistory::withTerm(QStringLiteral("dim"), {QStringLiteral("<search string>")}),
                 (QStringList{"dim", "<search string>"}));
    }

    void write_intoAMissingFolderFailsWithAReason()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(
            !SearchHistory::write(dir.filePath(QStringLiteral("no/such/zorbethsearch.txt")), {"x"}, &error));
        QVERIFY(!error.isEmpty());
    }

    void recognise_commandsInOrderWithTheBlankCheckBetween_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("command");
        QTest::newRow("editor on, mixed case") << "..EditorOn" << int(Command::EditorOn);
        QTest::newRow("editor off") << "..editoroff" << int(Command::EditorOff);
        QTest::newRow("show settings") << "..showsettings" << int(Command::ShowSettings);
        QTest::newRow("clear registry") << "..CLEARREGISTRY" << int(Command::ClearRegistry);
        QTest::newRow("empty") << "" << int(Command::Blank);
        QTest::newRow("blanks") << "    " << int(Command::Blank);
        QTest::newRow("trace") << "..zqtest" << int(Command::ZqTest);
        QTest::newRow("edit list") << "..editlist" << int(Command::EditList);
        QTest::newRow("clear list") << "..clearlist" << int(Command::ClearList);
        QTest::newRow("time stamp") << "..timestamp" << int(Command::TimeStamp);
        QTest::newRow("leading blank is a search") << " ..editoron" << int(Command::None);
        QTest::newRow("trailing blank is a search") << "..timestamp " << int(Command::None);
        QTest::newRow("print settings, mixed case") << "..PrintSettings" << int(Command::PrintSettings);
        QTest::newRow("ordinary term") << "dim" << int(Command::None);
    }

    void recognise_commandsInOrderWithTheBlankCheckBetween()
    {
        QFETCH(QString, text);
        QFETCH(int, command);
        QCOMPARE(int(SearchBoxCommands::recognise(text)), command);
    }

    void settingsText_startsEachPairOnANewLine_masksThePassword_data()
    {
        using Pairs = QList<QPair<QString, QString>>;
        QTest::addColumn<Pairs>("settings");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain values") << Pairs{{"IgnoreCase", "1"}, {"FontName", "Courier New"}}
                                      << "\r\nIgnoreCase  1\r\nFontName  Courier New";
        QTest::newRow("none") << Pairs{} << QString();
        QTest::newRow("ftp password")
            << Pairs{{"FTPUser", "ann"}, {"FTPPSW", "s3cret"}} << "\r\nFTPUser  ann\r\nFTPPSW  ********";
        QTest::newRow("no ftp password set") << Pairs{{"FTPPSW", ""}} << "\r\nFTPPSW  ";
        QTest::newRow("a password-like value of another key")
            << Pairs{{"FTPServer", "s3cret"}} << "\r\nFTPServer  s3cret";
    }

    void settingsText_startsEachPairOnANewLine_masksThePassword()
    {
        using Pairs = QList<QPair<QString, QString>>;
        QFETCH(Pairs, settings);
        QFETCH(QString, shown);
        QCOMPARE(SearchBoxCommands::settingsText(settings), shown);
        // The printout lists the same text under its heading.
        QCOMPARE(SearchBoxCommands::settingsPrintout(settings),
                 QStringLiteral("Zorbeth Registry Settings\r\n\r\n") + shown);
    }
};

QTEST_GUILESS_MAIN(SearchBoxTest)
#include "tst_search_box.moc"
