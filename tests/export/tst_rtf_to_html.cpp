#include "export/RtfToHtml.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The converter on hand-written RTF: colours, escapes, unicode, blanks, tabs and line breaks.
class TestRtfToHtml : public QObject
{
    Q_OBJECT

private slots:
    void convert_showsTextAndLook_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        const QByteArray head = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fmodern Courier New;}}"
                                "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\f0\\fs20 ";
        QTest::newRow("colours") << head + "{\\cf1 red}{\\cf2\\b  blue}}"
                                 << QStringLiteral(
                                        "<span style=\"color:#ff0000\">red</span>"
                                        "<span style=\"color:#0000ff;font-weight:bold\"> blue</span>");
        QTest::newRow("background and italic")
            << head + "{\\cb2\\i x}\\ul y\\ulnone z}"
            << QStringLiteral("<span style=\"background-color:#0000ff;font-style:italic\">x</span>"
                              "<span style=\"text-decoration:underline\">y</span>z");
        QTest::newRow("html escaped")
            << head + "a<b && c>\"d\"}" << QStringLiteral("a&lt;b &amp;&amp; c&gt;&quot;d&quot;");
        QTest::newRow("html escaped from hex bytes")
            << head + "\\'3cb\\'3e \\'26 \\'22q\\'22}" << QStringLiteral("&lt;b&gt; &amp; &quot;q&quot;");
        QTest::newRow("html escaped from unicode")
            << head + "\\u60?i\\u62? \\u38? \\u34?}" << QStringLiteral("&lt;i&gt; &amp; &quot;");
        QTest::newRow("html escaped after a fallback")
            << head + "\\uc2\\u60\\'3c\\'3cx}" << QStringLiteral("&lt;x");
        QTest::newRow("rtf escapes") << head + "\\{x\\}\\\\y}" << QStringLiteral("{x}\\y");
        QTest::newRow("blanks and tabs kept") << head + "a   b\\tab\\tab c}" << QStringLiteral("a   b\t\tc");
        QTest::newRow("line breaks") << head + "one\\par\r\ntwo\\line three\\par\\par}"
                                     << QStringLiteral("one\r\ntwo\r\nthree\r\n\r\n");
        QTest::newRow("unicode with fallback")
            << head + "\\u228?x \\uc2\\u8364\\'80\\'80y}" << QStringLiteral("\u00e4x \u20acy");
        QTest::newRow("negative unicode") << head + "\\u-3913?}" << QString(QChar(0xF0B7));
        QTest::newRow("hex bytes in windows-1252") << head + "\\'e9\\'80}" << QStringLiteral("\u00e9\u20ac");
        QTest::newRow("unknown words and destinations skipped")
            << head + "{\\*\\generator Foo;}{\\info{\\title T}}\\pard\\qj\\zzz12 text}"
            << QStringLiteral("text");
        QTest::newRow("group ends the look")
            << head + "{\\b bold}plain}"
            << QStringLiteral("<span style=\"font-weight:bold\">bold</span>plain");
    }
    void convert_showsTextAndLook()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        const QString html = RtfToHtml::convert(rtf);
        QVERIFY2(html.startsWith(QStringLiteral(
                     "<pre style=\"font-family:'Courier New', monospace; font-size:10pt\">\r\n")),
                 qPrintable(html));
        QVERIFY(html.endsWith(QStringLiteral("</pre>")));
        const qsizetype open = html.indexOf(QStringLiteral("\">\r\n")) + 4;
        QCOMPARE(html.mid(open, html.size() - open - 6), expected);
    }

    void deftab_becomesTabSize()
    {
        const QString html = RtfToHtml::convert("{\\rtf1\\deftab480\\fs20 x}");
        QVERIFY2(html.contains(QStringLiteral("tab-size:4")), qPrintable(html));
    }

    void convertFile_writesUtf8AndReportsFailures()
    {
        QTemporaryDir dir;
        const QString rtf = dir.filePath(QStringLiteral("in.rtf"));
        const QString html = dir.filePath(QStringLiteral("out.htm"));
        QVERIFY(
            !RtfToHtml::ConvertRtfToHtml(rtf, html, QStringLiteral("irun.dll"), QStringLiteral("EXRTF2WEB")));
        QVERIFY(!QFile::exists(html));

        QFile in(rtf);
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write("{\\rtf1 \\u1046?}\r\n");
        in.close();
        QVERIFY(
            RtfToHtml::ConvertRtfToHtml(rtf, html, QStringLiteral("irun.dll"), QStringLiteral("EXRTF2WEB")));
        QFile out(html);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(out.readAll()).contains(QStringLiteral("\u0416</pre>")));

        QVERIFY(!RtfToHtml::ConvertRtfToHtml(rtf, dir.filePath(QStringLiteral("missing/out.htm")), QString(),
                                             QString()));
    }
};

QTEST_GUILESS_MAIN(TestRtfToHtml)
#include "tst_rtf_to_html.moc"
