#include "import/ImportExtensions.h"
#include "import/SourceSplitter.h"
#include "ZorbethTestPaths.h"

#include <csignal>
#include <cstdio>
#include <poll.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Fixtures = QStringLiteral(ZORBETH_TEST_DATA_DIR "/import/");

QStringList titles(const CodeArray& staged)
{
    QStringList list;
    for (const SnippetRecord& r : staged) {
        list << r.Title;
    }
    return list;
}

QStringList languages(const CodeArray& staged)
{
    QStringList list;
    for (const SnippetRecord& r : staged) {
        list << r.Language;
    }
    return list;
}

} // namespace

class TestSourceSplitter : public QObject
{
    Q_OBJECT

private slots:
    void stageFile_cutsEachKindOfSource_data();
    void stageFile_cutsEachKindOfSource();
    void stageFile_codeHasCrLfWhateverTheFileUsed_data();
    void stageFile_codeHasCrLfWhateverTheFileUsed();
    void splitFunction_farBrace_titleBoundedAndCodeWhole();
    void splitFunction_hostileHeader_peakMemoryStaysSmall();
    void splitVB_rebuildsCodeWithLowerCaseKeywordsAndCrLf();
    void splitVB_anyLineEndEndsALine_data();
    void splitVB_anyLineEndEndsALine();
    void splitHTML_cutsNestedBlocksPerPass();
    void splitFunction_cutsAtTheMatchingBrace_data();
    void splitFunction_cutsAtTheMatchingBrace();
    void staged_carriesImportCategoryAndNoObject();
    void nothingFound_leavesOneEmptyRecord_data();
    void nothingFound_leavesOneEmptyRecord();
    void loaderFor_followsTheEndingTable_data();
    void loaderFor_followsTheEndingTable();
};

void TestSourceSplitter::stageFile_cutsEachKindOfSource_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("languages");

    // Subs first, then the public function of the sixth pass; "End  Sub" closes nothing.
    QTest::newRow("vb module") << "module.bas"
                               << QStringList{"Main()", "Form_Load()", "Twice(ByVal n As Long) As Long"}
                               << QStringList{"Visual Basic", "Visual Basic", "Visual Basic"};
    // Upper-case script tags are not found; passes are independent, so the form inside the
    // table is staged twice.
    QTest::newRow("html page") << "page.html"
                               << QStringList{"<script> </script>", "<script> </script>", "<form> </form>",
                                              "<style> </style>", "<table> </table>"}
                               << QStringList{"JavaScript", "JavaScript", "HTML", "HTML", "HTML"};
    QTest::newRow("perl subs") << "tools.pl" << QStringList{"greet", "trim_it"}
                               << QStringList{"Perl", "Perl"};
    // The struct inside the class gets no snippet of its own.
    QTest::newRow("class within class")
        << "shapes.h" << QStringList{"Outer : public Base", "Shape"} << QStringList{"C++", "C++"};
    // The first "class" stands in a comment: the snippet starts there.
    QTest::newRow("class first in a comment")
        << "Demo.java" << QStringList{"is a demo */ import java.util.List;  public class Demo"}
        << QStringList{"Java"};
}

void TestSourceSplitter::stageFile_cutsEachKindOfSource()
{
    QFETCH(QString, file);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, languages);
    CodeArray staged;
    QVERIFY(ImportExtensions::stageFile(Fixtures + file, staged));
    QCOMPARE(::titles(staged), titles);
    QCOMPARE(::languages(staged), languages);
}

void TestSourceSplitter::stageFile_codeHasCrLfWhateverTheFileUsed_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("lineEnd");
    for (const char* file : {"module.bas", "page.html", "tools.pl", "shapes.h", "Demo.java", "old.zq5"}) {
        for (const auto& [name, end] :
             {std::pair{"lf", "\n"}, std::pair{"cr", "\r"}, std::pair{"cr lf", "\r\n"}}) {
            QTest::addRow("%s, %s", file, name) << QString::fromLatin1(file) << QByteArray(end);
        }
    }
}

