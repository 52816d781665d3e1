#include "LibraryText.h"
#include "store/RemoteCodeFile.h"
#include "sync/Comparison.h"
#include "sync/RemoteImport.h"

#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

SnippetRecord snippet(const QString& language, const QString& title, const QString& code,
                      const QString& category = QStringLiteral("Cat"))
{
    SnippetRecord r;
    r.Language = language;
    r.Title = title;
    r.Code = code;
    r.Category = category;
    return r;
}

// "id red" for each row, e.g. "0 red", "2 -".
QStringList describe(const std::vector<Comparison::Row>& rows)
{
    QStringList out;
    for (const Comparison::Row& row : rows) {
        out << QString::number(row.id) + (row.red ? QLatin1String(" red") : QLatin1String(" -"));
    }
    return out;
}

// The comparison written out plainly: lower-cased concatenations compared for every pair.
bool naiveUnique(const CodeArray& library, const SnippetRecord& s)
{
    const QString key = (s.Language + s.Title + s.Code.toString()).toLower();
    for (const SnippetRecord& l : library) {
        if (!l.Deleted && (l.Language + l.Title + l.Code.toString()).toLower() == key) {
            return false;
        }
    }
    return true;
}

bool naiveMatching(const CodeArray& library, const SnippetRecord& s)
{
    const QString title = (s.Language + s.Title).toLower();
    for (const SnippetRecord& l : library) {
        if (!l.Deleted && (l.Language + l.Title).toLower() == title &&
            l.Code.toString().toLower() != s.Code.toString().toLower()) {
            return true;
        }
    }
    return false;
}

qsizetype naiveFind(const CodeArray& library, const QString& titleKey)
{
    for (size_t i = 0; i < library.size(); ++i) {
        if (!library[i].Deleted && (library[i].Language + library[i].Title).toLower() == titleKey) {
            return qsizetype(i);
        }
    }
    return -1;
}

QString staged(const QString& dir, const QByteArray& bytes)
{
    const QString path = dir + QStringLiteral("/staged.txt");
    return LibraryText::writeAll(path, bytes) ? path : QString();
}

} // namespace

class TestComparison : public QObject
{
    Q_OBJECT

private slots:
    void differences_followTheComparisonRules_data();
    void differences_followTheComparisonRules();
    void oneLanguage_listsItsRowsButCountsEveryStagedRecord();
    void localIndex_answersAsThePlainPairwiseComparison();
    void load_readsWholeFilesOnly_data();
    void load_readsWholeFilesOnly();
    void load_emptyButCompleteFile_givesOneEmptyRecordListedAsIdZero();
    void sort_ordersByTheConcatenatedKey_data();
    void sort_ordersByTheConcatenatedKey();
    void appendStaged_copiesFiveFieldsOfEachId();
    void statusTexts_areExact_data();
    void statusTexts_areExact();
};

void TestComparison::differences_followTheComparisonRules_data()
{
    QTest::addColumn<CodeArray>("library");
    QTest::addColumn<QList<bool>>("deleted");
    QTest::addColumn<CodeArray>("staged");
    QTest::addColumn<QStringList>("differences");
    QTest::addColumn<QStringList>("matching");

    QTest::newRow("case ignored in code")
        << CodeArray{snippet("C", "Hello", "PRINT 1")} << QList<bool>{false}
        << CodeArray{snippet("c", "HELLO", "print 1")} << QStringList{} << QStringList{};
    QTest::newRow("other code is red")
        << CodeArray{snippet("C", "Hello", "print 1")} << QList<bool>{false}
        << CodeArray{snippet("C", "Hello", "print 2"), snippet("C", "New", "x")}
        << QStringList{"0 red", "1 -"} << QStringList{"0 red"};
    QTest::newRow("language and title run together")
        << CodeArray{snippet("Per", "lSort", "a")} << QList<bool>{false}
        << CodeArray{snippet("Perl", "Sort", "b"), snippet("Perl", "Sort", "A")} << QStringList{"0 red"}
        << QStringList{"0 red"};
    QTest::newRow("title twice locally, once identical")
        << CodeArray{snippet("C", "T", "other"), snippet("C", "T", "same")} << QList<bool>{false, false}
        << CodeArray{snippet("C", "T", "same")} << QStringList{} << QStringList{"0 red"};
    QTest::newRow("deleted twin does not count")
        << CodeArray{snippet("C", "T", "same")} << QList<bool>{true} << CodeArray{snippet("C", "T", "same")}
        << QStringList{"0 -"} << QStringList{};
    QTest::newRow("deleted title twin with other code does not count")
        << CodeArray{snippet("C", "T", "other"), snippet("C", "T", "same")} << QList<bool>{true, false}
        << CodeArray{snippet("C", "T", "same")} << QStringList{} << QStringList{};
    QTest::newRow("empty record against an all-empty library record")
        << CodeArray{snippet("", "", "", "Cat")} << QList<bool>{false} << CodeArray{SnippetRecord{}}
        << QStringList{} << QStringList{};
}

