#pragma once

#include <initializer_list>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// Text files are UTF-8. Libraries written by older Windows versions hold Windows-1252 bytes, and
// files edited by both may hold either, so a byte that is not part of a valid UTF-8 sequence is read
// as its Windows-1252 character instead of spoiling the rest of the file.
namespace TextCodec {

// Whether bytes are valid UTF-8 throughout.
bool isUtf8(QByteArrayView bytes);

// Whether every byte is ASCII.
bool isAscii(QByteArrayView bytes);

// Decodes valid UTF-8 sequences as UTF-8 and every other byte as its Windows-1252 character; adds
// the number of such bytes to nonUtf8Bytes.
QString decodeMixed(QByteArrayView bytes, qsizetype* nonUtf8Bytes = nullptr);

// Decodes valid UTF-8 as it stands: unlike QString::fromUtf8, keeps a byte order mark at the start.
QString decodeUtf8(QByteArrayView bytes);

// Decodes a file's bytes: as UTF-8 when they are valid UTF-8, otherwise as decodeMixed does.
QString decode(QByteArrayView bytes);

// Appends text as UTF-8; a lone surrogate becomes U+FFFD so the output stays valid UTF-8.
void appendUtf8(QByteArray& out, QStringView text);

// The lines of a text whose lines end at CR LF, a lone CR or LF (files from any system); a line end
// at the very end gives no empty last line.
QList<QStringView> splitLines(QStringView text);

// The text without its leading and trailing blanks (blanks only: tabs and line ends stay).
QStringView trimBlanks(QStringView text);

// The parts joined and lower-cased, the same as lower-casing the joined text, so a letter maps the
// same whichever part boundary it stands next to. Plain ASCII, the usual case, is lowered directly.
QString lowerJoined(std::initializer_list<QStringView> parts);

} // namespace TextCodec
