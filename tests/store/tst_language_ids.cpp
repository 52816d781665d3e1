#include "store/LanguageIds.h"

#include <QtTest>

class TestLanguageIds : public QObject
{
    Q_OBJECT
private slots:
    void libraryName_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("table") << "cpp"
                               << "C++";
        QTest::newRow("shell alias") << "shellscript"
                                     << "Bash";
        QTest::newRow("sh alias") << "sh"
                                  << "Bash";
        QTest::newRow("plain text") << "plain_text"
                                    << "Text";
        QTest::newRow("empty") << ""
                               << "Text";
        QTest::newRow("unknown id capitalised") << "haskell"
                                                << "Haskell";
        QTest::newRow("two-word name") << "vb"
                                       << "Visual Basic";
    }
    void libraryName()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        QCOMPARE(LanguageIds::libraryName(id), name);
    }

    void idFor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::newRow("first id of a shared name") << "Bash"
                                                   << "shellscript";
        QTest::newRow("letter case ignored") << "visual basic"
                                             << "vb";
        QTest::newRow("text") << "Text"
                              << "plaintext";
        QTest::newRow("not in the table") << "Fortran"
                                          << "";
    }
    void idFor()
    {
        QFETCH(QString, name);
        QFETCH(QString, id);
        QCOMPARE(LanguageIds::idFor(name), id);
    }

    void everyExportedIdReadsBack()
    {
        for (const QString name : {"C", "C++", "C#", "Go", "Bash", "Visual Basic", "YAML", "Text"})
            QCOMPARE(LanguageIds::libraryName(LanguageIds::idFor(name)), name);
    }
};

QTEST_GUILESS_MAIN(TestLanguageIds)
#include "tst_language_ids.moc"
