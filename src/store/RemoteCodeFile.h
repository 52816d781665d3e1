#pragma once

#include "store/SnippetRecord.h"

#include <QString>

// The remote code array: the staging area that holds a server copy of the library, or the snippets
// cut out of a local file, while they are compared with the library and picked for import. A staged
// record's index is its identity for as long as a comparison list shows it.
namespace RemoteCodeFile {

inline constexpr char LoadTitle[] = "Load Code Data";

// Reads a library file into staged with the library's own reader. A file read to its end marker
// replaces staged with its records (one empty record when it holds none) and returns true when it
// held at least one. A file that is missing, unreadable, cut off before its end marker or no library
// at all leaves staged empty, so nothing of it is compared or imported, and error says why.
bool LoadRemoteCodeDataFromFile(const QString& fullFileName, CodeArray& staged, QString* error = nullptr);

// Sorts staged by lower-case language ":::" category ":::" title; equal keys keep their order.
void SortRemoteCodeByLanguage(CodeArray& staged);

} // namespace RemoteCodeFile