void TestComparison::differences_followTheComparisonRules()
{
    QFETCH(CodeArray, library);
    QFETCH(QList<bool>, deleted);
    QFETCH(CodeArray, staged);
    QFETCH(QStringList, differences);
    QFETCH(QStringList, matching);
    for (qsizetype i = 0; i < deleted.size(); ++i) {
        library[size_t(i)].Deleted = deleted[i];
    }
    const LocalIndex index(library);
    QCOMPARE(describe(Comparison::FillListViewRemote(index, staged)), differences);
    QCOMPARE(describe(Comparison::FillListViewRemoteMatching(index, staged)), matching);
}

void TestComparison::oneLanguage_listsItsRowsButCountsEveryStagedRecord()
{
    const CodeArray library{snippet("C", "A", "1")};
    const CodeArray staged{snippet("Perl", "x", "1"), snippet("c", "A", "2"), snippet("C", "B", "3"),
                           snippet("Java", "y", "1")};
    const LocalIndex index(library);
    const std::vector<Comparison::Row> rows =
        Comparison::FillListViewRemote(index, staged, QStringLiteral("c"));
    QCOMPARE(describe(rows), (QStringList{"1 red", "2 -"}));
    QCOMPARE(rows[0].language, QStringLiteral("c"));
    QCOMPARE(rows[1].title, QStringLiteral("B"));
    QCOMPARE(Comparison::differencesStatus(qsizetype(rows.size()), qsizetype(staged.size()), QString()),
             QStringLiteral("2 of 4 source code snippet have differences"));
}

void TestComparison::localIndex_answersAsThePlainPairwiseComparison()
{
    // Few short pieces, so that keys collide often, also across the field boundaries ("b"+"cd" and
    // "bc"+"d"), in other letter cases and outside ASCII (a supplementary letter split in halves too).
    const QStringList pieces{"",
                             "a",
                             "A",
                             "b",
                             "B",
                             "c",
                             "bc",
                             "cd",
                             "d",
                             "\u00e4",
                             "\u00c4",
                             "\u03a3",
                             "\u03c3",
                             "\u00df",
                             "\u0130",
                             "i",
                             QString::fromUtf16(u"\U00010400"),
                             QString::fromUtf16(u"\U00010428"),
                             QString(QChar(0xD801)),
                             QString(QChar(0xDC00))};
    std::mt19937 random(7);
    auto field = [&] {
        QString text;
        for (int n = int(random() % 3); n > 0; --n) {
            text += pieces[int(random() % pieces.size())];
        }
        return text;
    };
    // Codes long enough to be hashed by their ends alone, where only the middle tells them apart.
    const QStringList ends{QString(64, u'q'), QString(40, u'Q') + QString(30, u'r')};
    auto longCode = [&] {
        const QString end = ends[int(random() % ends.size())];
        return end + field() + end;
    };
    auto record = [&] {
        SnippetRecord r = snippet(field(), field(), random() % 2 ? longCode() : field(), field());
        r.Deleted = random() % 5 == 0;
        return r;
    };
    for (int round = 0; round < 300; ++round) {
        CodeArray library;
        CodeArray staged;
        for (int i = 0; i < 25; ++i) {
            library.push_back(record());
        }
        for (int i = 0; i < 25; ++i) {
            // Half the staged records start from a library record with one field changed in case.
            SnippetRecord s = random() % 2 ? record() : library[random() % library.size()];
            s.Deleted = false;
            switch (random() % 5) {
            case 0:
                s.Code = s.Code.toString().toUpper();
                break;
            case 1:
                s.Title = s.Title.toUpper();
                break;
            case 2:
                s.Code = field();
                break;
            case 3:
                s.Code = longCode();
                break;
            }
            staged.push_back(s);
        }
        staged.push_back(snippet("b", "cd", "x"));
        library.push_back(snippet("bc", "d", "x"));
        staged.push_back(snippet("ab", "", "c"));
        library.push_back(snippet("a", "b", "C"));
        staged.push_back(snippet("b", "cd", ends[0] + "x"));
        library.push_back(snippet("bc", "d", ends[0].toUpper() + "x"));

        const LocalIndex index(library);
        std::vector<Comparison::Row> expected;
        for (size_t i = 0; i < staged.size(); ++i) {
            const SnippetRecord& s = staged[i];
            const bool unique = naiveUnique(library, s);
            const bool matching = naiveMatching(library, s);
            const LocalIndex::Verdict verdict = index.compare(s);
            QCOMPARE(verdict.unique, unique);
            QCOMPARE(verdict.matching, matching);
            const QString key = (s.Language + s.Title).toLower();
            QCOMPARE(Comparison::FindMatchToRemote(library, key), naiveFind(library, key));
            if (unique) {
                expected.push_back({qsizetype(i), s.Language, s.Category, s.Title, matching});
            }
        }
        const std::vector<Comparison::Row> rows = Comparison::FillListViewRemote(index, staged);
        QCOMPARE(describe(rows), describe(expected));
    }
}

