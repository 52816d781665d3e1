#pragma once

#include "store/SnippetRecord.h"

// Makes a deterministic library of the given size for measuring: about 20 languages with 10 categories
// each, code of 5 to 60 lines, some text blocks ending in CR LF and some attached files.
namespace LibraryGenerator {

CodeArray generate(qsizetype snippets);

} // namespace LibraryGenerator
