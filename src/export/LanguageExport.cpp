#include "export/LanguageExport.h"

#include "export/HtmlTemplate.h"
#include "export/SnippetExport.h"
#include "store/SafeFile.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QFile>

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

bool prepareFolder(const QString& programFolder, QString& exportFolder, QString* error,
                   const std::function<void()>& pace)
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
    for (const QString& name : folder.entryList({QStringLiteral("*.htm")}, QDir::Files | QDir::Hidden)) {
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

bool writePage(const QString& pagePath, const QString& templateText, const QByteArray& rtf,
               const SnippetRecord& record, const QString& indexFile, const RtfToHtml::Progress& progress,
               QString* error)
{
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
    // The page can be made again, so it is not synced; it was deleted with the folder's other pages,
    // so it is written in place, one new file and nothing else per page.
    SafeFile page(pagePath, SafeFile::Mode::Overwrite, SafeFile::Durability::Unsynced);
    if (page.open() &&
        page.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                            QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther) &&
        page.write(bytes) && page.commit()) {
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
    // Written last and the one file synced: the pages before it can be made again by a new export.
    QString why;
    if (!SafeFile::writeWhole(path, bytes, &why)) {
        if (error) {
            *error = why + QStringLiteral(": ") + QDir::toNativeSeparators(path);
        }
        return false;
    }
    return true;
}

} // namespace LanguageExport
