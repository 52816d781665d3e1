#include "search/SearchEngine.h"
#include "search/TextMatcher.h"
#include "search/WordLists.h"
#include "store/CodeArena.h"
#include "store/CodeText.h"
#include "store/DatabaseFile.h"
#include "store/TextCodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Header = "Zorbeth Source Code Snippets\r\nPublisher\r\nhttp://x\r\n2024-01-01 00:00:00\r\n";

QByteArray utf8(QStringView text)
{
    QByteArray bytes;
    TextCodec::appendUtf8(bytes, text);
    return bytes;
}

// A file of one record whose code block holds these bytes.
QByteArray fileWithCode(const QByteArray& code, const QByteArray& title = "t")
{
    return Header + "----T\r\n" + title +
           "\r\nLang\r\nCat\r\nkw\r\n2024-01-01 00:00:00\r\n<reserved>\r\n----O\r\n\r\n 0 \r\n 0 \r\n 0 "
           "\r\n----E\r\n----D\r\n\r\n----E\r\n----C\r\n" +
           code + "\r\n----E\r\n----H\r\n\r\n----E\r\n++++++++\r\n";
}

// Random text of the kinds code holds: ASCII words, accented and Asian letters, a pair of surrogates,
// a lone one, tabs, lone CR and LF and CR LF, and sometimes a byte order mark or nothing at all.
QString randomText(QRandomGenerator& random)
{
    static const QStringList pieces = {
        QStringLiteral("int"),
        QStringLiteral("Stream("),
        QStringLiteral(" "),
        QStringLiteral("\t"),
        QStringLiteral("\r\n"),
        QStringLiteral("\r"),
        QStringLiteral("\n"),
        QStringLiteral("é"),
        QStringLiteral("ÉCOLE"),
        QStringLiteral("日本"),
        QStringLiteral("ſtream("),
        QStringLiteral("K"),
        QStringLiteral("\u212A"),
        QStringLiteral("\uFEFF"),
        QStringLiteral("x=1;"),
        QStringLiteral("a,b"),
        QString::fromUtf16(u"\U0001F600"),
        QString(QChar(0xD800)),
        QStringLiteral("----"),
        QStringLiteral("-"),
    };
    const int count = int(random.bounded(12));
    QString text;
    for (int i = 0; i < count; ++i) {
        text += pieces[int(random.bounded(pieces.size()))];
    }
    return text;
}

// What the library keeps of a text given as code: a lone surrogate has no UTF-8 form, and a lone CR
// would read back as CR LF, which fitToFormat writes.
QString kept(const QString& text)
{
    QString value = TextCodec::decodeUtf8(utf8(text));
    // Byte-order marks the code begins with go before a save: reading would drop them.
    while (value.startsWith(QChar(0xFEFF))) {
        value.remove(0, 1);
    }
    QString fitted;
    for (qsizetype i = 0; i < value.size(); ++i) {
        fitted += value[i];
        if (value[i] == u'\r' && (i + 1 >= value.size() || value[i + 1] != u'\n')) {
            fitted += u'\n';
        }
    }
    return fitted;
}

} // namespace

