#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Library file text for tests that build damaged or partial files by hand.
namespace LibraryText {

inline const QByteArray Header =
    "Zorbeth Source Code Snippets\r\nPublisher\r\nhttp://x\r\n2024-01-01 00:00:00\r\n";

// One complete record block with the given title, in the Lang / Cat category, code "code".
inline QByteArray block(const QByteArray& title)
{
    return "----T\r\n" + title +
           "\r\nLang\r\nCat\r\n\r\n2024-01-01\r\n<reserved>\r\n----O\r\n\r\n 0 \r\n 0 \r\n 0 \r\n" +
           "----E\r\n----D\r\n\r\n----E\r\n----C\r\ncode\r\n----E\r\n----H\r\n\r\n----E\r\n";
}

// The end marker of a library file.
inline const QByteArray End = "++++++++\r\n";

// A complete library of about size bytes, so a throttled transfer of it takes a while.
inline QByteArray largeLibrary(qsizetype size)
{
    QByteArray bytes = Header;
    for (int i = 0; bytes.size() < size; ++i) {
        bytes += block("Snippet " + QByteArray::number(i) + ' ' + QByteArray(200, 'x'));
    }
    return bytes + End;
}

// A file's bytes, empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the bytes as the whole file; false when that failed.
inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace LibraryText
