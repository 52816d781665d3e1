#include "objects/ProgramFiles.h"

#include "library/LibraryLock.h"
#include "library/Workspace.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Every file the program names itself in these folders begins like this (the library and its
// backup, the settings, the search history, the version files, the viewer's and the export's working
// files, the object writer's temporary file): a new one is covered without another list to keep.
const QString OwnPrefixes[] = {QStringLiteral("zorbeth"), QStringLiteral("zq"), QStringLiteral(".zq")};

// The program's folders inside the program folder: shipped data, templates and exported pages.
const QString OwnFolders[] = {QStringLiteral("language_def"), QStringLiteral("language_icons"),
                              QStringLiteral("html_templates"), QStringLiteral("html_export")};

// The folder as the file system resolves it, so a link to the program folder is seen through.
QString realFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The name itself, or a name made from it by the program: "zorbeth.txt.old", "….mine-…", "….tmp".
bool isOrDerives(const QString& name, const QString& own)
{
    return !own.isEmpty() && (sameName(name, own) || name.startsWith(own + u'.', Qt::CaseInsensitive));
}

bool isOwnName(const Workspace& ws, const QString& name)
{
    if (isOrDerives(name, ws.databaseFileName) || isOrDerives(name, ws.resourceFileName) ||
        sameName(name, QLatin1String(LibraryLock::FileName))) {
        return true;
    }
    for (const QString& prefix : OwnPrefixes) {
        if (name.startsWith(prefix, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

} // namespace

namespace ProgramFiles {

QString refusal(const Workspace& ws, const QString& path)
{
    const QFileInfo target(path);
    const QString folder = realFolder(target.absolutePath());
    const QString programFolder = realFolder(ws.programFolder);
    const QString libraryFolder = realFolder(QFileInfo(ws.databasePath()).absolutePath());
    const QString shown = QDir::toNativeSeparators(path);
    if ((folder == programFolder || folder == libraryFolder) && isOwnName(ws, target.fileName())) {
        return QStringLiteral(
                   "%1 was not written: names beginning with \"zorbeth\" or \"zq\" in the program "
                   "folder and beside the library are kept for Zorbeth's own files. Choose another "
                   "folder.")
            .arg(shown);
    }
    const QString inside = QDir(programFolder).relativeFilePath(folder);
    const QString first = inside.section(u'/', 0, 0);
    for (const QString& own : OwnFolders) {
        if (sameName(first, own)) {
            return QStringLiteral("%1 was not written: the folder %2 is kept for Zorbeth's own files. Choose "
                                  "another folder.")
                .arg(shown, QDir::toNativeSeparators(QDir(programFolder).filePath(own)));
        }
    }
    return {};
}

} // namespace ProgramFiles
