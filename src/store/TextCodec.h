#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text files are UTF-8; a file that is not valid UTF-8 is read as Windows-1252 so older libraries load.
namespace TextCodec {

enum class Encoding
{
    Utf8,
    Windows1252
};

// Picks the encoding of a whole file's bytes.
Encoding detect(QByteArrayView bytes);

// Decodes bytes with the given encoding.
QString decode(QByteArrayView bytes, Encoding encoding);

// Decodes a whole file's bytes, detecting the encoding.
QString decode(QByteArrayView bytes);

// Appends text as UTF-8; a lone surrogate becomes U+FFFD so the output stays valid UTF-8.
void appendUtf8(QByteArray& out, QStringView text);

} // namespace TextCodec
