#include "store/KeyOrder.h"

#include <algorithm>
#include <numeric>
#include <QRandomGenerator>
#include <QTest>

class TestKeyOrder : public QObject
{
    Q_OBJECT

private slots:
    void order_isAStableSortByCodeUnit_data();
    void order_isAStableSortByCodeUnit();
};

namespace {

// keys random texts of lengths [0, maxLength] over alphabet, each after the common beginning.
QStringList randomKeys(int count, const QString& alphabet, int maxLength, const QString& beginning,
                       quint32 seed)
{
    QRandomGenerator random(seed);
    QStringList keys;
    for (int i = 0; i < count; ++i) {
        QString key = beginning;
        for (int n = int(random.bounded(maxLength + 1)); n > 0; --n) {
            key += alphabet.at(random.bounded(int(alphabet.size())));
        }
        keys << key;
    }
    return keys;
}

std::vector<size_t> stableOrder(const QStringList& keys, bool ascending)
{
    std::vector<size_t> order(size_t(keys.size()));
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return ascending ? keys[qsizetype(a)] < keys[qsizetype(b)] : keys[qsizetype(b)] < keys[qsizetype(a)];
    });
    return order;
}

} // namespace

void TestKeyOrder::order_isAStableSortByCodeUnit_data()
{
    QTest::addColumn<QStringList>("fetched");
    const QString nul(QChar(0));
    // A NUL sorts like the padding past a key's end, and the keys are compared four units at a time,
    // so the lengths around multiples of four and the NULs are where an order could go wrong.
    const QString small = QStringLiteral("ab") + nul;
    const QString wide = QStringLiteral("aA:\u00e9\uFF21\U0001F600") + nul;

    QTest::newRow("none") << QStringList();
    QTest::newRow("one") << QStringList{"x"};
    QTest::newRow("empty and NUL keys") << QStringList{nul + nul, "", nul, "", nul + "a", nul};
    QTest::newRow("small alphabet, short keys") << randomKeys(3000, small, 9, QString(), 1);
    QTest::newRow("long shared beginning")
        << randomKeys(3000, small, 6, QStringLiteral("c++:::strings:::read write ") + nul + "9", 2);
    QTest::newRow("all equal") << QStringList(2000, QStringLiteral("thirteen unit"));
    QTest::newRow("on two threads") << randomKeys(70000, wide, 12, QString(), 3);
    QTest::newRow("on two threads, one first level")
        << randomKeys(70000, small, 8, QStringLiteral("same"), 4);
    // Keys in order already, as a saved library is read, are not sorted again; one key out of place
    // anywhere, however small the step back, must still be found.
    QStringList inOrder = randomKeys(70000, small, 9, QString(), 5);
    std::sort(inOrder.begin(), inOrder.end());
    QTest::newRow("in order already, with ties") << inOrder;
    QStringList lastOut = inOrder;
    lastOut.append(inOrder.first());
    QTest::newRow("in order but the last") << lastOut;
    QStringList shorterAfter = inOrder;
    shorterAfter.insert(35000, inOrder.at(35000) + QStringLiteral("b"));
    QTest::newRow("in order but a longer key before its beginning") << shorterAfter;
    QStringList nulAfter{"a", "a" + nul, "a" + nul, "a"};
    QTest::newRow("a key before the same key cut short") << nulAfter;
}

void TestKeyOrder::order_isAStableSortByCodeUnit()
{
    QFETCH(QStringList, fetched);
    // Read only: the keys are made on two threads at once, and the list's non-const operator[] would
    // detach it under them.
    const QStringList& keys = fetched;
    for (const bool ascending : {true, false}) {
        const std::vector<size_t> expected = stableOrder(keys, ascending);
        QCOMPARE(sortedKeyOrder(
                     size_t(keys.size()), [&](size_t i) { return keys[qsizetype(i)]; }, ascending),
                 expected);
        QCOMPARE(
            sortedViewOrder(
                size_t(keys.size()), [&](size_t i) { return QStringView(keys[qsizetype(i)]); }, ascending),
            expected);
    }
}

QTEST_GUILESS_MAIN(TestKeyOrder)
#include "tst_key_order.moc"
