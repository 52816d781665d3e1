#pragma once

#include "store/SnippetRecord.h"

#include <QByteArrayView>
#include <QString>

// The local import of other snippet tools' files: VS Code snippet files, massCode libraries
// ("db.json", "massCode.db") and pet's TOML. They stage like a local source file: the staging array
// holds the records found from index 0 on, or one empty record when none was found.
namespace ForeignSnippets {

enum class Format
{
    None,
    VsCode,           // "*.code-snippets"
    Json,             // "*.json": a massCode "db.json" by its shape, else VS Code snippets
    MassCodeDatabase, // "massCode.db", "*.db"
    Pet               // "*.toml"
};

// Larger files are refused before they are read: a snippet file of that size is a mistake, and
// reading it whole would take the memory of the machine. A library of 100,000 snippets exported
// from VS Code is well below it.
inline constexpr qint64 MaxFileSize = 256LL * 1024 * 1024;

// The format a file's name picks (endings case-sensitive, as the other import endings).
Format formatFor(const QString& path);

// Stages the file in the format its name picks. False when nothing was found; error (naming the
// file) when it could not be read, is too large or holds no such snippets.
bool stageFile(const QString& path, CodeArray& staged, QString* error = nullptr);

// Stages the bytes of a file named fileName in a text format (not MassCodeDatabase), each record
// dated date unless the tool keeps its own; error says what is wrong, without the file name.
bool stageBytes(QByteArrayView bytes, const QString& fileName, Format format, const QString& date,
                CodeArray& staged, QString* error);

} // namespace ForeignSnippets
