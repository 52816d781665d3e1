#include "cli/CliCommands.h"
#include "LibraryText.h"
#include "store/DatabaseFile.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

// Values that stress decoding and case folding: letters beyond ASCII that fold onto ASCII (the
// Kelvin sign, the long s), dotted and dotless i, sharp s, a surrogate pair, control characters.
const QStringList Pieces = {
    "read",
    "Write",
    "quux",
    "STRASSE",
    QString::fromUtf8("straße"),
    QString::fromUtf8("ÄÖ"),
    QString::fromUtf8("äö"),
    QString::fromUtf8("İstanbul"),
    QString::fromUtf8("ıi"),
    QString(QChar(0x212A)) + "elvin",
    QString(QChar(0x017F)) + "ort",
    QString::fromUtf8("😀 emoji"),
    "a-b(c)",
    "x\tTab",
    QString::fromUtf8("Ꞵeta ẞ"),
    "----",
    "e(",
    "\x1b[31m",
    "",
    " ",
};

const QStringList Languages = {"C++", "Python", QString::fromUtf8("Ärger"), "python", "", "SQL"};

class Builder
{
public:
    explicit Builder(quint32 seed) : m_random(seed) {}

    int below(int n) { return int(m_random() % quint32(n)); }

    QString words(int most)
    {
        QString text;
        const int count = below(most + 1);
        for (int i = 0; i < count; ++i) {
            text += (i ? QStringLiteral(" ") : QString()) + Pieces[below(int(Pieces.size()))];
        }
        return text;
    }

    QString code(bool huge)
    {
        QString text;
        const int lines = huge ? 4000 : below(6);
        for (int i = 0; i < lines; ++i) {
            text += (i ? QStringLiteral("\r\n") : QString()) + words(6);
        }
        return text;
    }

    CodeArray records(int count, bool huge)
    {
        CodeArray all;
        for (int i = 0; i < count; ++i) {
            SnippetRecord r;
            r.Language = Languages[below(int(Languages.size()))];
            r.Category = words(2);
            r.Title = words(4);
            r.Keywords = words(3);
            r.Date = below(3) ? QStringLiteral("2026-01-02 03:04:05") : QString();
            r.Code = code(huge && i == 1);
            r.DText = below(4) ? QString() : words(5);
            r.HText = below(4) ? QString() : words(2);
            if (below(5) == 0) {
                r.ObjectName = words(1) + ".zip";
                r.ObjectFlag = 1;
                r.ObjectStart = below(1000) - 10;
                r.ObjectLength = below(1000);
            }
            all.push_back(r);
        }
        DatabaseFile::fitToFormat(all);
        return all;
    }

    // A library file of the kind named, built from random records.
    QByteArray library(const QString& kind)
    {
        // A large library is walked in two halves at once.
        const bool large = kind.startsWith(QLatin1String("large"));
        QByteArray bytes =
            DatabaseFile::serialize(records(large ? 40000 : 1 + below(30), kind == "huge fields"),
                                    QStringLiteral("2026-12-07 10:00:00"));
        if (large) {
            Q_ASSERT(bytes.size() > 8 * 1024 * 1024);
        }
        if (kind == "lf") {
            bytes.replace("\r\n", "\n");
        } else if (kind == "lone breaks") {
            // Some line ends become a lone CR, some CR LF get a stray LF inside a line.
            for (qsizetype i = bytes.indexOf("\r\n"); i >= 0; i = bytes.indexOf("\r\n", i + 1)) {
                if (below(4) == 0) {
                    bytes.remove(i + 1, 1);
                } else if (below(8) == 0) {
                    bytes.insert(i, '\n');
                    i += 1;
                }
            }
        } else if (kind == "truncated") {
            bytes.truncate(below(int(bytes.size())));
        } else if (kind == "damaged") {
            // A block loses its end line, so the reader runs on into the next record.
            for (int cuts = 1 + below(3); cuts > 0; --cuts) {
                const qsizetype at = bytes.indexOf("----E\r\n", below(int(bytes.size())));
                if (at >= 0) {
                    bytes.remove(at, 7);
                }
            }
        } else if (kind == "large, damaged before the middle") {
            // The record before the second half's first loses its end, so the first half reads on
            // over where the second began.
            const qsizetype middle = bytes.indexOf("\r\n----T\r\n", bytes.size() / 2);
            bytes.remove(bytes.lastIndexOf("----E\r\n", middle), 7);
        } else if (kind == "cp1252") {
            bytes.insert(below(int(bytes.size())), "\xe4\x80");
        } else if (kind == "bad utf-8 at the end") {
            bytes.append("\xc3");
        } else if (kind == "record start in code") {
            const qsizetype at = bytes.indexOf("----C\r\n");
            if (at >= 0) {
                bytes.insert(at + 7, "----T\r\n");
            }
        } else if (kind == "no end marker") {
            bytes.chop(10);
        } else if (kind == "garbage lines") {
            for (int n = 0; n < 5; ++n) {
                const qsizetype at = bytes.indexOf("\r\n", below(int(bytes.size()))) + 2;
                if (at >= 2) {
                    bytes.insert(at, below(2) ? QByteArray("----X junk\r\n") : QByteArray("+++++\r\n"));
                }
            }
        }
        return bytes;
    }

private:
    std::mt19937 m_random;
};

