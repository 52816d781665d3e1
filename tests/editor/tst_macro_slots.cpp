#include "editor/MacroSlots.h"
#include "settings/SettingsStore.h"

#include <QTemporaryDir>
#include <QTest>

class TestMacroSlots : public QObject
{
    Q_OBJECT

private slots:
    void saveThenLoad_keepsEverySlotBesideTheSettings()
    {
        QTemporaryDir dir;
        const QString awkward = QStringLiteral("2170 0 5 a, b=c\n\"quoted\" 2300 0 0");
        {
            MacroSlots macros;
            macros.setSlot(0, QStringLiteral("2170 0 3 abc"));
            macros.setSlot(9, awkward);
            SettingsStore store(dir.path());
            store.save(QStringLiteral("FontName"), QStringLiteral("Arial"));
            macros.save(store);
            // Deleting the settings leaves the macros alone.
            store.ClearRegistry();
        }
        SettingsStore store(dir.path());
        MacroSlots loaded;
        loaded.load(store);
        QCOMPARE(loaded.slot(0), QStringLiteral("2170 0 3 abc"));
        QCOMPARE(loaded.slot(9), awkward);
        for (int i = 1; i < 9; ++i) {
            QVERIFY(loaded.isEmpty(i));
        }
        QVERIFY(!store.contains(QStringLiteral("FontName")));
    }

    void nextSlot_takesTheFirstEmptyThenGoesRound()
    {
        MacroSlots macros;
        QCOMPARE(macros.nextSlot(-1), 0);
        macros.setSlot(0, QStringLiteral("m"));
        macros.setSlot(2, QStringLiteral("m"));
        QCOMPARE(macros.nextSlot(2), 1);
        for (int i = 0; i < MacroSlots::Count; ++i) {
            macros.setSlot(i, QStringLiteral("m"));
        }
        QCOMPARE(macros.nextSlot(4), 5);
        QCOMPARE(macros.nextSlot(9), 0);
        macros.clear();
        QCOMPARE(macros.nextSlot(5), 0);
    }
};

QTEST_GUILESS_MAIN(TestMacroSlots)
#include "tst_macro_slots.moc"
