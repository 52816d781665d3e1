#pragma once

#include <QString>

// The language ids other snippet tools and editors use (VS Code, massCode, Markdown fences) and the
// library's language names, in one table for every import and export.
namespace LanguageIds {

// The library's name for an editor's language id: the table's name, "Text" for plain text or an empty
// id, else the id with its first letter upper-cased.
QString libraryName(const QString& id);

// The editor id of a library language (compared without letter case); empty when the table has none.
QString idFor(const QString& languageName);

// True when the table knows the id (plain-text ids included).
bool isKnownId(const QString& id);

} // namespace LanguageIds