void TestComparison::load_readsWholeFilesOnly_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("errorSet");

    const QByteArray two = LibraryText::Header + LibraryText::block("One") + LibraryText::block("Two");
    QTest::newRow("complete") << two + "++++++++\r\n" << true << QStringList{"One", "Two"} << false;
    QTest::newRow("cut off before the end marker") << two << false << QStringList{} << true;
    QTest::newRow("cut off inside a record") << two.left(two.size() - 20) << false << QStringList{} << true;
    QTest::newRow("missing file") << QByteArray() << false << QStringList{} << true;
    QTest::newRow("an html page")
        << QByteArray("<!DOCTYPE html>\r\n<html>\r\n<head><title>404 Not Found</title></head>\r\n"
                      "<body><h1>Not Found</h1></body>\r\n</html>\r\n")
        << false << QStringList{} << true;
}

void TestComparison::load_readsWholeFilesOnly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, result);
    QFETCH(QStringList, titles);
    QFETCH(bool, errorSet);
    QTemporaryDir dir;
    const QString path = bytes.isEmpty() ? dir.filePath("gone.txt") : staged(dir.path(), bytes);
    CodeArray array{snippet("Old", "left over", "x")};
    QString error;
    QCOMPARE(RemoteCodeFile::LoadRemoteCodeDataFromFile(path, array, &error), result);
    QStringList read;
    for (const SnippetRecord& r : array) {
        read << r.Title;
    }
    QCOMPARE(read, titles);
    QCOMPARE(!error.isEmpty(), errorSet);
    if (errorSet) {
        QVERIFY2(error.contains(path), qPrintable(error));
    }
}

void TestComparison::load_emptyButCompleteFile_givesOneEmptyRecordListedAsIdZero()
{
    QTemporaryDir dir;
    const QString path = staged(dir.path(), LibraryText::Header + "++++++++\r\n");
    CodeArray array;
    QString error;
    QVERIFY(!RemoteCodeFile::LoadRemoteCodeDataFromFile(path, array, &error));
    QCOMPARE(array, CodeArray{SnippetRecord{}});
    QVERIFY2(error.isEmpty(), qPrintable(error));

    CodeArray library{snippet("C", "", ""), snippet("", "T", "")};
    std::vector<Comparison::Row> rows = Comparison::FillListViewRemote(LocalIndex(library), array);
    QCOMPARE(describe(rows), QStringList{"0 -"});
    QCOMPARE(rows[0].language, QString());
    QCOMPARE(rows[0].title, QString());

    // Empty language and title with some code: the same title key, other code.
    library.push_back(snippet("", "", "x"));
    rows = Comparison::FillListViewRemote(LocalIndex(library), array);
    QCOMPARE(describe(rows), QStringList{"0 red"});
}

