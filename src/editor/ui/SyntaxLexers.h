#pragma once

#include "editor/LanguageDefinition.h"

class QObject;
class QsciLexer;

// Makes the lexer that colours a language definition's text.
namespace SyntaxLexers {

// The QScintilla lexer named by the definition, or the keyword lexer; nullptr for plain text.
QsciLexer* create(const LanguageDefinition& definition, QObject* parent);

} // namespace SyntaxLexers
