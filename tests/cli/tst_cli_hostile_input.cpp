#include "cli/CliCommands.h"
#include "FuzzEntries.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include "ZorbethTestPaths.h"

namespace {

const QString FuzzDir = QStringLiteral(ZORBETH_FUZZ_DIR);

// Every file under folder, by relative name, with a hash of its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QByteArray hash = "folder";
        if (it.fileInfo().isFile() && file.open(QIODevice::ReadOnly)) {
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        }
        files.insert(path.mid(folder.size()), hash);
    }
    return files;
}

bool copyBytes(const QString& from, const QString& to)
{
    QFile in(from);
    QFile out(to);
    return in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly) &&
           out.write(in.readAll()) == in.size();
}

} // namespace

// The command line's read-only commands on every fuzz input, given both as the library of the
// program folder and as the file to check, split or compare: they end with 0, 1 or 2, say why on
// anything but 0, and leave every file as it was.
class TestCliHostileInput : public QObject
{
    Q_OBJECT

private slots:
    void readOnlyCommands_exitCleanlyAndWriteNothing_data();
    void readOnlyCommands_exitCleanlyAndWriteNothing();
};

void TestCliHostileInput::readOnlyCommands_exitCleanlyAndWriteNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    int rows = 0;
    for (const QString kind : {"corpus", "regressions"}) {
        for (const FuzzEntries::Target& target : FuzzEntries::targets()) {
            QDirIterator files(FuzzDir + u'/' + kind + u'/' + QLatin1String(target.name),
                               QDir::Files | QDir::Hidden);
            while (files.hasNext()) {
                const QString path = files.next();
                // Inputs of readers the import does not use go through the library reader.
                const QString extension =
                    *target.extension ? QString(target.extension) : QStringLiteral(".txt");
                QTest::addRow("%s/%s/%s", qPrintable(kind), target.name, qPrintable(files.fileName()))
                    << path << extension;
                ++rows;
            }
        }
    }
    QVERIFY(rows > 20);
}

void TestCliHostileInput::readOnlyCommands_exitCleanlyAndWriteNothing()
{
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString library = folder.filePath("zorbeth.txt");
    const QString input = folder.filePath("input" + extension);
    QVERIFY(copyBytes(path, library));
    QVERIFY(copyBytes(path, input));
    const QMap<QString, QByteArray> before = snapshot(folder.path());

    const QList<QStringList> commands{
        {"check", library},
        {"check", input, "--json"},
        {"split", input},
        {"split", input, "--json"},
        {"compare", input},
        {"compare", input, "--matching", "--json"},
        {"list"},
        {"list", "--json", "--language", "C"},
        {"show", "0"},
        {"show", "1", "--json"},
        {"search", "e"},
        {"search", "--ignore-case", "--titles", "--all-languages", "--language", "C", "--", "-a"},
        {"words", "--all"},
        {"words", "--keys", "--json"},
    };
    for (const QStringList& command : commands) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        CliCommands cli(out, err);
        const int status = cli.run(QStringList{"--folder", folder.path()} + command);
        const QString line = command.join(u' ');
        QVERIFY2(status == 0 || status == 1 || status == 2, qPrintable(line));
        if (status != 0) {
            // check reports what it found on stdout; every other command says why on stderr.
            const QByteArray& said = command.first() == "check" ? out.data() : err.data();
            QVERIFY2(!said.trimmed().isEmpty(), qPrintable(line + " gave no reason for its status"));
        }
        QVERIFY2(snapshot(folder.path()) == before, qPrintable(line + " changed the folder"));
    }
}

QTEST_GUILESS_MAIN(TestCliHostileInput)
#include "tst_cli_hostile_input.moc"