void TestSourceSplitter::stageFile_codeHasCrLfWhateverTheFileUsed()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, lineEnd);
    QFile fixture(Fixtures + file);
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    QByteArray bytes = fixture.readAll();
    bytes.replace("\r\n", "\n");
    QByteArray crlf = bytes;
    crlf.replace("\n", "\r\n");
    bytes.replace("\n", lineEnd);
    QTemporaryDir dir;
    auto stage = [&](const QByteArray& content, CodeArray& staged) {
        QFile copy(dir.filePath(file));
        QVERIFY(copy.open(QIODevice::WriteOnly | QIODevice::Truncate));
        copy.write(content);
        copy.close();
        QVERIFY(ImportExtensions::stageFile(copy.fileName(), staged));
    };
    CodeArray staged;
    CodeArray fromCrLf;
    stage(bytes, staged);
    stage(crlf, fromCrLf);
    QCOMPARE(staged.size(), fromCrLf.size());
    for (size_t i = 0; i < staged.size(); ++i) {
        const QString& code = staged[i].Code.toString();
        QCOMPARE(code.count(u'\n'), code.count(QLatin1String("\r\n")));
        QCOMPARE(code.count(u'\r'), code.count(QLatin1String("\r\n")));
        QCOMPARE(code, fromCrLf[i].Code.toString());
    }
}

void TestSourceSplitter::splitFunction_farBrace_titleBoundedAndCodeWhole()
{
    const QString name(1000, u'n');
    const QString text = "class \r\n  " + name + " {\r\n}";
    CodeArray staged;
    QVERIFY(SourceSplitter::splitFunction(staged, text, "class", "C++"));
    QCOMPARE(staged.size(), size_t(1));
    QCOMPARE(staged[0].Title, name.left(SourceSplitter::TitleLimit));
    QCOMPARE(staged[0].Code.toString(), text);
}

void TestSourceSplitter::splitFunction_hostileHeader_peakMemoryStaysSmall()
{
    // "class }" lines and one "{" at the very end: every title would run to that far brace.
    QByteArray hostile;
    while (hostile.size() < 80 * 1024) {
        hostile += "class }\r\n";
    }
    hostile += "{";
    QTemporaryDir dir;
    QFile file(dir.filePath("hostile.h"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(hostile);
    file.close();

    // Measured in a child process, whose peak starts at what it holds after the fork. The child
    // may not grow its address space by more than 512 MB, so a runaway fails there instead of
    // exhausting the machine.
    // AddressSanitizer keeps freed memory aside for a while, so there the peak says less.
#if defined(__SANITIZE_ADDRESS__)
    constexpr long LimitKb = 200 * 1024;
#else
    constexpr long LimitKb = 50 * 1024;
#endif
    int pipeEnds[2];
    QVERIFY(pipe(pipeEnds) == 0);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // The child leaves the test's crash handling alone and just ends.
        std::signal(SIGABRT, SIG_DFL);
        std::signal(SIGSEGV, SIG_DFL);
        close(pipeEnds[0]);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) {
                pages = 0;
            }
            std::fclose(statm);
        }
        const rlim_t room = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(512) << 20);
        const rlimit limit{room, room};
        setrlimit(RLIMIT_AS, &limit);
        long grown[2] = {-1, 0};
        try {
            CodeArray staged;
            if (ImportExtensions::stageFile(file.fileName(), staged)) {
                grown[0] = long(staged.size());
            }
        } catch (const std::bad_alloc&) {
            _exit(2);
        }
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        grown[1] = after.ru_maxrss - before.ru_maxrss;
        const bool written = write(pipeEnds[1], grown, sizeof grown) == sizeof grown;
        _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    long grown[2] = {0, 0};
    pollfd ready{pipeEnds[0], POLLIN, 0};
    const bool answered = poll(&ready, 1, 60000) == 1;
    const bool read = answered && ::read(pipeEnds[0], grown, sizeof grown) == sizeof grown;
    close(pipeEnds[0]);
    if (!answered) {
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    QVERIFY2(read && WIFEXITED(status) && WEXITSTATUS(status) == 0, "the split did not finish");
    QCOMPARE(grown[0], long(hostile.count("class")));
    QVERIFY2(grown[1] < LimitKb, qPrintable(QStringLiteral("peak grew by %1 KB").arg(grown[1])));
}

void TestSourceSplitter::splitVB_rebuildsCodeWithLowerCaseKeywordsAndCrLf()
{
    CodeArray staged;
    QVERIFY(SourceSplitter::LoadSourceVB(staged, Fixtures + "module.bas"));
    QCOMPARE(staged.size(), size_t(3));
    QCOMPARE(staged[0].Code.toString(),
             QStringLiteral("sub  Main()\r\n    Dim s As String\r\n    s = \"x\"\r\nend sub"));
    QCOMPARE(staged[1].Code.toString(),
             QStringLiteral("private sub  Form_Load()\r\n    Caption = \"Hello\"\r\nend sub"));
    QCOMPARE(staged[2].Code.toString(),
             QStringLiteral(
                 "public function  Twice(ByVal n As Long) As Long\r\n    Twice = n * 2\r\nend function"));
}

