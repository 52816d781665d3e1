#include "FuzzEntries.h"
#include "ZorbethTestPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

namespace {

const QString FuzzDir = QStringLiteral(ZORBETH_FUZZ_DIR);

// The input folders of the repository: seeds under corpus/, kept findings under regressions/.
const QStringList Kinds{"corpus", "regressions"};

} // namespace

// Every seed and every input a fuzz run once found harmful goes again through the entry the fuzz
// target feeds it to; an entry aborts (failing this test) where its reader breaks a promise.
class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void everyInputFolder_belongsToATarget();
    void everyTarget_hasSeeds();
    void input_isReadWithoutCrashOrBrokenPromise_data();
    void input_isReadWithoutCrashOrBrokenPromise();
};

void TestFuzzRegressions::everyInputFolder_belongsToATarget()
{
    for (const QString& kind : Kinds) {
        const QStringList folders = QDir(FuzzDir + u'/' + kind).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& folder : folders) {
            QVERIFY2(FuzzEntries::find(folder), qPrintable(kind + u'/' + folder + " names no fuzz target"));
        }
    }
}

void TestFuzzRegressions::everyTarget_hasSeeds()
{
    for (const FuzzEntries::Target& target : FuzzEntries::targets()) {
        const QDir seeds(FuzzDir + "/corpus/" + QLatin1String(target.name));
        QVERIFY2(!seeds.entryList(QDir::Files).isEmpty(), target.name);
    }
}

void TestFuzzRegressions::input_isReadWithoutCrashOrBrokenPromise_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    for (const QString& kind : Kinds) {
        for (const FuzzEntries::Target& target : FuzzEntries::targets()) {
            const QString folder = FuzzDir + u'/' + kind + u'/' + QLatin1String(target.name);
            QDirIterator files(folder, QDir::Files | QDir::Hidden);
            while (files.hasNext()) {
                const QString path = files.next();
                QTest::addRow("%s/%s/%s", qPrintable(kind), target.name, qPrintable(files.fileName()))
                    << QString(QLatin1String(target.name)) << path;
            }
        }
    }
}

void TestFuzzRegressions::input_isReadWithoutCrashOrBrokenPromise()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const FuzzEntries::Target* entry = FuzzEntries::find(target);
    QVERIFY(entry);
    entry->entry(bytes);
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzz_regressions.moc"
