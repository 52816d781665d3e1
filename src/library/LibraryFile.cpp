#include "library/LibraryFile.h"

#include "store/DatabaseFile.h"
#include "store/DateStamp.h"
#include "store/SafeFile.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

SnippetRecord placeholder()
{
    SnippetRecord r;
    r.Language = QStringLiteral("Language");
    r.Title = QStringLiteral("Snippet");
    r.Category = QStringLiteral("Category");
    r.Date = DateStamp::now();
    return r;
}

constexpr int TitlesNamed = 20;

QString encodingMessage(qsizetype bytes)
{
    if (bytes == 0) {
        return QString();
    }
    if (bytes == 1) {
        return QStringLiteral("1 byte was not UTF-8 and was read as Windows-1252; the next save writes it as "
                              "UTF-8.");
    }
    return QStringLiteral("%1 bytes were not UTF-8 and were read as Windows-1252; the next save writes them "
                          "as UTF-8.")
        .arg(bytes);
}

// What is wrong with a file that was read only in part.
QString describeDamage(const DatabaseFile::ReadResult& read, size_t recordsRead)
{
    QString text;
    const QString count = QString::number(recordsRead);
    if (read.damaged()) {
        text =
            QStringLiteral("The code file is damaged: %1 snippets could not be read whole; %2 snippets were "
                           "read.")
                .arg(read.lostRecords)
                .arg(count);
        if (!read.lostTitles.isEmpty()) {
            QStringList titles =
                read.lostTitles.first(std::min<qsizetype>(read.lostTitles.size(), TitlesNamed));
            if (read.lostTitles.size() > TitlesNamed) {
                titles << QStringLiteral("and %1 more").arg(read.lostTitles.size() - TitlesNamed);
            }
            text += QStringLiteral("\nThe snippets after the damage are titled:\n    ") +
                    titles.join(QStringLiteral("\n    ")) + u'\n';
        }
    }
    if (!read.complete) {
        if (read.damaged()) {
            text += QLatin1String(text.endsWith(u'\n') ? "" : " ") +
                    QStringLiteral("The file also ends before its end marker.");
        } else {
            text =
                QStringLiteral("The code file ends before its end marker; %1 snippets were read.").arg(count);
        }
    }
    return text;
}

// Copies from to the new file to, which is removed again unless the whole copy reached the disk.
bool copyNew(const QString& from, const QString& to)
{
    QFile in(from);
    SafeFile out(to, SafeFile::Mode::Create);
    if (!in.open(QIODevice::ReadOnly) || !out.open()) {
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() || !out.write(block)) {
            return false;
        }
    }
    return out.commit();
}

// Saving would drop what could not be read, so a whole copy is kept first; an identical copy kept at
// an earlier start serves as well. Without a copy, saving is turned off.
void keepWholeCopy(Workspace& ws, const DatabaseFile::ReadResult& read, LibraryFile::LoadOutcome& outcome)
{
    const QString path = ws.databasePath();
    const QString reason = read.damaged() ? QStringLiteral("damaged") : QStringLiteral("incomplete");
    outcome.incomplete = !read.complete;
    outcome.damaged = read.damaged();
    outcome.messageTitle = QLatin1String(LibraryFile::LoadTitle);
    outcome.message = describeDamage(read, ws.codeArray.size());
    if (!outcome.message.endsWith(u'\n')) {
        outcome.message += u' ';
    }
    const QString earlier = LibraryFile::identicalCopy(path, reason);
    if (!earlier.isEmpty()) {
        outcome.setAsidePath = earlier;
        outcome.copyKept = true;
        outcome.message +=
            QStringLiteral("A copy of the whole file is kept as %1, so nothing is lost when the "
                           "library is saved.")
                .arg(QDir::toNativeSeparators(earlier));
        return;
    }
    const QString aside = LibraryFile::setAsideName(path, reason);
    if (copyNew(path, aside)) {
        outcome.setAsidePath = aside;
        outcome.copyKept = true;
        outcome.message += QStringLiteral("The whole file was copied to %1 so that nothing is lost when the "
                                          "library is saved.")
                               .arg(QDir::toNativeSeparators(aside));
        return;
    }
    ws.saveBlockedReason =
        QStringLiteral(
            "The file %1 could not be read whole and no copy of it could be made, so it will not be "
            "replaced. Saving is turned off to keep it.")
            .arg(QDir::toNativeSeparators(path));
    outcome.message += ws.saveBlockedReason;
}

bool sameBytes(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) ||
        first.size() != second.size()) {
        return false;
    }
    constexpr qint64 Chunk = 1 << 20;
    while (!first.atEnd()) {
        const QByteArray left = first.read(Chunk);
        if (left.isEmpty() || left != second.read(left.size())) {
            return false;
        }
    }
    return second.atEnd();
}

} // namespace

