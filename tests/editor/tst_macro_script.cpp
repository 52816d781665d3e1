#include "editor/MacroScript.h"

#include <QTest>

using Step = MacroScript::Step;
using Kind = MacroScript::Step::Kind;

class TestMacroScript : public QObject
{
    Q_OBJECT

private slots:
    void slotText_keepsStepsInOrder_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QList<Step>>("read");
        const QString keys = QStringLiteral("2170 0 3 ab\\00");
        QTest::newRow("keystrokes only stay bare")
            << QList<Step>{{Kind::Keys, keys}} << keys << QList<Step>{{Kind::Keys, keys}};
        QTest::newRow("nothing") << QList<Step>{{Kind::Keys, QString()}} << QString() << QList<Step>{};
        QTest::newRow("command between keys")
            << QList<Step>{{Kind::Keys, keys},
                           {Kind::Command, QStringLiteral("SortAscending")},
                           {Kind::Keys, keys}}
            << QStringLiteral("#steps\nkeys %1\ncommand SortAscending\nkeys %1").arg(keys)
            << QList<Step>{
                   {Kind::Keys, keys}, {Kind::Command, QStringLiteral("SortAscending")}, {Kind::Keys, keys}};
        QTest::newRow("empty keys around a command are left out")
            << QList<Step>{{Kind::Keys, QString()},
                           {Kind::Command, QStringLiteral("Comment")},
                           {Kind::Keys, QString()}}
            << QStringLiteral("#steps\ncommand Comment")
            << QList<Step>{{Kind::Command, QStringLiteral("Comment")}};
    }

    void slotText_keepsStepsInOrder()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QString, slot);
        QFETCH(QList<Step>, read);
        QCOMPARE(MacroScript::toSlot(steps), slot);
        QCOMPARE(MacroScript::fromSlot(slot), read);
    }

    void olderSlot_isOneStretchOfKeystrokes()
    {
        const QString old = QStringLiteral("2300 0 0 2170 0 2 x\\00 2013 0 0");
        QCOMPARE(MacroScript::fromSlot(old), (QList<Step>{{Kind::Keys, old}}));
    }

    void messages_splitAtEachMessage_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("none") << QString() << QStringList();
        QTest::newRow("without text") << QStringLiteral("2300 0 0 2301 0 0")
                                      << QStringList{QStringLiteral("2300 0 0"), QStringLiteral("2301 0 0")};
        QTest::newRow("with text") << QStringLiteral("2170 0 8 select\\20x\\00 2329 0 0 2013 0 0")
                                   << QStringList{QStringLiteral("2170 0 8 select\\20x\\00"),
                                                  QStringLiteral("2329 0 0"), QStringLiteral("2013 0 0")};
    }

    void messages_splitAtEachMessage()
    {
        QFETCH(QString, keys);
        QFETCH(QStringList, messages);
        QCOMPARE(MacroScript::messages(keys), messages);
    }

    void messageText_decodesEscapesAndDropsTheEnd_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<unsigned>("number");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("typed") << QStringLiteral("2170 0 8 select\\20x\\00") << 2170u
                               << QByteArray("select x");
        QTest::newRow("escapes") << QStringLiteral("2170 0 4 \\5c\\22\\c3\\a9\\00") << 2170u
                                 << QByteArray("\\\"\xc3\xa9");
        QTest::newRow("no text") << QStringLiteral("2329 0 0") << 2329u << QByteArray();
    }

    void messageText_decodesEscapesAndDropsTheEnd()
    {
        QFETCH(QString, message);
        QFETCH(unsigned, number);
        QFETCH(QByteArray, text);
        QCOMPARE(MacroScript::messageNumber(message), number);
        QCOMPARE(MacroScript::messageText(message), text);
    }
};

QTEST_GUILESS_MAIN(TestMacroScript)
#include "tst_macro_script.moc"