void TestSourceSplitter::splitVB_anyLineEndEndsALine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("firstCode");

    QTest::newRow("lf") << "Sub A()\n  x = 1\nEnd Sub\n"
                        << QStringList{"A()"} << "sub  A()\r\n  x = 1\r\nend sub";
    QTest::newRow("cr") << "Sub A()\r  x = 1\rEnd Sub\r" << QStringList{"A()"}
                        << "sub  A()\r\n  x = 1\r\nend sub";
    QTest::newRow("mixed, no last line end")
        << "Sub A()\r\n\n  y\rEND SUB" << QStringList{"A()"} << "sub  A()\r\n\r\n  y\r\nend sub";
    // A declaration inside a body belongs to the body; the outer procedure ends at the first end line.
    QTest::newRow("declaration in body") << "Sub A()\r\nSub B()\r\nEnd Sub\r\nEnd Sub\r\n"
                                         << QStringList{"A()"} << "sub  A()\r\nSub B()\r\nend sub";
    QTest::newRow("end line never comes") << "Sub A()\r\nx\r\nSub B()\r\nEnd Sub\r\n"
                                          << QStringList{"A()"} << "sub  A()\r\nx\r\nSub B()\r\nend sub";
    QTest::newRow("blanks around the title")
        << "Function   F(x)   \r\nEnd Function" << QStringList{"F(x)"} << "function  F(x)\r\nend function";
}

void TestSourceSplitter::splitVB_anyLineEndEndsALine()
{
    QFETCH(QString, text);
    QFETCH(QStringList, titles);
    QFETCH(QString, firstCode);
    CodeArray staged;
    QVERIFY(SourceSplitter::splitVB(staged, text));
    QCOMPARE(::titles(staged), titles);
    QCOMPARE(staged[0].Code.toString(), firstCode);
}

void TestSourceSplitter::splitHTML_cutsNestedBlocksPerPass()
{
    CodeArray staged;
    QVERIFY(SourceSplitter::LoadSourceHTML(staged, Fixtures + "page.html"));
    QCOMPARE(staged.size(), size_t(5));
    QCOMPARE(staged[0].Code.toString(),
             QStringLiteral("<script type=\"text/javascript\">\r\nfunction a() { return 1; }\r\n</script>"));
    QCOMPARE(staged[1].Code.toString(), QStringLiteral("<script>\r\nfunction b() {}\r\n</script>"));
    QCOMPARE(staged[2].Code.toString(), QStringLiteral("<form action=\"x\"><input></form>"));
    QCOMPARE(
        staged[4].Code.toString(),
        QStringLiteral("<table class=\"t\"><tr><td><form action=\"x\"><input></form></td></tr></table>"));

    // Nested tables end at the first closing tag; a longer tag name starting with the text matches too.
    QVERIFY(SourceSplitter::splitHTML(staged,
                                      u"<table><tr><td><table>x</table></td></tr></table><tablex>y</table>"));
    QCOMPARE(staged.size(), size_t(2));
    QCOMPARE(staged[0].Code.toString(), QStringLiteral("<table><tr><td><table>x</table>"));
    QCOMPARE(staged[1].Code.toString(), QStringLiteral("<tablex>y</table>"));
}

void TestSourceSplitter::splitFunction_cutsAtTheMatchingBrace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("subType");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("extends") << "class Shape extends Base {\n int a;\n}\n"
                             << "class" << QStringList{"Shape extends Base"}
                             << QStringList{"class Shape extends Base {\r\n int a;\r\n}"};
    // "sub" is found inside words; each line end in a title becomes one blank.
    QTest::newRow("sub inside a word")
        << "my $x = substr($s, 1);\r\nsub f { 1 }\n"
        << "Sub" << QStringList{"tr($s, 1); sub f"} << QStringList{"substr($s, 1);\r\nsub f { 1 }"};
    QTest::newRow("lone cr in title") << "CLASS A\rB{}"
                                      << "class" << QStringList{"A B"} << QStringList{"CLASS A\r\nB{}"};
    QTest::newRow("braces in strings count")
        << "class S { s = \"{\"; } } tail"
        << "class" << QStringList{"S"} << QStringList{"class S { s = \"{\"; } }"};
    QTest::newRow("no blank before the brace") << "class{x}"
                                               << "class" << QStringList{""} << QStringList{"class{x}"};
    // The last block never closes: what was found before stays.
    QTest::newRow("unclosed block ends splitting")
        << "class A {}\nclass B { {\n}\nclass C {}"
        << "class" << QStringList{"A"} << QStringList{"class A {}"};
}

