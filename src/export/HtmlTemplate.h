#pragma once

#include "store/SnippetRecord.h"

#include <QString>

// The HTML template of the exports: its default text, where it lives, and how its tags are filled.
namespace HtmlTemplate {

// The built-in template: ten lines, each ended by CR LF.
QString defaultText();

// Makes templatePath name an existing file: when it does not, it becomes the default path and the
// built-in template is written there. False, with a reason in error, when that cannot be written.
bool SetHTML(QString& templatePath, const QString& programFolder, QString* error = nullptr);

// Reads a template whole: UTF-8, or Windows-1252 where bytes are not UTF-8. False when unreadable.
bool read(const QString& path, QString& text, QString* error = nullptr);

// The snippet page: language, category, title, keywords, date, then the code, matched in exact case.
// Values go in as they are held; a tag inside a value put in earlier is replaced by a later step.
QString fillSnippetPage(QString text, const SnippetRecord& record, const QString& code);

// The language-site page: first the index link, then as above, every tag matched in any case.
QString fillLanguagePage(QString text, const SnippetRecord& record, const QString& code,
                         const QString& indexFile);

} // namespace HtmlTemplate
