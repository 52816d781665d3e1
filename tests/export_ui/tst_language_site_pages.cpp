#include "LibraryText.h"
#include "ui/WindowFixture.h"
#include "ZorbethTestPaths.h"

#include <QAction>
#include <QDir>
#include <unistd.h>

namespace {

// Where the expected sites lie, one folder per language. With ZORBETH_WRITE_EXPECTED set the test
// writes them instead, from a build whose pages are known to be right.
QString expectedFolder(const QString& language)
{
    return QDir(QStringLiteral(ZORBETH_TEST_DATA_DIR "/export/language_sites")).filePath(language);
}

CodeArray variedLibrary()
{
    const QString wide = QStringLiteral("int wide = 1; ") + QString(2000, u'w') + QStringLiteral(" // end");
    return {
        WindowFixture::record("SQL", "Queries", "Join & <zq_Date>", "join, <b>",
                              "SELECT a, \"b\" FROM t -- Grüße\r\n\r\n\tWHERE x < 1 & y > 'q' {z} \\n"),
        WindowFixture::record("SQL", "Queries", "Empty", "", ""),
        WindowFixture::record("SQL", "Stored Procs", "Tags in code", "",
                              "-- <zq_Title> <zq_Code> <ZQ_INDEX>\r\nCREATE PROC p AS SELECT 1;\r\n"),
        WindowFixture::record(
            "C", "Basics", "Hello", "",
            "#include <stdio.h>\r\n/* comment */\r\nint main(void)\r\n{\r\n\tprintf(\"%d\\n\", "
            "'x');\r\n\treturn 0; // 𝄞 and €\r\n}\r\n"),
        WindowFixture::record("C", "Long lines", "Wide", "", wide + QStringLiteral("\r\n") + wide),
        WindowFixture::record("C", "Long lines", "Bare line ends", "", "int a;\rint b;\nint c;\r\n\r\r\n"),
        WindowFixture::record("Python", "Basics", "Class", "kw",
                              "class A:\r\n    \"\"\"doc\"\"\"\r\n    def f(self):\r\n        return "
                              "'s' + r\"\\d\"  # note\r\n"),
        WindowFixture::record("No Such Language", "Notes", "Plain", "",
                              "plain text {with} \\braces\\ and <tags> & ümlauts\r\n"),
    };
}

} // namespace

// Every page and the index of a language site, byte for byte as expected, for languages with and
// without colouring and code that puts the converter's and the template's rules to work.
class TestLanguageSitePages : public QObject
{
    Q_OBJECT

private slots:
    void languageSite_isByteForByteAsExpected_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("sql") << "SQL";
        QTest::newRow("c") << "C";
        QTest::newRow("python") << "Python";
        QTest::newRow("no colouring") << "No Such Language";
    }

    void languageSite_isByteForByteAsExpected()
    {
        QFETCH(QString, language);
        WindowFixture f;
        open(f);
        exportLanguage(f, language);
        const QDir expected(expectedFolder(language));
        if (qEnvironmentVariableIsSet("ZORBETH_WRITE_EXPECTED")) {
            QVERIFY(QDir().mkpath(expected.path()));
            for (const QString& name : site(f).entryList(QDir::Files, QDir::Name)) {
                QVERIFY(LibraryText::writeAll(expected.filePath(name),
                                              LibraryText::readAll(site(f).filePath(name))));
            }
        }
        compareSite(f, language);
    }

    // The pages of the export before, whose files the new pages take over, leave no trace; a link
    // among them is deleted, never written through.
    void languageSite_overOldPages_isAsFresh_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("language");
        QTest::newRow("same language") << "SQL"
                                       << "SQL";
        QTest::newRow("more pages than before") << "Python"
                                                << "C";
        QTest::newRow("fewer pages than before") << "C"
                                                 << "Python";
    }

    void languageSite_overOldPages_isAsFresh()
    {
        QFETCH(QString, before);
        QFETCH(QString, language);
        WindowFixture f;
        open(f);
        exportLanguage(f, before);
        const QString outside = QDir(f.folder()).filePath(QStringLiteral("outside.txt"));
        const QByteArray kept("not a page");
        QVERIFY(LibraryText::writeAll(outside, kept));
        QVERIFY(QFile::link(outside, site(f).filePath(QStringLiteral("link.htm"))));
        QVERIFY(::link(QFile::encodeName(outside).constData(),
                       QFile::encodeName(site(f).filePath(QStringLiteral("twice.htm"))).constData()) == 0);
        exportLanguage(f, language);
        compareSite(f, language);
        QCOMPARE(LibraryText::readAll(outside), kept);
    }

private:
    static void open(WindowFixture& f)
    {
        f.writeLibrary(variedLibrary());
        // A font no machine has keeps its name in the pages, whatever fonts are installed.
        f.settings().save(QStringLiteral("FontName"), QStringLiteral("Zorbeth Test Mono"));
        f.open();
    }

    static void exportLanguage(WindowFixture& f, const QString& language)
    {
        f.tree()->setCurrentItem(f.node(language));
        f.find<QAction>("mnuExportLanguage")->trigger();
    }

    static QDir site(WindowFixture& f)
    {
        return QDir(QDir(f.folder()).filePath(QStringLiteral("html_export")));
    }

    static void compareSite(WindowFixture& f, const QString& language)
    {
        const QStringList written = site(f).entryList(QDir::Files | QDir::System, QDir::Name);
        const QDir expected(expectedFolder(language));
        QCOMPARE(written, expected.entryList(QDir::Files, QDir::Name));
        for (const QString& name : written) {
            QCOMPARE(LibraryText::readAll(site(f).filePath(name)),
                     LibraryText::readAll(expected.filePath(name)));
        }
    }
};

QTEST_MAIN(TestLanguageSitePages)
#include "tst_language_site_pages.moc"
