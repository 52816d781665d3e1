// Loads a library, changes it and saves it over and over until it is killed; the kill test starts
// and kills it. "save" changes snippets; "compact" replaces attached objects and compacts the
// resource file after each change. "generate N" makes the starting library.
#include "KillEdits.h"
#include "library/LibraryFile.h"
#include "LibraryGenerator.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

void say(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int generate(const QString& folder, qsizetype snippets)
{
    CodeArray records = LibraryGenerator::generate(snippets);
    QFile resource(QDir(folder).filePath(QStringLiteral("zorbethresource.res")));
    if (!resource.open(QIODevice::WriteOnly)) {
        return 2;
    }
    qint64 size = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        SnippetRecord& r = records[i];
        r.ObjectFlag = 0;
        r.ObjectStart = 0;
        r.ObjectLength = 0;
        r.ObjectName.clear();
        if (i % 50 == 0) {
            r.ObjectName = QStringLiteral("object-%1-0").arg(i);
            const QByteArray bytes = KillEdits::objectBytes(r.ObjectName);
            resource.write(bytes);
            r.ObjectFlag = 1;
            r.ObjectStart = qint32(size + 1);
            r.ObjectLength = qint32(bytes.size());
            size += bytes.size();
        }
    }
    DatabaseFile::fitToFormat(records);
    QString error;
    return resource.flush() &&
                   DatabaseFile::write(QDir(folder).filePath(QStringLiteral("zorbeth.txt")), records, &error)
               ? 0
               : 2;
}

// Gives one object a new generation: its bytes are appended and the old ones become orphaned.
bool replaceObject(Workspace& ws, int n)
{
    const size_t step = 50;
    const size_t index = (size_t(n) * step) % (ws.codeArray.size() / step * step);
    SnippetRecord& r = ws.codeArray[index];
    const QString name = QStringLiteral("object-%1-%2").arg(index).arg(n);
    const QString source = QDir(ws.programFolder).filePath(QStringLiteral("next-object.bin"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly) || file.write(KillEdits::objectBytes(name)) < 0 || !file.flush()) {
        return false;
    }
    file.close();
    const ResourceFile::AppendResult appended = ResourceFile::append(ResourceFile::path(ws), source);
    if (!appended.ok) {
        return false;
    }
    r.ObjectName = name;
    r.ObjectFlag = 1;
    r.ObjectStart = appended.start;
    r.ObjectLength = appended.length;
    return LibraryFile::SaveCodeArrayToFile(ws);
}

// The steps of the Compact command.
bool compact(Workspace& ws)
{
    const QString path = ResourceFile::path(ws);
    const ResourceCompaction::Result compacted = ResourceCompaction::writeCompacted(path, ws.codeArray);
    if (!compacted.ok) {
        return false;
    }
    ResourceCompaction::applyStarts(ws.codeArray, compacted.starts);
    return LibraryFile::SaveCodeArrayToFile(ws) &&
           ResourceCompaction::replace(path, compacted.tempPath, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        return 2;
    }
    const QString folder = args[1];
    const QString mode = args[2];
    DateStamp::pin(QDateTime(QDate(2026, 5, 6), QTime(7, 8, 9)));
    if (mode == QLatin1String("generate")) {
        return generate(folder, args.value(3).toLongLong());
    }
    Workspace ws;
    ws.programFolder = folder;
    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(ws);
    if (!outcome.message.isEmpty() || outcome.placeholderAdded) {
        say("damaged");
        return 3;
    }
    if (!ResourceCompaction::finishInterrupted(ResourceFile::path(ws), ws.codeArray)) {
        say("unsettled");
        return 3;
    }
    say("loaded");
    for (int n = 1;; ++n) {
        bool ok = false;
        if (mode == QLatin1String("compact")) {
            ok = replaceObject(ws, n) && compact(ws);
        } else {
            KillEdits::apply(ws.codeArray, n);
            ok = LibraryFile::SaveCodeArrayToFile(ws);
        }
        if (!ok) {
            say("failed");
            return 4;
        }
        say("saved");
    }
}
