#pragma once

#include "export/RtfToHtml.h"
#include "store/SnippetRecord.h"

#include <QByteArray>
#include <QString>

class SettingsStore;

// The file work of an HTML page for one snippet: the editor's RTF in, the finished page out.
namespace SnippetExport {

// Working file of the editor's RTF, beside the page it becomes.
inline constexpr char RtfFileName[] = "zorbeth.rtf";

// The page of the snippet export: "zorbeth" + suffix + ".htm".
QString pageName(const QString& suffix);

// Advances the page counter "HTMLCount" in the store at once; returns its new value as text.
QString nextCounter(SettingsStore& store);

// Sets the page counter back to 0 at once.
void clearCounter(SettingsStore& store);

// How the template is filled: the snippet export's exact tags, or the language export's.
enum class Tags
{
    SnippetPage,
    LanguagePage
};

struct PageRequest
{
    QString folder;        // where the working files and the page go
    QString rtfFile;       // working file name of the RTF, in folder
    QString convertedFile; // where the converter writes the coloured code, in folder
    QString pageFile;      // the finished page, in folder
    QString templatePath;
    Tags tags = Tags::SnippetPage;
    QString indexFile; // the index page the language export links to
    // Called between the steps of the page and during the conversion; false abandons the page.
    RtfToHtml::Progress progress;
};

// The coloured code as a page takes it from the converter's HTML: as a round trip through a UTF-8
// file leaves it (a lone surrogate becomes U+FFFD), with every CR LF CR made CR LF.
QString codeFromConverted(QString html);

// The finished page: the template filled as tags says, UTF-8 with a byte-order mark, ended by CR LF.
QByteArray pageBytes(QString templateText, Tags tags, const SnippetRecord& record, const QString& code,
                     const QString& indexFile);

// Writes rtf (followed by CR LF) to the RTF working file, converts it, and pours the coloured code and
// the record's fields into the template. The page is UTF-8 with a byte-order mark, so browsers read
// it right although the template declares no character set. The page and the working files can be
// made again, so they are written without waiting for the disk (a page that exists is still replaced
// only by a complete one). False, with the reason, on a failure; false also when the request's
// progress stopped it. No page without code is left behind.
bool writePage(const PageRequest& request, const QByteArray& rtf, const SnippetRecord& record,
               QString* error);

} // namespace SnippetExport
