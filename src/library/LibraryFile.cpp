#include "library/LibraryFile.h"

#include "store/DatabaseFile.h"
#include "store/DateStamp.h"

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
        if (fileHasContent && !(read.opened && read.complete)) {
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

    if (!read.complete && fileHasContent) {
        outcome.incomplete = true;
        outcome.messageTitle = QStringLiteral("Load Code Data");
        const QString aside = setAsideName(path, QStringLiteral("incomplete"));
        const QString count = QString::number(ws.codeArray.size());
        if (QFile::copy(path, aside)) {
            outcome.setAsidePath = aside;
            outcome.message =
                QStringLiteral("The code file ends before its end marker; %1 snippets were read. The whole "
                               "file was copied to %2 so that nothing is lost when the library is saved.")
                    .arg(count, QDir::toNativeSeparators(aside));
        } else {
            // Saving now would drop whatever follows the damage, so it waits until the file is safe.
            ws.saveBlockedReason =
                QStringLiteral("The file %1 is incomplete and no copy of it could be made, so it will "
                               "not be replaced. Saving is turned off to keep it.")
                    .arg(QDir::toNativeSeparators(path));
            outcome.message = QStringLiteral("The code file ends before its end marker; %1 snippets were "
                                             "read. ")
                                  .arg(count) +
                              ws.saveBlockedReason;
        }
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

} // namespace LibraryFile