void TestSourceSplitter::splitFunction_cutsAtTheMatchingBrace()
{
    QFETCH(QString, text);
    QFETCH(QString, subType);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, codes);
    CodeArray staged;
    QVERIFY(SourceSplitter::splitFunction(staged, text, subType, QStringLiteral("C++")));
    QCOMPARE(::titles(staged), titles);
    QStringList actual;
    for (const SnippetRecord& r : staged) {
        actual << r.Code.toString();
    }
    QCOMPARE(actual, codes);
}

void TestSourceSplitter::staged_carriesImportCategoryAndNoObject()
{
    CodeArray staged;
    QVERIFY(SourceSplitter::LoadSourceFunction(staged, Fixtures + "tools.pl", "Sub", "Perl"));
    for (const SnippetRecord& r : staged) {
        QCOMPARE(r.Category, QStringLiteral("import"));
        QVERIFY(r.Keywords.isEmpty() && r.DText.isEmpty() && r.HText.isEmpty() && r.ObjectName.isEmpty());
        QCOMPARE(r.ObjectFlag + r.ObjectStart + r.ObjectLength, 0);
        QVERIFY(!r.Date.isEmpty());
    }
    QCOMPARE(
        staged[1].Code.toString(),
        QStringLiteral("sub trim_it {\r\n    my $s = shift;\r\n    $s =~ s/^\\s+//;\r\n    return $s;\r\n}"));
}

void TestSourceSplitter::nothingFound_leavesOneEmptyRecord_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("indented declarations") << "indented.bas";
    QTest::newRow("missing file") << "no-such-file.cpp";
    QTest::newRow("ending in capitals") << "Module.BAS";
    QTest::newRow("ending not in the table") << "shapes.hpp";
}

void TestSourceSplitter::nothingFound_leavesOneEmptyRecord()
{
    QFETCH(QString, file);
    CodeArray staged(3);
    staged[1].Title = QStringLiteral("earlier");
    QVERIFY(!ImportExtensions::stageFile(Fixtures + file, staged));
    QCOMPARE(staged.size(), size_t(1));
    QCOMPARE(staged[0], SnippetRecord{});
}

void TestSourceSplitter::loaderFor_followsTheEndingTable_data()
{
    using L = ImportExtensions::Loader;
    QTest::addColumn<QString>("path");
    QTest::addColumn<L>("loader");
    QTest::newRow("zq5") << "/a/old.zq5" << L::Zq5;
    QTest::newRow("txt") << "/a/zorbeth.txt" << L::Database;
    QTest::newRow("html") << "/a/p.html" << L::Html;
    QTest::newRow("htm") << "/a/p.htm" << L::Html;
    QTest::newRow("frm") << "/a/Form1.frm" << L::VisualBasic;
    QTest::newRow("bas") << "/a/m.bas" << L::VisualBasic;
    QTest::newRow("pl") << "/a/t.pl" << L::Perl;
    QTest::newRow("h") << "/a/x.h" << L::Cpp;
    QTest::newRow("cpp") << "/a/x.cpp" << L::Cpp;
    QTest::newRow("java") << "/a/X.java" << L::Java;
    QTest::newRow("hpp") << "/a/x.hpp" << L::None;
    QTest::newRow("capitals") << "/a/X.CPP" << L::None;
    QTest::newRow("html in the folder only") << "/a.html/x" << L::None;
    QTest::newRow("no ending") << "/a/Makefile" << L::None;
}

void TestSourceSplitter::loaderFor_followsTheEndingTable()
{
    QFETCH(QString, path);
    QFETCH(ImportExtensions::Loader, loader);
    QCOMPARE(ImportExtensions::loaderFor(path), loader);
}

QTEST_GUILESS_MAIN(TestSourceSplitter)
#include "tst_source_splitter.moc"
