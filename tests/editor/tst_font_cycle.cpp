#include "editor/FontCycle.h"

#include <QTest>

class TestFontCycle : public QObject
{
    Q_OBJECT

private slots:
    void next_visitsBothFontsInFourSizes()
    {
        FontCycle::Font font{QStringLiteral("Arial"), 10};
        QStringList visited;
        for (int i = 0; i < 10; ++i) {
            font = FontCycle::next(font.name, font.points);
            visited << FontCycle::statusText(font.name, font.points);
        }
        const QStringList expected = {
            QStringLiteral("MS Sans Serif  8 pt"),  QStringLiteral("MS Sans Serif  10 pt"),
            QStringLiteral("MS Sans Serif  12 pt"), QStringLiteral("MS Sans Serif  16 pt"),
            QStringLiteral("Courier New  8 pt"),    QStringLiteral("Courier New  10 pt"),
            QStringLiteral("Courier New  12 pt"),   QStringLiteral("Courier New  16 pt"),
            QStringLiteral("MS Sans Serif  8 pt"),  QStringLiteral("MS Sans Serif  10 pt"),
        };
        QCOMPARE(visited, expected);
        // A size outside the cycle starts the other font.
        QCOMPARE(FontCycle::next(QStringLiteral("Courier New"), 11),
                 (FontCycle::Font{QStringLiteral("MS Sans Serif"), 8}));
    }

    void nextBoldItalic_returnsAfterFourSteps()
    {
        bool bold = false;
        bool italic = false;
        QStringList texts;
        for (int i = 0; i < 4; ++i) {
            std::tie(bold, italic) = FontCycle::nextBoldItalic(bold, italic);
            texts << FontCycle::boldItalicText(bold, italic);
        }
        const QStringList expected = {
            QStringLiteral("Bold:True    Italic:False"), QStringLiteral("Bold:False    Italic:True"),
            QStringLiteral("Bold:True    Italic:True"), QStringLiteral("Bold:False    Italic:False")};
        QCOMPARE(texts, expected);
        QCOMPARE(FontCycle::overrideFontStyle(true, true), 3);
        QCOMPARE(FontCycle::overrideFontStyle(false, true), 2);
    }

    void pointsFromTenths_roundsHalvesToEven_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<int>("points");
        QTest::newRow("whole") << 100 << 10;
        QTest::newRow("below half") << 104 << 10;
        QTest::newRow("half to even, down") << 105 << 10;
        QTest::newRow("above half") << 106 << 11;
        QTest::newRow("half to even, up") << 115 << 12;
        QTest::newRow("half to even, stays") << 125 << 12;
    }

    void pointsFromTenths_roundsHalvesToEven()
    {
        QFETCH(int, tenths);
        QFETCH(int, points);
        QCOMPARE(FontCycle::pointsFromTenths(tenths), points);
    }
};

QTEST_GUILESS_MAIN(TestFontCycle)
#include "tst_font_cycle.moc"