struct Output
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Output runCli(const QStringList& arguments, bool fullRead)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    CliCommands cli(out, err);
    cli.setFullRead(fullRead);
    const int status = cli.run(arguments);
    return {status, out.data(), err.data()};
}

// Every command line that reads the library, over the library of folder and the file itself.
QList<QStringList> commandLines(const QString& folder, bool few)
{
    const QString file = folder + QStringLiteral("/zorbeth.txt");
    QList<QStringList> lines = {{"check", file},
                                {"list"},
                                {"list", "--language", "python"},
                                {"words", "--all"},
                                {"words", "--keys"},
                                {"words", "--all", "--language", QString::fromUtf8("ärger")}};
    const QStringList terms = {"quux",
                               "read",
                               "rea",
                               QString::fromUtf8("ÄÖ"),
                               QString::fromUtf8("straße"),
                               QString::fromUtf8("İ"),
                               "i",
                               "k",
                               "sort",
                               QString::fromUtf8("😀"),
                               "E(",
                               "\r\n",
                               "a b",
                               "-",
                               QString(QChar(0xD83D)),
                               "xyzzy not there"};
    if (few) {
        // A large library: the commands each walk it differently, once, and a search that finds
        // nothing beside one that finds many.
        lines = {{"check", file},
                 {"list"},
                 {"words", "--all"},
                 {"search", "--ignore-case", "--", "quux"},
                 {"search", "--", "read"}};
    }
    for (const QString& term : few ? QStringList() : terms) {
        lines.append({"search", "--", term});
        lines.append({"search", "--ignore-case", "--", term});
        lines.append({"search", "--ignore-case", "--titles", "--keywords", "--", term});
        lines.append({"search", "--code", "--language", "PYTHON", "--", term});
    }
    QList<QStringList> all;
    for (const QStringList& line : lines) {
        all.append(QStringList{"--folder", folder} + line);
        all.append(QStringList{"--folder", folder, "--json"} + line);
    }
    return all;
}

} // namespace

// The command line reads a library through a mapped walk that decodes only what it prints; on any
// file it must print exactly what reading the whole library gives.
class TestCliMappedReads : public QObject
{
    Q_OBJECT

private slots:
    void readOnlyCommands_printWhatTheFullReadPrints_data();
    void readOnlyCommands_printWhatTheFullReadPrints();
};

void TestCliMappedReads::readOnlyCommands_printWhatTheFullReadPrints_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"crlf", "lf", "lone breaks", "truncated", "damaged", "cp1252",
                             "bad utf-8 at the end", "record start in code", "no end marker", "garbage lines",
                             "huge fields", "large", "large, damaged before the middle"}) {
        QTest::newRow(kind) << QString::fromLatin1(kind);
    }
}

void TestCliMappedReads::readOnlyCommands_printWhatTheFullReadPrints()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const int libraries =
        kind == QLatin1String("huge fields") || kind.startsWith(QLatin1String("large")) ? 1 : 12;
    for (int seed = 0; seed < libraries; ++seed) {
        Builder builder(quint32(seed * 7919 + qHash(kind)));
        QVERIFY(LibraryText::writeAll(folder.filePath("zorbeth.txt"), builder.library(kind)));
        for (const QStringList& line : commandLines(folder.path(), kind.startsWith(QLatin1String("large")))) {
            const Output full = runCli(line, true);
            const Output mapped = runCli(line, false);
            const QByteArray what = "seed " + QByteArray::number(seed) + ": " + line.join(u' ').toUtf8();
            QVERIFY2(mapped.status == full.status, what.constData());
            QVERIFY2(mapped.out == full.out, (what + "\n" + mapped.out + "\n---\n" + full.out).constData());
            QVERIFY2(mapped.err == full.err, (what + "\n" + mapped.err + "\n---\n" + full.err).constData());
        }
    }
}

QTEST_GUILESS_MAIN(TestCliMappedReads)
#include "tst_cli_mapped_reads.moc"
