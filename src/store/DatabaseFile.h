#pragma once

#include "store/SnippetRecord.h"

#include <limits>
#include <QString>
#include <QStringList>
#include <vector>

// The line-oriented database file "zorbeth.txt": reading, writing and the limits of its format.
namespace DatabaseFile {

inline constexpr char HeaderLine[] = "Zorbeth Source Code Snippets";
inline constexpr char PublisherLine[] = "Zorbeth Project";
inline constexpr char WebAddressLine[] = "https://zorbeth.example.org";
inline constexpr char EndMarker[] = "++++++++";

struct ReadResult
{
    CodeArray records;          // every complete record, in file order
    bool opened = false;        // the file existed and could be read
    bool complete = false;      // the end marker was reached
    qint64 fileSize = 0;        // bytes in the file (0 when missing)
    QString error;              // why opening or reading failed, empty otherwise
    qsizetype nonUtf8Bytes = 0; // bytes of the records read that were not UTF-8, read as Windows-1252
    qsizetype recordStarts = 0; // lines "----T", also those a block without its "----E" read on into
    qsizetype lostRecords =
        0;                  // record starts without a record read from them, besides one cut off at the end
    QStringList lostTitles; // the titles of those records

    // The file holds records that could not be read whole.
    bool damaged() const { return lostRecords > 0; }
};

// Parses a database file as the program reads it; a partly read record is dropped. From splitFrom
// bytes on, two threads read a half each.
ReadResult read(const QString& path, qsizetype splitFrom = 8 * 1024 * 1024);

// What a read of a file would find, without the values.
struct Shape
{
    bool opened = false;   // the file existed and could be read
    bool complete = false; // the end marker was reached
    qint64 fileSize = 0;   // bytes in the file (0 when missing)
    qsizetype records = 0; // complete records, as many as read() returns
    QString error;         // why opening or reading failed, empty otherwise
};

// Walks a database file exactly as read() does but decodes nothing: a fast check of a file that is
// to replace a library.
Shape scan(const QString& path);
// The same walk over bytes already read.
Shape scanBytes(QByteArrayView bytes);

// Whether bytes are valid UTF-8. From splitFrom bytes on, two threads check a half each, cut where no
// character is split. Bytes of a mapped file (mapped true) give their pages back as they are checked.
bool isUtf8(QByteArrayView bytes, bool mapped, qsizetype splitFrom = 8 * 1024 * 1024);

// Parses database text already in memory (lines end at CR LF, a lone CR, or LF when the text has no CR).
// From splitFrom bytes on, two threads read a half each.
ReadResult parse(const QByteArray& bytes, qsizetype splitFrom = std::numeric_limits<qsizetype>::max());

// Where one value lies in the file's bytes. A text block whose lines did not all end with CR LF
// (mixedBreaks) reads as its bytes with every line break made CR LF.
struct Span
{
    qsizetype begin = 0;
    qsizetype size = 0;
    bool mixedBreaks = false;
};

// The values of one record as places in the file.
struct RecordSpans
{
    Span title, language, category, keywords, date;
    Span objectName, objectFlag, objectStart, objectLength;
    Span dText, code, hText;
};

// What a walk of the bytes found besides the read result.
struct Walk
{
    qsizetype records = 0; // complete records
    bool lfMode = false;   // lines end at LF: the text has no CR
    bool ascii = true;     // every byte before end is ASCII (false may also come from a few bytes past end)
    qsizetype end = 0;     // where the walk stopped: the bytes from here on were not looked at
};

// Walks valid UTF-8 bytes exactly as parse() does but keeps each record as spans (when spans is
// given), so a reader decodes only the values it needs (spanText). The result holds everything
// parse() gives but the records. From splitFrom bytes on, two threads walk a half each.
ReadResult parseSpans(QByteArrayView bytes, std::vector<RecordSpans>* spans, Walk& walk,
                      qsizetype splitFrom = 8 * 1024 * 1024);

// The value of a span of valid UTF-8 bytes, as parse() reads it.
QString spanText(QByteArrayView bytes, const Span& span, bool lfMode);

// The same for the code, which keeps the bytes.
CodeText spanCode(QByteArrayView bytes, const Span& span, bool lfMode);

// Writes every non-deleted record through a safe save; returns false and sets error on failure,
// leaving any previous file whole.
bool write(const QString& path, const CodeArray& records, QString* error = nullptr);

// The file contents write() produces for these records, stamped with the given save time.
QByteArray serialize(const CodeArray& records, const QString& savedAt);

// Mends values the format cannot hold, in place, and names the records it changed:
// line breaks in one-line fields become a blank, a text-block line that would end its block and a
// value or text-block line "----T" (read as a record start) get a leading blank, and a lone CR in a
// text block becomes CR LF, and byte-order marks a value begins with (which reading drops) go.
QList<qsizetype> fitToFormat(CodeArray& records);

} // namespace DatabaseFile
