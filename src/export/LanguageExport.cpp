#include "export/LanguageExport.h"

#include "export/HtmlTemplate.h"
#include "export/SnippetExport.h"
#include "store/SafeFile.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace LanguageExport {

QString baseName(const QString& language)
{
    static const QString unfit = QStringLiteral("/\\:*?\"<>|'#%");
    QString base = language.toLower();
    for (QChar& c : base) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || unfit.contains(c)) {
            c = u'_';
        }
    }
    base.replace(QStringLiteral(".."), QStringLiteral("__"));
    if (base.isEmpty() || base == QLatin1String(".")) {
        base = QStringLiteral("_");
    }
    return base;
}

QString anchorName(const QString& category)
{
    QString anchor = category;
    anchor.remove(QLatin1Char(' '));
    return anchor;
}

QString pageName(const QString& base, int n)
{
    return base + QString::number(n) + QStringLiteral(".htm");
}

QString headingLine(const QString& language)
{
    return QStringLiteral("<h3>") + HtmlTemplate::escaped(language) + QStringLiteral(" (snippet index)</h3>");
}

QString firstCategoryLine(const QString& category)
{
    return QStringLiteral("<a name=") + HtmlTemplate::escaped(anchorName(category)) +
           QStringLiteral("><h3>") + HtmlTemplate::escaped(category) + QStringLiteral("</h3><ul>");
}

QString nextCategoryLine(const QString& category)
{
    return QStringLiteral("</ul><p>") + firstCategoryLine(category);
}

QString linkLine(const QString& base, int n, const QString& title)
{
    return QStringLiteral("<a class=left href='") + HtmlTemplate::escaped(pageName(base, n)) +
           QStringLiteral("'>") + HtmlTemplate::escaped(title) + QStringLiteral("</a><br>");
}

namespace {

// A file a page can be written into without touching anything else: a plain file with one name.
bool reusable(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_nlink == 1;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// The permissions of a new file, which every page gets, whatever file it was written into.
constexpr QFileDevice::Permissions PagePermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                     QFileDevice::ReadGroup | QFileDevice::ReadOther;

bool writeInto(SafeFile& page, const QByteArray& bytes)
{
    return page.open() && page.setPermissions(PagePermissions) && page.write(bytes) && page.commit();
}

} // namespace

void OldPages::add(const QString& name)
{
    m_names.append(name);
    m_left.insert(name);
}

bool OldPages::takeFor(const QDir& folder, const QString& name)
{
    if (m_left.remove(name)) {
        return true;
    }
    while (!m_names.isEmpty()) {
        const QString old = m_names.takeLast();
        if (!m_left.remove(old)) {
            continue; // taken under its own name
        }
        if (SafeFile::rename(folder.filePath(old), folder.filePath(name), nullptr)) {
            return true;
        }
        QFile::remove(folder.filePath(old));
    }
    return false;
}

bool OldPages::removeRest(const QDir& folder, QString* error, const std::function<void()>& pace)
{
    bool removed = true;
    for (const QString& name : std::as_const(m_names)) {
        if (!m_left.remove(name)) {
            continue;
        }
        if (!QFile::remove(folder.filePath(name)) && removed) {
            removed = false;
            if (error) {
                *error = QStringLiteral("Cannot delete ") + QDir::toNativeSeparators(folder.filePath(name));
            }
        }
        if (pace) {
            pace();
        }
    }
    m_names.clear();
    return removed;
}

bool prepareFolder(const QString& programFolder, QString& exportFolder, QString* error,
                   const std::function<void()>& pace, OldPages* oldPages)
{
    const QDir program(programFolder);
    exportFolder = program.filePath(QLatin1String(FolderName));
    if (!program.mkpath(QLatin1String(FolderName))) {
        if (error) {
            *error = QStringLiteral("Cannot create the folder ") + QDir::toNativeSeparators(exportFolder);
        }
        return false;
    }
    QDir folder(exportFolder);
    // Listed a file at a time: a folder of many pages takes a while.
    QDirIterator files(exportFolder, {QStringLiteral("*.htm")}, QDir::Files | QDir::Hidden);
    while (files.hasNext()) {
        const QString name = QFileInfo(files.next()).fileName();
        if (oldPages && reusable(folder.filePath(name))) {
            oldPages->add(name);
            if (pace) {
                pace();
            }
            continue;
        }
        if (!folder.remove(name)) {
            if (error) {
                *error = QStringLiteral("Cannot delete ") + QDir::toNativeSeparators(folder.filePath(name));
            }
            return false;
        }
        if (pace) {
            pace();
        }
    }
    return true;
}

bool writePage(const QDir& folder, const QString& pageFile, const QString& templateText,
               const QByteArray& rtf, const SnippetRecord& record, const QString& indexFile,
               const RtfToHtml::Progress& progress, QString* error, OldPages* oldPages)
{
    const QString pagePath = folder.filePath(pageFile);
    std::optional<QString> html = RtfToHtml::convert(rtf, progress);
    if (!html || (progress && !progress())) {
        if (error) {
            *error = QStringLiteral("The conversion was stopped: ") + QDir::toNativeSeparators(pagePath);
        }
        return false;
    }
    const QByteArray bytes =
        SnippetExport::pageBytes(templateText, SnippetExport::Tags::LanguagePage, record,
                                 SnippetExport::codeFromConverted(std::move(*html)), indexFile);
    html.reset();
    // The page can be made again, so it is not synced.
    if (oldPages && oldPages->takeFor(folder, pageFile)) {
        SafeFile old(pagePath, SafeFile::Mode::Rewrite, SafeFile::Durability::Unsynced);
        if (writeInto(old, bytes)) {
            return true;
        }
        // As the old page would have gone at the start, and the page is made afresh.
        QFile::remove(pagePath);
    }
    SafeFile page(pagePath, SafeFile::Mode::Overwrite, SafeFile::Durability::Unsynced);
    if (writeInto(page, bytes)) {
        return true;
    }
    if (error) {
        *error = page.errorString() + QStringLiteral(": ") + QDir::toNativeSeparators(pagePath);
    }
    return false;
}

bool writeIndex(const QString& path, const QStringList& lines, QString* error)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QString& line : lines) {
        TextCodec::appendUtf8(bytes, line);
        bytes += "\r\n";
    }
    QString why;
    if (!SafeFile::writeWhole(path, bytes, &why, SafeFile::Durability::Unsynced)) {
        if (error) {
            *error = why + QStringLiteral(": ") + QDir::toNativeSeparators(path);
        }
        return false;
    }
    return true;
}

} // namespace LanguageExport
