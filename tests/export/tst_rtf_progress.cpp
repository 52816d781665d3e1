#include "LibraryText.h"
#include "export/RtfToHtml.h"
#include "export/SnippetExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Coloured lines, each a group of its own, as the editor's rendering writes them.
QByteArray longRtf(int lines)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\r\n"
                     "{\\colortbl ;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}\r\n\\f0\\fs20 ";
    for (int line = 0; line < lines; ++line) {
        rtf +=
            "{\\cf1\\b int} {\\cf2 value" + QByteArray::number(line) + " = a < b && \\{c\\}\\tab ;}\\par\r\n";
    }
    return rtf + '}';
}

} // namespace

// The long conversion's progress: called as promised, the same HTML, and a stop leaves nothing behind.
class TestRtfProgress : public QObject
{
    Q_OBJECT

private slots:
    void convertWithProgress_sameHtmlAndCalledPerBlock_data()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("short") << 10;
        QTest::newRow("several blocks") << 5000;
    }

    void convertWithProgress_sameHtmlAndCalledPerBlock()
    {
        QFETCH(int, lines);
        const QByteArray rtf = longRtf(lines);
        int calls = 0;
        const std::optional<QString> html = RtfToHtml::convert(rtf, [&calls] {
            ++calls;
            return true;
        });
        QVERIFY(html.has_value());
        QCOMPARE(*html, RtfToHtml::convert(rtf));
        // At most once a block, and not much less: a call comes at the first step past each block.
        QVERIFY(calls <= rtf.size() / RtfToHtml::ProgressBytes);
        QVERIFY(calls >= rtf.size() / RtfToHtml::ProgressBytes / 2);
    }

    void convertWithProgress_stopsWhenAsked()
    {
        const QByteArray rtf = longRtf(5000);
        int calls = 0;
        const std::optional<QString> html = RtfToHtml::convert(rtf, [&calls] { return ++calls < 2; });
        QVERIFY(!html.has_value());
        QCOMPARE(calls, 2);
    }

    void convertFileWithProgress_stoppedWritesNoHtml_data()
    {
        QTest::addColumn<bool>("lastCall");
        QTest::newRow("during the conversion") << false;
        QTest::newRow("before writing") << true;
    }

    void convertFileWithProgress_stoppedWritesNoHtml()
    {
        QFETCH(bool, lastCall);
        int conversionCalls = 0;
        RtfToHtml::convert(longRtf(5000), [&conversionCalls] { return ++conversionCalls > 0; });
        QVERIFY(conversionCalls > 1);
        const int allowed = lastCall ? conversionCalls : 1;
        QTemporaryDir dir;
        const QString rtfPath = dir.filePath(QStringLiteral("zorbeth.rtf"));
        const QString htmlPath = dir.filePath(QStringLiteral("zorbeth.htm"));
        QFile rtf(rtfPath);
        QVERIFY(rtf.open(QIODevice::WriteOnly));
        rtf.write(longRtf(5000));
        rtf.close();
        int calls = 0;
        QVERIFY(!RtfToHtml::ConvertRtfToHtml(rtfPath, htmlPath, QString(), QString(),
                                             [&] { return ++calls <= allowed; }));
        QCOMPARE(calls, allowed + 1);
        QVERIFY(!QFile::exists(htmlPath));

        QVERIFY(RtfToHtml::ConvertRtfToHtml(rtfPath, htmlPath, QString(), QString(), [] { return true; }));
        QFile html(htmlPath);
        QVERIFY(html.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(html.readAll()), RtfToHtml::convert(longRtf(5000)));
    }

    // Stopped at every step in turn: never a page; allowed every step, the page as without progress.
    void writePage_stoppedAtAnyStepLeavesNoPage()
    {
        QTemporaryDir dir;
        const QString tpl = dir.filePath(QStringLiteral("t.htm"));
        QVERIFY(LibraryText::writeAll(tpl, "<zq_Title>:<zq_Code>"));
        SnippetRecord record;
        record.Title = QStringLiteral("Long");
        SnippetExport::PageRequest request;
        request.folder = dir.path();
        request.rtfFile = QStringLiteral("zorbeth.rtf");
        request.convertedFile = request.pageFile = QStringLiteral("zorbeth.htm");
        request.templatePath = tpl;
        const QByteArray rtf = longRtf(5000);
        QString error;
        QVERIFY2(SnippetExport::writePage(request, rtf, record, &error), qPrintable(error));
        const QString page = dir.filePath(request.pageFile);
        QFile written(page);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray expected = written.readAll();
        written.close();
        QVERIFY(QFile::remove(page));

        int steps = 0;
        request.progress = [&steps] {
            ++steps;
            return true;
        };
        QVERIFY2(SnippetExport::writePage(request, rtf, record, &error), qPrintable(error));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);
        written.close();
        QVERIFY(steps > 4);
        QVERIFY(QFile::remove(page));

        for (int allowed = 0; allowed < steps; ++allowed) {
            int calls = 0;
            request.progress = [&] { return ++calls <= allowed; };
            QVERIFY(!SnippetExport::writePage(request, rtf, record, &error));
            QVERIFY2(!QFile::exists(page), qPrintable(QString::number(allowed)));
        }
    }
};

QTEST_GUILESS_MAIN(TestRtfProgress)
#include "tst_rtf_progress.moc"
