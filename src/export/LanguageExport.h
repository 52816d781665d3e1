#pragma once

#include "export/RtfToHtml.h"
#include "store/SnippetRecord.h"

#include <functional>
#include <QByteArray>
#include <QDir>
#include <QSet>
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

// The pages an earlier export left in the folder, whose files the new pages take over: writing a page
// into an old page's file, where deleting that and creating another would make ext4 search past every
// recently deleted file for each new one, a cost that grows with the pages of the last export.
class OldPages
{
public:
    void add(const QString& name);

    // Makes name in folder an old page's file for a page to be written over: the old page of that
    // name, else another one renamed. False when none is left.
    bool takeFor(const QDir& folder, const QString& name);

    // Deletes the old pages no page took, calling pace after each; false, with the reason, when one
    // cannot be deleted.
    bool removeRest(const QDir& folder, QString* error, const std::function<void()>& pace = {});

private:
    QStringList m_names; // in the order found, taken from the end
    QSet<QString> m_left;
};

// Creates the export folder in the program folder when missing and deletes every "*.htm" in it,
// calling pace after each file deleted (thousands of them take a while). With oldPages, the plain
// files among them (not links, not linked twice) are not deleted but go there, for the new pages to
// take over; what is left of them goes when the export ends. Gives the folder's path; false, with
// the reason, when it cannot be made or emptied.
bool prepareFolder(const QString& programFolder, QString& exportFolder, QString* error = nullptr,
                   const std::function<void()>& pace = {}, OldPages* oldPages = nullptr);

// Writes a snippet's page, pageFile in folder: rtf, the editor's rendering, converted in memory and
// poured with the record's fields into templateText (the template as read once for the export), every
// tag matched in any case. The bytes are those SnippetExport::writePage makes of the same RTF and
// template through its working files. With oldPages, an old page's file takes it when one is left.
// False, with the reason, when the page cannot be written or progress stopped it; no partial page is
// left.
bool writePage(const QDir& folder, const QString& pageFile, const QString& templateText,
               const QByteArray& rtf, const SnippetRecord& record, const QString& indexFile,
               const RtfToHtml::Progress& progress, QString* error, OldPages* oldPages = nullptr);

// Writes the index page (UTF-8 with a byte-order mark, each line ended by CR LF); an index that was
// there is replaced whole. Not synced, as the pages are not: a site can be made again, and waiting
// for the disk behind thousands of pages would hold the window still.
bool writeIndex(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace LanguageExport
