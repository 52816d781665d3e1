#pragma once

#include "export/RtfToHtml.h"
#include "store/SnippetRecord.h"

#include <functional>
#include <QByteArray>
#include <QString>
#include <QStringList>

// The language site in "html_export": file names, the folder, and the lines of the index page.
namespace LanguageExport {

inline constexpr char FolderName[] = "html_export";

// The working file of the RTF that exports before this one left in the export folder; the pages are
// now made in memory, and an export still ends without it.
inline constexpr char RtfFileName[] = "zorbeth.rtf";

// The base name of a language's pages: its name in lower case, blanks kept. Characters a file name
// or a link cannot hold (/ \ : * ? " < > | ' # % and control characters) become "_", and so does
// every ".." , so that no language name reaches outside the export folder.
QString baseName(const QString& language);

// The anchor of a category in the index page: its name without blanks.
QString anchorName(const QString& category);

// The page of the n-th snippet: base name + n + ".htm".
QString pageName(const QString& base, int n);

// Lines of the index page, each to be ended by CR LF.
QString headingLine(const QString& language);
QString firstCategoryLine(const QString& category);
QString nextCategoryLine(const QString& category);
QString linkLine(const QString& base, int n, const QString& title);

// Creates the export folder in the program folder when missing and deletes every "*.htm" in it,
// calling pace after each file deleted (thousands of them take a while). Gives the folder's path;
// false, with the reason, when it cannot be made or emptied.
bool prepareFolder(const QString& programFolder, QString& exportFolder, QString* error = nullptr,
                   const std::function<void()>& pace = {});

// Writes a snippet's page: rtf, the editor's rendering, converted in memory and poured with the
// record's fields into templateText (the template as read once for the export), every tag matched in
// any case. The bytes are those SnippetExport::writePage makes of the same RTF and template through
// its working files. False, with the reason, when the page cannot be written or progress stopped it;
// no partial page is left.
bool writePage(const QString& pagePath, const QString& templateText, const QByteArray& rtf,
               const SnippetRecord& record, const QString& indexFile, const RtfToHtml::Progress& progress,
               QString* error);

// Writes the index page (UTF-8 with a byte-order mark, each line ended by CR LF), synced to disk.
bool writeIndex(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace LanguageExport
