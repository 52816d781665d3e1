#pragma once

#include "import/JsoncReader.h"
#include "store/SnippetRecord.h"

#include <QString>

// VS Code's snippet files: "python.json" for one language, or "*.code-snippets" whose snippets
// name their languages in "scope".
namespace VsCodeSnippets {

inline constexpr char Category[] = "VS Code";

// The library language of a file's snippets when its name says it: the base name up to its first
// "." when that is a known language id, else empty.
QString languageOfFile(const QString& fileName);

// Appends a record for every top-level member whose value is an object with a "body", in file
// order, dated date. False with error when the document is no snippet file.
bool read(const JsoncReader::Document& document, const QString& fileName, const QString& date,
          CodeArray& records, QString* error);

} // namespace VsCodeSnippets
