#pragma once

#include "editor/LanguageDefinition.h"

#include <QStringList>

// Whole-line edits of the editor's selected lines: comment, uncomment and sort.
namespace LineCommands {

// True when the definition has a line or block comment marker to comment with.
bool canComment(const LanguageDefinition& definition);

// Puts the first line marker at the start of every non-blank line, or the block markers around it
// when the language has no line comment.
QStringList comment(const QStringList& lines, const LanguageDefinition& definition);

// Takes one comment marker (or block marker pair) off every line that begins with one after its indent.
QStringList uncomment(const QStringList& lines, const LanguageDefinition& definition);

// The lines sorted without regard to case (ties in character order), ascending or descending.
QStringList sorted(QStringList lines, bool descending);

} // namespace LineCommands
