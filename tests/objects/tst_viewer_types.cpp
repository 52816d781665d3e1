#include "LibraryText.h"
#include "objects/ViewerTypes.h"

#include <QTemporaryDir>
#include <QTest>

using ViewerTypes::Kind;
Q_DECLARE_METATYPE(ViewerTypes::Kind)

class TestViewerTypes : public QObject
{
    Q_OBJECT

private slots:
    void kindOf_choosesByTheLastFourCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<Kind>("kind");
        QTest::newRow("text") << "notes.txt"
                              << ".txt" << Kind::Text;
        QTest::newRow("capitals") << "README.TXT"
                                  << ".TXT" << Kind::Text;
        QTest::newRow("basic form") << "Main.frm"
                                    << ".frm" << Kind::Text;
        QTest::newRow("picture") << "photo.jpg"
                                 << ".jpg" << Kind::Image;
        QTest::newRow("jpeg") << "photo.jpeg"
                              << "jpeg" << Kind::Binary;
        QTest::newRow("html") << "page.html"
                              << "html" << Kind::Binary;
        QTest::newRow("pdf") << "manual.pdf"
                             << ".pdf" << Kind::Binary;
        QTest::newRow("short name in text list") << "bas"
                                                 << "bas" << Kind::Text;
        QTest::newRow("short name in image list") << "gif"
                                                  << "gif" << Kind::Image;
        QTest::newRow("short name nowhere") << "xy"
                                            << "xy" << Kind::Binary;
    }

    void kindOf_choosesByTheLastFourCharacters()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QFETCH(Kind, kind);
        QCOMPARE(ViewerTypes::extensionOf(name), extension);
        QCOMPARE(ViewerTypes::kindOf(extension, ViewerTypes::Lists{}), kind);
    }

    void extensionInBothLists_isText()
    {
        const ViewerTypes::Lists lists{".txt .png", ".png .gif"};
        QCOMPARE(ViewerTypes::kindOf(".PNG", lists), Kind::Text);
    }

    void load_readsTheFirstTwoLinesOrKeepsTheDefaults_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("image");
        QTest::newRow("missing") << QByteArray() << false << ".txt .htm .bas .frm"
                                 << ".bmp .gif .jpg .ico .wmf .cur .rle .emf";
        QTest::newRow("two lines") << QByteArray(".txt .cpp\r\n.png .jpg\r\n") << true << ".txt .cpp"
                                   << ".png .jpg";
        QTest::newRow("one line") << QByteArray(".log") << true << ".log"
                                  << ".bmp .gif .jpg .ico .wmf .cur .rle .emf";
    }

    void load_readsTheFirstTwoLinesOrKeepsTheDefaults()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, exists);
        QFETCH(QString, text);
        QFETCH(QString, image);
        QTemporaryDir dir;
        if (exists) {
            LibraryText::writeAll(dir.filePath("zorbethtype.txt"), file);
        }
        const ViewerTypes::Lists lists = ViewerTypes::load(dir.path());
        QCOMPARE(lists.text, text);
        QCOMPARE(lists.image, image);
    }

    void workingFile_isNamedAfterTheKind_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("file");
        QTest::newRow("text") << Kind::Text << ".bas"
                              << "zqTempObject.txt";
        QTest::newRow("picture") << Kind::Image << ".jpg"
                                 << "zqTempObject.jpg";
        QTest::newRow("ending with a separator") << Kind::Image << "./..\\x"
                                                 << "";
        QTest::newRow("ending with a slash") << Kind::Image << "a/gi"
                                             << "";
    }

    void workingFile_isNamedAfterTheKind()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, extension);
        QFETCH(QString, file);
        QCOMPARE(ViewerTypes::workingFile(kind, extension), file);
    }
};

QTEST_GUILESS_MAIN(TestViewerTypes)
#include "tst_viewer_types.moc"
