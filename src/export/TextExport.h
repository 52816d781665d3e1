#pragma once

#include "store/SnippetRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Languages taken out of the library as files other tools read: VS Code snippet files and Markdown
// pages, one file per language in a folder the user chose.
namespace TextExport {

enum class Format
{
    VsCodeSnippets, // "LANGUAGE.code-snippets"
    Markdown        // "LANGUAGE.md"
};

// The records of one language (compared without letter case, as the tree joins them), deleted ones
// left out, in library order.
std::vector<qsizetype> languageRecords(const CodeArray& records, const QString& language);

// Every language of the library in library order, each once, spelt as its first record spells it.
QStringList languages(const CodeArray& records);

// The file of a language in the format: its name made safe as the HTML export makes it.
QString fileName(const QString& language, Format format);

// The lines of a code: its text split at CR LF, so that joining them with CR LF gives it back.
QStringList codeLines(const QString& code);

// The VS Code snippet file of the records (one language, in the order given).
QByteArray vsCodeDocument(const CodeArray& records, const std::vector<qsizetype>& indexes);

// The Markdown page of the records (one language, in the order given).
QByteArray markdownDocument(const CodeArray& records, const std::vector<qsizetype>& indexes);

// The backticks of a fence around code: one more than its longest run of backticks, at least three.
QString fenceFor(const QString& code);

struct Result
{
    enum Status
    {
        Written,
        NoSnippet,  // the language has no snippet: nothing written
        Unwritable, // the folder or a file could not be written
    };
    Status status = Written;
    QStringList written; // full paths of the files written, in order
    qsizetype snippets = 0;
    QString error;
};

// Writes the file of one language into folder (created when missing).
Result exportLanguage(const CodeArray& records, const QString& language, const QString& folder,
                      Format format);

// Writes a Markdown page for every language into folder; two languages whose safe names meet get
// " (2)", " (3)", ... so that neither page replaces the other.
Result exportLibraryMarkdown(const CodeArray& records, const QString& folder);

} // namespace TextExport
