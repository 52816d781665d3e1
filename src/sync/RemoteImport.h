#pragma once

#include "store/SnippetRecord.h"

#include <QString>
#include <vector>

// Brings picked staged records into the library.
namespace RemoteImport {

// Appends staged record r for each id in ids, in that order, as new library records holding only
// its title, language, category, code and date (keywords and the rest empty). Ids outside staged are
// skipped. Returns how many were appended; the caller sorts the library and rebuilds its views.
qsizetype appendStaged(CodeArray& library, const CodeArray& staged, const std::vector<qsizetype>& ids);

// "N remote source code snippets imported into local database", with the local file name when
// importFileName is not empty.
QString importedStatus(qsizetype count, const QString& importFileName);

} // namespace RemoteImport