void TestComparison::sort_ordersByTheConcatenatedKey_data()
{
    // Each record is "language/category/title".
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("language, category, title")
        << QStringList{"SQL/b/a", "ASP/a/z", "SQL+/a/a", "ASP.NET/z/z", "SQL/a/b"}
        << QStringList{"ASP.NET/z/z", "ASP/a/z", "SQL+/a/a", "SQL/a/b", "SQL/b/a"};
    // "x:::a:::b:::c" sorts before "x:::a:::z": the separator inside the category is not escaped.
    QTest::newRow("separator inside a category")
        << QStringList{"x/a/z", "x/a:::b/c", "x/a/a"} << QStringList{"x/a/a", "x/a:::b/c", "x/a/z"};
}

void TestComparison::sort_ordersByTheConcatenatedKey()
{
    QFETCH(QStringList, records);
    QFETCH(QStringList, sorted);
    CodeArray array;
    for (const QString& text : records) {
        const QStringList parts = text.split(u'/');
        array.push_back(snippet(parts[0], parts[2], QString(), parts[1]));
    }
    RemoteCodeFile::SortRemoteCodeByLanguage(array);
    QStringList result;
    for (const SnippetRecord& r : array) {
        result << r.Language + u'/' + r.Category + u'/' + r.Title;
    }
    QCOMPARE(result, sorted);
}

void TestComparison::appendStaged_copiesFiveFieldsOfEachId()
{
    SnippetRecord full = snippet("Perl", "Sort", "sort @a;", "Arrays");
    full.Keywords = QStringLiteral("bookmark sort");
    full.Date = QStringLiteral("2019-03-04 05:06:07");
    full.DText = QStringLiteral("d");
    full.HText = QStringLiteral("h");
    full.ObjectName = QStringLiteral("a.zip");
    full.ObjectFlag = 1;
    full.ObjectStart = 10;
    full.ObjectLength = 20;
    full.Matched = true;
    const CodeArray staged{snippet("C", "first", "1"), full};
    CodeArray library{snippet("Java", "kept", "k")};

    QCOMPARE(RemoteImport::appendStaged(library, staged, {1, -1, 2, 1}), qsizetype(2));
    QCOMPARE(library.size(), size_t(3));
    QCOMPARE(library[0].Title, QStringLiteral("kept"));
    SnippetRecord expected;
    expected.Title = full.Title;
    expected.Language = full.Language;
    expected.Category = full.Category;
    expected.Code = full.Code.toString();
    expected.Date = QStringLiteral("2019-03-04 05:06:07");
    QCOMPARE(library[1], expected);
    QCOMPARE(library[2], expected);
}

void TestComparison::statusTexts_areExact_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QString file = QStringLiteral("/home/me/src/shapes.h");
    QTest::newRow("differences") << Comparison::differencesStatus(3, 10, QString())
                                 << "3 of 10 source code snippet have differences";
    QTest::newRow("differences of a file")
        << Comparison::differencesStatus(0, 1, file)
        << "0 of 1 source code snippet have differences.  Local file name:   /home/me/src/shapes.h";
    QTest::newRow("matching")
        << Comparison::matchingStatus(2, 7, QString())
        << "2 of 7 source code snippets have matching snippet titles but different code.";
    QTest::newRow("matching of a file")
        << Comparison::matchingStatus(2, 7, file)
        << "2 of 7 source code snippets have matching snippet titles but different code.  Local file name:   "
           "/home/me/src/shapes.h";
    QTest::newRow("imported") << RemoteImport::importedStatus(4, QString())
                              << "4 remote source code snippets imported into local database";
    QTest::newRow("imported from a file")
        << RemoteImport::importedStatus(0, file)
        << "0 remote source code snippets imported into local database.   Local file name:   "
           "/home/me/src/shapes.h";
}

void TestComparison::statusTexts_areExact()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

QTEST_GUILESS_MAIN(TestComparison)
#include "tst_comparison.moc"
