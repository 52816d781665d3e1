#pragma once

#include "store/SnippetRecord.h"

#include <QString>
#include <QStringView>

// Cuts ordinary source files into candidate snippets for the local import. Each splitter resets the
// staging array to one empty record, stores what it finds from index 0 on (category "import", the
// current date, empty keywords, code with CR LF line ends), and returns true when it found at least
// one snippet. The cuts are deliberately simple and are what users of older versions rely on:
// declarations must start their line, HTML tags are matched case-sensitively, and braces in strings
// or comments count.
namespace SourceSplitter {

inline constexpr char Category[] = "import";

// The longest title the brace splitter takes from the text before a definition's "{" (the code
// stays whole): that text may run to the end of the file.
inline constexpr qsizetype TitleLimit = 255;

// Procedures of Visual Basic forms and modules, pass by pass: sub, private sub, public sub,
// function, private function, public function.
bool LoadSourceVB(CodeArray& staged, const QString& path, QString* error = nullptr);
bool splitVB(CodeArray& staged, QStringView text);

// Script, form, style and table blocks of an HTML page, one pass each.
bool LoadSourceHTML(CodeArray& staged, const QString& path, QString* error = nullptr);
bool splitHTML(CodeArray& staged, QStringView text);

// Definitions introduced by subType (any case, anywhere, even inside a word) up to their
// matching closing brace, stored under language.
bool LoadSourceFunction(CodeArray& staged, const QString& path, const QString& subType,
                        const QString& language, QString* error = nullptr);
bool splitFunction(CodeArray& staged, QStringView text, const QString& subType, const QString& language);

} // namespace SourceSplitter