namespace LibraryFile {

LoadOutcome LoadCodeDataFromFile(Workspace& ws)
{
    LoadOutcome outcome;
    const QString path = ws.databasePath();
    ws.databaseLocationText = databaseLocationText(ws);
    ws.libraryOnDisk = DiskStamp::of(path);
    DatabaseFile::ReadResult read = DatabaseFile::read(path);
    ws.codeArray = std::move(read.records);
    ws.CodeChanged = false;
    ws.saveBlockedReason.clear();

    const QFileInfo info(path);
    const bool fileHasContent = info.exists() && (read.fileSize > 0 || !read.opened);

    if (ws.codeArray.empty()) {
        outcome.placeholderAdded = true;
        outcome.messageTitle = QLatin1String(PlaceholderTitle);
        outcome.message = QLatin1String(PlaceholderMessage);
        ws.codeArray.push_back(placeholder());
        ws.CodeChanged = true;

        // The library belongs to the program holding its lock: neither move it nor replace it.
        if (ws.readOnly) {
            return outcome;
        }
        // Only a missing file, an empty one or a proper library without records may be replaced;
        // anything else could be a library we failed to understand.
        if (fileHasContent && !(read.opened && read.complete && !read.damaged())) {
            const QString aside = setAsideName(path, QStringLiteral("unreadable"));
            if (!QFile::rename(path, aside)) {
                ws.saveBlockedReason =
                    QStringLiteral("The file %1 could not be read and could not be moved aside, so it "
                                   "will not be replaced. Saving is turned off to keep it.")
                        .arg(QDir::toNativeSeparators(path));
                outcome.message += u' ' + ws.saveBlockedReason;
                return outcome;
            }
            outcome.setAsidePath = aside;
            outcome.message += QStringLiteral(" The file that could not be read was kept as %1.")
                                   .arg(QDir::toNativeSeparators(aside));
        }
        QString error;
        if (!SaveCodeArrayToFile(ws, &error)) {
            outcome.saveError = error;
        }
        return outcome;
    }

    outcome.nonUtf8Bytes = read.nonUtf8Bytes;
    outcome.encodingMessage = encodingMessage(read.nonUtf8Bytes);
    if ((!read.complete || read.damaged()) && fileHasContent) {
        keepWholeCopy(ws, read, outcome);
    }
    return outcome;
}

bool SaveCodeArrayToFile(Workspace& ws, QString* error, QList<qsizetype>* mended, OnDiskChange change)
{
    auto fail = [&](const QString& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    if (!ws.saveBlockedReason.isEmpty()) {
        return fail(ws.saveBlockedReason);
    }
    if (ws.readOnly) {
        return fail(QLatin1String(ReadOnlyMessage));
    }
    const QString path = ws.databasePath();
    if (change == OnDiskChange::Refuse && changedOnDisk(ws)) {
        return fail(QStringLiteral("The file %1 was changed by another program since it was loaded; it was "
                                   "not overwritten.")
                        .arg(QDir::toNativeSeparators(path)));
    }
    const QList<qsizetype> changed = DatabaseFile::fitToFormat(ws.codeArray);
    if (mended) {
        mended->append(changed);
    }
    QString why;
    if (!DatabaseFile::write(path, ws.codeArray, &why)) {
        return fail(QLatin1String(SaveErrorMessage) + u'\n' + why);
    }
    ws.libraryOnDisk = DiskStamp::of(path);
    return true;
}

bool changedOnDisk(const Workspace& ws)
{
    return ws.libraryOnDisk.changedOnDisk(ws.databasePath());
}

bool SaveCodeArrayAside(Workspace& ws, const QString& reason, QString* path, QString* error,
                        QList<qsizetype>* mended)
{
    const QList<qsizetype> changed = DatabaseFile::fitToFormat(ws.codeArray);
    if (mended) {
        mended->append(changed);
    }
    const QString aside = setAsideName(ws.databasePath(), reason);
    QString why;
    if (!DatabaseFile::write(aside, ws.codeArray, &why)) {
        if (error) {
            *error = QLatin1String(SaveErrorMessage) + u'\n' + why;
        }
        return false;
    }
    if (path) {
        *path = aside;
    }
    return true;
}

QString databaseLocationText(const Workspace& ws)
{
    if (ws.databasePrefix.isEmpty()) {
        return ws.databasePath() + QLatin1String("  <local>");
    }
    return ws.databasePath() + QLatin1String("  <remote>");
}

QString setAsideName(const QString& path, const QString& reason)
{
    const QString base =
        path + u'.' + reason + u'-' + DateStamp::moment().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n) {
        name = base + u'-' + QString::number(n);
    }
    return name;
}

QString identicalCopy(const QString& path, const QString& reason)
{
    const QFileInfo file(path);
    const QDir folder = file.dir();
    const QStringList names = folder.entryList({file.fileName() + u'.' + reason + QLatin1String("-*")},
                                               QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QString& name : names) {
        const QString copy = folder.filePath(name);
        if (QFileInfo(copy).size() == file.size() && sameBytes(path, copy)) {
            return copy;
        }
    }
    return QString();
}

} // namespace LibraryFile
