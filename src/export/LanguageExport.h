#pragma once

#include <QString>
#include <QStringList>

// The language site in "html_export": file names, the folder, and the lines of the index page.
namespace LanguageExport {

inline constexpr char FolderName[] = "html_export";

// Working files of each page, in the export folder, deleted after every page.
inline constexpr char RtfFileName[] = "zorbeth.rtf";
inline constexpr char ConvertedFileName[] = "zorbeth.htm";

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

// Creates the export folder in the program folder when missing and deletes every "*.htm" in it.
// Gives the folder's path; false, with the reason, when it cannot be made or emptied.
bool prepareFolder(const QString& programFolder, QString& exportFolder, QString* error = nullptr);

// Writes the index page (UTF-8 with a byte-order mark, each line ended by CR LF), synced to disk.
bool writeIndex(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace LanguageExport
