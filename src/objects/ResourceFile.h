#pragma once

#include <limits>
#include <QByteArray>
#include <QFile>
#include <QString>

class SafeFile;

struct Workspace;

// The object resource file: the attached files' bytes one after the other, without names or
// separators; the records keep where each object starts (counted from 1) and how long it is.
namespace ResourceFile {

// The largest object, and the last start position, a record can hold.
inline constexpr qint64 MaxPosition = std::numeric_limits<qint32>::max();

// The resource file beside the database file in use.
QString path(const Workspace& ws);

// The file's length in bytes; 0 when it does not exist.
qint64 size(const QString& path);

// Whether an object of length bytes from start lies wholly inside a file of fileSize bytes.
bool inRange(qint64 start, qint64 length, qint64 fileSize);

struct ReadResult
{
    bool ok = false;
    QByteArray bytes;
    QString error;
};

// Reads an object's bytes; fails without reading when the range does not lie inside the file.
ReadResult read(const QString& path, qint64 start, qint64 length);

struct AppendResult
{
    bool ok = false;
    bool empty = false;       // the source holds no bytes: nothing was appended
    bool writeFailed = false; // the resource file could not take the bytes (and was set back)
                              // rather than the source file failing to give them
    qint32 start = 0;
    qint32 length = 0;
    QString error;
};

// Appends the whole of the file sourcePath to the resource file, creating it when missing. A failed
// append truncates the resource file to its old length.
AppendResult append(const QString& path, const QString& sourcePath);

// Copies length bytes from start of from to the current end of to, through buffer. On failure error
// says why, and readFailed (when given) tells whether reading from, rather than writing to, failed.
bool copyRange(QFile& from, qint64 start, qint64 length, SafeFile& to, QByteArray& buffer, QString* error,
               bool* readFailed = nullptr);

} // namespace ResourceFile