class TestCodeText : public QObject
{
    Q_OBJECT

private slots:
    void holdsTheTextAsUtf8_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb");
        QTest::newRow("two and three bytes") << QStringLiteral("é日") << QByteArray("\xC3\xA9\xE6\x97\xA5");
        QTest::newRow("surrogate pair")
            << QString::fromUtf16(u"\U0001F600") << QByteArray("\xF0\x9F\x98\x80");
        QTest::newRow("lone surrogate")
            << (QStringLiteral("a") + QChar(0xDC00)) << QByteArray("a\xEF\xBF\xBD");
    }

    void holdsTheTextAsUtf8()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const CodeText code(text);
        QCOMPARE(code.bytes(), QByteArrayView(bytes));
        QCOMPARE(code.isEmpty(), bytes.isEmpty());
        QCOMPARE(code.toString(), QString::fromUtf8(bytes));
        QVERIFY(code == QString::fromUtf8(bytes));
        QVERIFY(code == CodeText::fromValidUtf8(bytes));
        QCOMPARE(code.isAscii(), TextCodec::isAscii(bytes));
        QVERIFY(!(code == QString(text + u'x')));
    }

    // The loader keeps a code block's bytes; the values must be what decoding them gave.
    void load_readsCodeAsDecodingDid_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("elsewhere"); // bytes in the title, to make the file not UTF-8
        QTest::addColumn<QString>("expected");
        QTest::addColumn<qsizetype>("nonUtf8");
        QTest::newRow("utf-8") << QByteArray("\xC3\xA9 x") << QByteArray() << QStringLiteral("é x")
                               << qsizetype(0);
        QTest::newRow("lone CR made CR LF")
            << QByteArray("a\rb\r\nc\nd") << QByteArray() << QStringLiteral("a\r\nb\r\nc\nd") << qsizetype(0);
        QTest::newRow("byte order mark dropped in a UTF-8 file")
            << QByteArray("\xEF\xBB\xBFx") << QByteArray() << QStringLiteral("x") << qsizetype(0);
        QTest::newRow("byte order mark kept in a file that is not")
            << QByteArray("\xEF\xBB\xBFx") << QByteArray("\xE9") << QStringLiteral("\uFEFFx") << qsizetype(1);
        QTest::newRow("windows-1252 code")
            << QByteArray("caf\xE9 \x80") << QByteArray() << QStringLiteral("café €") << qsizetype(2);
        QTest::newRow("utf-8 code in a windows-1252 file")
            << QByteArray("\xC3\xA9\rz") << QByteArray("\xE9") << QStringLiteral("é\r\nz") << qsizetype(1);
        QTest::newRow("mixed code") << QByteArray("\xC3\xA9\xE9\r") << QByteArray()
                                    << QStringLiteral("éé\r\n") << qsizetype(1);
        QTest::newRow("only a byte order mark")
            << QByteArray("\xEF\xBB\xBF") << QByteArray() << QString() << qsizetype(0);
        // A file without any CR: LF ends its lines, and the code reads with CR LF.
        QTest::newRow("lines ended by LF") << QByteArray("\xEF\xBB\xBF\xC3\xA9\n\nb") << QByteArray("\n")
                                           << QStringLiteral("é\r\n\r\nb") << qsizetype(0);
    }

    void load_readsCodeAsDecodingDid()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, elsewhere);
        QFETCH(QString, expected);
        QFETCH(qsizetype, nonUtf8);
        QByteArray file = fileWithCode(code, "t" + elsewhere);
        if (elsewhere == "\n") {
            file = fileWithCode(code).replace("\r\n", "\n");
        }
        const DatabaseFile::ReadResult read = DatabaseFile::parse(file);
        QCOMPARE(read.records.size(), size_t(1));
        QCOMPARE(read.records[0].Code.toString(), expected);
        QVERIFY(TextCodec::isUtf8(read.records[0].Code.bytes()));
        QCOMPARE(read.nonUtf8Bytes, nonUtf8);
        // The command line reads a UTF-8 file by places, and must find the same code there.
        if (TextCodec::isUtf8(file)) {
            std::vector<DatabaseFile::RecordSpans> spans;
            DatabaseFile::Walk walk;
            DatabaseFile::parseSpans(file, &spans, walk);
            QCOMPARE(spans.size(), size_t(1));
            QVERIFY(DatabaseFile::spanCode(file, spans[0].code, walk.lfMode) == read.records[0].Code);
        }
    }

    // Random records edited, deleted, saved and read back again and again: every save writes the
    // bytes the text of each field would, and every read gives back the text that was kept.
    void editSaveReload_matchesTheTextModel()
    {
        QRandomGenerator random(20261207);
        CodeArray records;
        QStringList model; // the code each record should hold, by position
        for (int round = 0; round < 60; ++round) {
            const int edits = 1 + int(random.bounded(8));
            for (int e = 0; e < edits; ++e) {
                const quint32 what = random.bounded(4);
                if (what == 0 || records.empty()) {
                    SnippetRecord r;
                    r.Title = QStringLiteral("t%1").arg(records.size());
                    r.Language = QStringLiteral("C");
                    r.Category = QStringLiteral("c");
                    const QString text = randomText(random);
                    r.Code = text;
                    model << kept(text);
                    records.push_back(r);
                } else if (what == 1) {
                    const size_t at = random.bounded(quint32(records.size()));
                    const QString text = randomText(random);
                    records[at].Code = text;
                    model[qsizetype(at)] = kept(text);
                } else if (what == 2) {
                    const size_t at = random.bounded(quint32(records.size()));
                    records.erase(records.begin() + qsizetype(at));
                    model.removeAt(qsizetype(at));
                } else {
                    records[random.bounded(quint32(records.size()))].Deleted = true;
                }
            }
            DatabaseFile::fitToFormat(records);
            const QByteArray saved = DatabaseFile::serialize(records, QStringLiteral("2026-12-07 00:00:00"));
            QString expected = QStringLiteral(
                "Zorbeth Source Code Snippets\r\nZorbeth Project\r\nhttps://zorbeth.example.org\r\n"
                "2026-12-07 00:00:00\r\n");
            QStringList written;
            for (size_t i = 0; i < records.size(); ++i) {
                const SnippetRecord& r = records[i];
                if (r.Deleted) {
                    continue;
                }
                expected +=
                    QStringLiteral("----T\r\n%1\r\nC\r\nc\r\n\r\n\r\n<reserved>\r\n----O\r\n\r\n 0 \r\n 0 "
                                   "\r\n 0 \r\n----E\r\n----D\r\n\r\n----E\r\n----C\r\n")
                        .arg(r.Title) +
                    model[qsizetype(i)] + QStringLiteral("\r\n----E\r\n----H\r\n\r\n----E\r\n");
                written << model[qsizetype(i)];
            }
            expected += QStringLiteral("++++++++\r\n");
            QCOMPARE(saved, utf8(expected));

            // Every other read as a large file is read: in two halves, each copying its code into a
            // block the records share and keep, which outlives this read and the edits after it.
            const DatabaseFile::ReadResult read =
                DatabaseFile::parse(saved, round % 2 == 0 ? 0 : std::numeric_limits<qsizetype>::max());
            QVERIFY(read.complete);
            QCOMPARE(qsizetype(read.records.size()), written.size());
            for (size_t i = 0; i < read.records.size(); ++i) {
                // A byte order mark at the start of a value does not survive the reload.
                const QString& text = written[qsizetype(i)];
                const QString want = text.startsWith(u'\uFEFF') ? text.mid(1) : text;
                QCOMPARE(read.records[i].Code.toString(), want);
            }
            records = read.records;
            model.clear();
            for (const SnippetRecord& r : records) {
                model << r.Code.toString();
            }
        }
    }

    // The block takes copies while they fit, and nothing once closed.
    void arena_copiesWhatFitsUntilClosed()
    {
        CodeArena arena(4096);
        const QByteArray page(4000, 'p');
        const QByteArrayView first = arena.add(page);
        QCOMPARE(first, QByteArrayView(page));
        QVERIFY(first.data() != page.data());
        QVERIFY(arena.add(QByteArray(97, 'q')).isEmpty());
        const QByteArrayView last = arena.add(QByteArray(96, 'r'));
        QCOMPARE(last, QByteArrayView(QByteArray(96, 'r')));
        QVERIFY(arena.add("s").isEmpty());
        QVERIFY(arena.add(QByteArrayView()).isEmpty());

        CodeArena closed(1 << 20);
        const QByteArrayView kept = closed.add("kept");
        closed.close();
        QVERIFY(closed.add("more").isEmpty());
        QCOMPARE(kept, QByteArrayView("kept"));
    }

    // A library read from its file, whose pages are given back on the way, holds what parsing the
    // same bytes gives.
    void readFromFile_equalsParsingTheBytes()
    {
        QRandomGenerator random(7);
        CodeArray records;
        QByteArray filler(2000, 'x');
        for (int i = 0; i < 6000; ++i) {
            SnippetRecord r;
            r.Title = QStringLiteral("t%1").arg(i);
            r.Language = QStringLiteral("C");
            r.Code = randomText(random) + QString::fromLatin1(filler) + randomText(random);
            records.push_back(r);
        }
        DatabaseFile::fitToFormat(records);
        const QByteArray bytes = DatabaseFile::serialize(records, QStringLiteral("now"));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("zorbeth.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        const DatabaseFile::ReadResult fromFile = DatabaseFile::read(path);
        const DatabaseFile::ReadResult parsed = DatabaseFile::parse(bytes);
        QVERIFY(fromFile.complete);
        QCOMPARE(fromFile.records.size(), records.size());
        QVERIFY(fromFile.records == parsed.records);
    }

    // Searching and listing the words of code in its bytes finds what the decoded text holds.
    void searchAndWordLists_matchTheDecodedText()
    {
        QRandomGenerator random(99);
        CodeArray records;
        for (int i = 0; i < 3000; ++i) {
            SnippetRecord r;
            r.Language = QStringLiteral("C");
            r.Code = randomText(random);
            records.push_back(r);
        }
        const QStringList terms = {
            QStringLiteral("stream("), QStringLiteral("STREAM("),  QStringLiteral("k"),
            QStringLiteral("é"),       QStringLiteral("École"),    QStringLiteral("x=1"),
            QStringLiteral("日"),      QStringLiteral("a,b\r\nk"), QStringLiteral("\u212A")};
        const SearchScope everywhere(QString(), true, false);
        for (const QString& term : terms) {
            for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
                SearchEngine::TextSearch(records, term, cs, {false, false, true}, false, everywhere);
                const TextMatcher matcher(term, cs);
                for (const SnippetRecord& r : records) {
                    QCOMPARE(r.Matched, matcher.isIn(QStringLiteral("\r\n") + r.Code.toString()));
                }
            }
        }
        // The same words from the text given as keywords; each record then adds one blank less.
        CodeArray asText = records;
        for (SnippetRecord& r : asText) {
            r.Keywords = r.Code.toString();
            r.Code = CodeText();
        }
        const WordLists::WordList fromBytes = WordLists::allWords(records, everywhere);
        const WordLists::WordList fromText = WordLists::allWords(asText, everywhere);
        QCOMPARE(fromBytes.words, fromText.words);
        QCOMPARE(fromBytes.pieces, fromText.pieces);
    }
};

QTEST_GUILESS_MAIN(TestCodeText)
#include "tst_code_text.moc"
