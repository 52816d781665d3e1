#pragma once

#include "store/SnippetRecord.h"

#include <QString>

// Which loader the local import runs on a file, picked by the file name's ending (case-sensitive,
// first match wins, as users of older versions know it).
namespace ImportExtensions {

enum class Loader
{
    None,
    Zq5,
    Database,
    Html,
    VisualBasic,
    Perl,
    Cpp,
    Java
};

Loader loaderFor(const QString& path);

// Stages the file with the loader its ending picks. False when nothing was found: an ending not in
// the table, a file that could not be read (error says why), or one without a snippet.
bool stageFile(const QString& path, CodeArray& staged, QString* error = nullptr);

} // namespace ImportExtensions
