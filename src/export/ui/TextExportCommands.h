#pragma once

#include "export/TextExport.h"

#include <QObject>
#include <QString>

struct WindowContext;

// The exports for other tools: the selected node's language as a VS Code snippet file or a Markdown
// page, and the whole library as Markdown pages, into a folder the user chooses.
class TextExportCommands : public QObject
{
    Q_OBJECT

public:
    explicit TextExportCommands(WindowContext& context, QObject* parent = nullptr);

    void mnuExportVsCode_Click();
    void mnuExportMarkdown_Click();
    void mnuExportLibraryMarkdown_Click();

private:
    // The language of the selected node, whatever its level; empty (with the refusal shown) when
    // nothing is selected.
    QString selectedLanguage();
    // Asks for the folder; empty when the user cancelled.
    QString chooseFolder(const QString& title);
    void exportLanguage(const QString& title, TextExport::Format format);
    void report(const TextExport::Result& result, const QString& title);

    WindowContext& m_context;
    QString m_lastFolder; // where the folder dialog opens next time in this run
};
