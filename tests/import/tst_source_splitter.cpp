#include "import/ImportExtensions.h"
#include "import/SourceSplitter.h"

#include <QTemporaryDir>
#include <QTest>
#include "ZorbethTestPaths.h"

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

void TestSourceSplitter::splitVB_rebuildsCodeWithLowerCaseKeywordsAndCrLf()
{
    CodeArray staged;
    QVERIFY(SourceSplitter::LoadSourceVB(staged, Fixtures + "module.bas"));
    QCOMPARE(staged.size(), size_t(3));
    QCOMPARE(staged[0].Code,
             QStringLiteral("sub  Main()\r\n    Dim s As String\r\n    s = \"x\"\r\nend sub"));
    QCOMPARE(staged[1].Code,
             QStringLiteral("private sub  Form_Load()\r\n    Caption = \"Hello\"\r\nend sub"));
    QCOMPARE(staged[2].Code,
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
    QCOMPARE(staged[0].Code, firstCode);
}

void TestSourceSplitter::splitHTML_cutsNestedBlocksPerPass()
{
    CodeArray staged;
    QVERIFY(SourceSplitter::LoadSourceHTML(staged, Fixtures + "page.html"));
    QCOMPARE(staged.size(), size_t(5));
    QCOMPARE(staged[0].Code,
             QStringLiteral("<script type=\"text/javascript\">\nfunction a() { return 1; }\n</script>"));
    QCOMPARE(staged[1].Code, QStringLiteral("<script>\nfunction b() {}\n</script>"));
    QCOMPARE(staged[2].Code, QStringLiteral("<form action=\"x\"><input></form>"));
    QCOMPARE(
        staged[4].Code,
        QStringLiteral("<table class=\"t\"><tr><td><form action=\"x\"><input></form></td></tr></table>"));

    // Nested tables end at the first closing tag; a longer tag name starting with the text matches too.
    QVERIFY(SourceSplitter::splitHTML(staged,
                                      u"<table><tr><td><table>x</table></td></tr></table><tablex>y</table>"));
    QCOMPARE(staged.size(), size_t(2));
    QCOMPARE(staged[0].Code, QStringLiteral("<table><tr><td><table>x</table>"));
    QCOMPARE(staged[1].Code, QStringLiteral("<tablex>y</table>"));
}

void TestSourceSplitter::splitFunction_cutsAtTheMatchingBrace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("subType");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("extends") << "class Shape extends Base {\n int a;\n}\n"
                             << "class" << QStringList{"Shape extends Base"}
                             << QStringList{"class Shape extends Base {\n int a;\n}"};
    // "sub" is found inside words; each line end in a title becomes one blank.
    QTest::newRow("sub inside a word")
        << "my $x = substr($s, 1);\r\nsub f { 1 }\n"
        << "Sub" << QStringList{"tr($s, 1); sub f"} << QStringList{"substr($s, 1);\r\nsub f { 1 }"};
    QTest::newRow("lone cr in title") << "CLASS A\rB{}"
                                      << "class" << QStringList{"A B"} << QStringList{"CLASS A\rB{}"};
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
        actual << r.Code;
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
    QCOMPARE(staged[1].Code,
             QStringLiteral("sub trim_it {\n    my $s = shift;\n    $s =~ s/^\\s+//;\n    return $s;\n}"));
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
