#include "store/SnippetRecord.h"

#include <QTest>

class TestSnippetRecord : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_readsTheLeadingNumber_data();
    void leadingNumber_readsTheLeadingNumber();
    void setCodeElement_storesEachArgumentInItsField();
    void isBookmarked_findsTheWordInAnyCase_data();
    void isBookmarked_findsTheWordInAnyCase();
};

void TestSnippetRecord::leadingNumber_readsTheLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("as written, blanks around") << " 12 " << 12;
    QTest::newRow("tab, letters after") << "\t12abc" << 12;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("letter first") << "x12" << 0;
    QTest::newRow("signs") << "-7" << -7;
    QTest::newRow("sign then blank") << "- 5" << 0;
    QTest::newRow("half to even down") << "2.5" << 2;
    QTest::newRow("half to even up") << "3.5" << 4;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("above half") << "0.51" << 1;
    QTest::newRow("exponent") << "1e3" << 1000;
    QTest::newRow("exponent without digits") << "1e" << 1;
    QTest::newRow("smallest") << "-2147483648" << qint32(-2147483647 - 1);
    QTest::newRow("too large") << "99999999999" << 2147483647;
    QTest::newRow("huge exponent") << "-1e999" << qint32(-2147483647 - 1);
}

void TestSnippetRecord::leadingNumber_readsTheLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(qint32, expected);
    QCOMPARE(LeadingNumber(text), expected);
    // The loader reads numbers from the file's bytes; both must agree.
    QCOMPARE(LeadingNumber(QByteArrayView(text.toUtf8())), expected);
}

void TestSnippetRecord::setCodeElement_storesEachArgumentInItsField()
{
    CodeArray array(2);
    array[1].Matched = array[1].Deleted = true;
    SetCodeElement(array, 1, "lang", "title", "cat", "BookMarks", "date", "obj.bin", " 1 ", " 17 ", "9x", "d",
                   "c", "h");

    const SnippetRecord& r = array[1];
    const QStringList texts{r.Language,   r.Title, r.Category,        r.Keywords, r.Date,
                            r.ObjectName, r.DText, r.Code.toString(), r.HText};
    QCOMPARE(texts, (QStringList{"lang", "title", "cat", "BookMarks", "date", "obj.bin", "d", "c", "h"}));
    QCOMPARE((QList<qint32>{r.ObjectFlag, r.ObjectStart, r.ObjectLength}), (QList<qint32>{1, 17, 9}));
    QVERIFY(r.Matched && r.Deleted);
    QVERIFY(r.isBookmarked());
    array[1].Keywords = "book mark";
    QVERIFY(!array[1].isBookmarked());
}

void TestSnippetRecord::isBookmarked_findsTheWordInAnyCase_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<bool>("bookmarked");

    QTest::newRow("alone") << "bookmark" << true;
    QTest::newRow("any case, inside a word") << "x,BookMarks" << true;
    QTest::newRow("at the end") << "a b c BOOKMARK" << true;
    QTest::newRow("cut short") << "bookmar" << false;
    QTest::newRow("split") << "book mark" << false;
    QTest::newRow("only the first of two") << "bOOKMARK, bookmar" << true;
    QTest::newRow("control characters") << QString::fromLatin1("B\x0fOKMARK") << false;
    QTest::newRow("after non-ascii") << QString::fromUtf16(u"é Bookmark") << true;
    QTest::newRow("kelvin sign") << QString::fromUtf16(u"bookmarK") << true;
    QTest::newRow("dotless i is not ascii i") << QString::fromUtf16(u"bıokmark") << false;
}

void TestSnippetRecord::isBookmarked_findsTheWordInAnyCase()
{
    QFETCH(QString, keywords);
    QFETCH(bool, bookmarked);
    SnippetRecord r;
    r.Keywords = keywords;
    QCOMPARE(r.isBookmarked(), bookmarked);
    QCOMPARE(r.isBookmarked(), keywords.contains(QLatin1String("bookmark"), Qt::CaseInsensitive));
}

QTEST_GUILESS_MAIN(TestSnippetRecord)
#include "tst_snippet_record.moc"
