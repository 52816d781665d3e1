#pragma once

#include <QString>
#include <QStringView>

// The hex view of a text: one 40-character line per block of 8 characters, laid out as
// offset (6 hex digits), blank, 8 codes ("41 " each, 3 blanks where the block ends), blank, the characters.
namespace HexDump {

// Columns of a line: the codes start at PairsColumn, the characters at TextColumn.
inline constexpr int PairsColumn = 7;
inline constexpr int TextColumn = 32;
inline constexpr int LineWidth = 40;

// The dump of text, lines joined by CR LF with none after the last; empty text gives an empty dump.
QString format(QStringView text);

// The single-byte (Windows-1252) code of a character; "?" for one that code page lacks.
uchar byteCode(char32_t c);

} // namespace HexDump
