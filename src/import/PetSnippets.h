#pragma once

#include "store/SnippetRecord.h"

#include <QByteArrayView>
#include <QString>

// The snippet file of pet, the command-line snippet manager: a TOML file of "[[snippets]]" tables.
namespace PetSnippets {

inline constexpr char Category[] = "pet";
inline constexpr char Language[] = "Bash";

// Appends a record for every "[[snippets]]" table, in file order, dated date. False with error
// ("line L, column C (what is wrong)") when the bytes are no TOML.
bool read(QByteArrayView bytes, const QString& date, CodeArray& records, QString* error);

} // namespace PetSnippets
