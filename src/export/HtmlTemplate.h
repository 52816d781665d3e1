#pragma once

#include "store/SnippetRecord.h"

#include <QString>

// The HTML template of the exports: its default text, where it lives, and how its tags are filled.
namespace HtmlTemplate {

// A value as HTML text: & < > " and ' as entities, so no field of a record can add markup to a page.
QString escaped(const QString& value);

// The built-in template: ten lines, each ended by CR LF.
QString defaultText();

// Makes templatePath name an existing file: when it does not, it becomes the default path and the
// built-in template is written there. False, with a reason in error, when that cannot be written.
bool SetHTML(QString& templatePath, const QString& programFolder, QString* error = nullptr);

// Why the file at path cannot serve as the template, empty when it can: the snippet export writes
// "zorbeth.htm" or "zorbethN.htm" in the program folder before it reads the template, and every
// language export deletes the pages in "html_export".
QString unfitReason(const QString& path, const QString& programFolder);

// Reads a template whole: UTF-8, or Windows-1252 where bytes are not UTF-8. False when unreadable.
bool read(const QString& path, QString& text, QString* error = nullptr);

// The snippet page: language, category, title, keywords, date, then the code, matched in exact case.
// The five fields go in as HTML text (escaped), the code as the converter made it; tags written in
// the template stay markup, and a tag inside a field is text, never replaced by a later step.
QString fillSnippetPage(QString text, const SnippetRecord& record, const QString& code);

// The language-site page: first the index link, then as above, every tag matched in any case.
QString fillLanguagePage(QString text, const SnippetRecord& record, const QString& code,
                         const QString& indexFile);

} // namespace HtmlTemplate
