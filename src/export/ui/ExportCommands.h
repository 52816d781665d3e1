#pragma once

#include "export/PageWriter.h"
#include "export/RtfToHtml.h"
#include "gui/SettingsClient.h"

#include <QObject>

class QAction;
struct SnippetRecord;
struct WindowContext;

// The HTML commands: the template and its counter, the snippet page, the language site, and the
// editor's "Copy as Rich Text".
class ExportCommands : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    explicit ExportCommands(WindowContext& context, QObject* parent = nullptr);

    // Makes sure the template path names an existing template; writes the built-in one when not.
    void SetHTML();

    void mnuExport_Click();
    // Exports the snippet at index iPos, with the editor's current text as its code.
    void ExportSnippetIRUN(const QString& sNumber, qsizetype iPos);

    void mnuExportLanguage_Click();
    void ExportLanguageWithColor();

    void mnuSelectTemplate_Click();
    void mnuClearCounter_Click();
    // Turns the numbered snippet page on or off.
    void mnuIncrementHTML_Click();

    // Puts the editor's selection, or its whole text, on the clipboard as RTF and HTML.
    void mnuCMCopyRichText_Click();

    // Start-up applies the settings, and the template check follows them.
    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

signals:
    // A page of the language export was written (or abandoned): n of total.
    void languagePageDone(int n, int total);
    // The language export is about to show pages in the editor, which must colour the language first.
    void syntaxRequested();

private:
    struct SitePage
    {
        qsizetype record;
        qsizetype category; // its place among the language's categories
        QString title;
    };
    // The template as the export read it once, or why it could not be read.
    struct SiteTemplate
    {
        QString text;
        QString error;
    };
    // Renders a page's code in the editor into job, with the reason when the page cannot be made;
    // false when progress stopped it.
    bool renderPage(qsizetype iPos, const SiteTemplate& siteTemplate, const RtfToHtml::Progress& progress,
                    PageWriter::Job& job);
    void refuse(const QString& text);

    WindowContext& m_context;
    QAction* m_mnuIncrementHTML = nullptr;
};
