#pragma once

#include "store/SnippetRecord.h"

#include <QString>
#include <vector>

// Brings picked staged records into the library.
namespace RemoteImport {

// Which fields of a staged record reach the library.
enum class Fields
{
    Basic,        // title, language, category, code and date (keywords and the rest empty)
    WithKeywords, // those and the keywords and description: another tool's tags and favourites
};

// Appends staged record r for each id in ids, in that order, as new library records holding the
// fields named. Ids outside staged are skipped. Returns how many were appended; the caller sorts the
// library and rebuilds its views.
qsizetype appendStaged(CodeArray& library, const CodeArray& staged, const std::vector<qsizetype>& ids,
                       Fields fields = Fields::Basic);

// The fields an import from the file at path brings: other snippet tools' files keep their keywords
// and descriptions, which they hold as the user's own tags; the server copy and cut-out source files
// bring the basic fields.
Fields fieldsFor(const QString& path);

// "N remote source code snippets imported into local database", with the local file name when
// importFileName is not empty.
QString importedStatus(qsizetype count, const QString& importFileName);

} // namespace RemoteImport
