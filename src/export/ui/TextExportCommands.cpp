#include "export/ui/TextExportCommands.h"

#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/Workspace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

namespace {

const QString VsCodeTitle = QStringLiteral("Export Language to VS Code Snippets");
const QString MarkdownTitle = QStringLiteral("Export Language to Markdown");
const QString LibraryTitle = QStringLiteral("Export Library to Markdown");

} // namespace

TextExportCommands::TextExportCommands(WindowContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("textExportCommands"));
    auto item = [this](const char* name, const QString& caption, void (TextExportCommands::*handler)()) {
        QAction* action = m_context.menus.file->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    item("mnuExportVsCode", VsCodeTitle + QStringLiteral("\u2026"),
         &TextExportCommands::mnuExportVsCode_Click);
    item("mnuExportMarkdown", MarkdownTitle + QStringLiteral("\u2026"),
         &TextExportCommands::mnuExportMarkdown_Click);
    item("mnuExportLibraryMarkdown", LibraryTitle + QStringLiteral("\u2026"),
         &TextExportCommands::mnuExportLibraryMarkdown_Click);
}

void TextExportCommands::mnuExportVsCode_Click()
{
    exportLanguage(VsCodeTitle, TextExport::Format::VsCodeSnippets);
}

void TextExportCommands::mnuExportMarkdown_Click()
{
    exportLanguage(MarkdownTitle, TextExport::Format::Markdown);
}

void TextExportCommands::mnuExportLibraryMarkdown_Click()
{
    m_context.tree.finishLabelEdit();
    const QString folder = chooseFolder(LibraryTitle);
    if (folder.isEmpty()) {
        return;
    }
    TextExport::Result result;
    {
        const WaitCursor wait;
        result = TextExport::exportLibraryMarkdown(m_context.ws.codeArray, folder);
    }
    report(result, LibraryTitle);
}

QString TextExportCommands::selectedLanguage()
{
    const QTreeWidgetItem* node = m_context.tree.currentItem();
    while (node != nullptr && node->parent() != nullptr) {
        node = node->parent();
    }
    if (node == nullptr) {
        QApplication::beep();
        m_context.status.setText(QStringLiteral("Please select a language."));
        return {};
    }
    // The language node's key is the language itself, without the child count its text may show.
    return LibraryTree::key(node);
}

QString TextExportCommands::chooseFolder(const QString& title)
{
    const QString folder = Prompts::chooseFolder(&m_context.window, title,
                                                 m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder);
    if (!folder.isEmpty()) {
        m_lastFolder = folder;
    }
    return folder;
}

void TextExportCommands::exportLanguage(const QString& title, TextExport::Format format)
{
    // A title still being typed into the tree is part of what is exported.
    m_context.tree.finishLabelEdit();
    const QString language = selectedLanguage();
    if (language.isEmpty()) {
        return;
    }
    const QString folder = chooseFolder(title);
    if (folder.isEmpty()) {
        return;
    }
    TextExport::Result result;
    {
        const WaitCursor wait;
        result = TextExport::exportLanguage(m_context.ws.codeArray, language, folder, format);
    }
    report(result, title);
}

void TextExportCommands::report(const TextExport::Result& result, const QString& title)
{
    if (result.status != TextExport::Result::Written) {
        Prompts::message(&m_context.window, result.error, title,
                         result.status == TextExport::Result::NoSnippet ? Prompts::Icon::Exclamation
                                                                        : Prompts::Icon::Critical);
        return;
    }
    m_context.status.setText(
        QStringLiteral("%1 snippets exported to %2")
            .arg(result.snippets)
            .arg(result.written.size() == 1
                     ? QDir::toNativeSeparators(result.written.first())
                     : QStringLiteral("%1 files in %2")
                           .arg(result.written.size())
                           .arg(QDir::toNativeSeparators(QFileInfo(result.written.first()).absolutePath()))));
}
