#include "export/ui/PrintCommands.h"

#include "export/OutlineNode.h"
#include "export/SnippetPrinter.h"
#include "export/TitlePrinter.h"
#include "export/ui/PrinterSurface.h"
#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "store/PathNames.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QWidget>

namespace {

const QString NotASnippet =
    QStringLiteral("Please select code snippet. Current selection is not a code snippet.");
const QString NotACategory = QStringLiteral("Please select category. Current selection is not a category.");
const QString NotALanguage = QStringLiteral("Please select language. Current selection is not a language.");
const QString NotATitle = QStringLiteral("Please select snippet. Current selection is not a snippet.");

// A category's rows are made first, so every snippet is there.
QList<QTreeWidgetItem*> childNodes(LibraryTree& tree, QTreeWidgetItem* node)
{
    tree.populate(node);
    QList<QTreeWidgetItem*> list;
    for (int i = 0; i < node->childCount(); ++i) {
        list.append(node->child(i));
    }
    return list;
}

// Snippet rows not yet made are outlined from their texts alone: the whole tree's rows would cost
// more than the printing.
OutlineNode outlineOf(const LibraryTree& tree, const QTreeWidgetItem* node)
{
    OutlineNode outline{node->text(0), {}};
    if (LibraryTree::tag(node) == LibraryTree::CatTag) {
        const QStringList texts = tree.childTexts(node);
        outline.children.reserve(texts.size());
        for (const QString& text : texts) {
            outline.children.append({text, {}});
        }
        return outline;
    }
    outline.children.reserve(node->childCount());
    for (int i = 0; i < node->childCount(); ++i) {
        outline.children.append(outlineOf(tree, node->child(i)));
    }
    return outline;
}

} // namespace

PrintCommands::PrintCommands(WindowContext& context, QObject* parent)
    : QObject(parent), m_context(context),
      m_hasPrinter([] { return !QPrinterInfo::defaultPrinter().isNull(); })
{
    setObjectName(QStringLiteral("printCommands"));
    createMenus();
    m_context.toolbar.setCommand(QStringLiteral("Print"), [this] { mnuPrintSnippetTitle_Click(); });
    m_context.startup.addSettingsClient(this);
}

void PrintCommands::createMenus()
{
    QMenu* file = m_context.menus.file;
    file->addSeparator();
    auto submenu = [file](const char* name, const QString& caption) {
        QMenu* menu = file->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       void (PrintCommands::*handler)()) {
        QAction* action = menu->addAction(caption, this, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    QMenu* snippets = submenu("mnuPrintSnippet", tr("&Print Snippet(s)"));
    item(snippets, "mnuPrintSnippetTitle", tr("Selected &Snippet"),
         &PrintCommands::mnuPrintSnippetTitle_Click);
    item(snippets, "mnuPrintSnippetCategory", tr("Selected &Category"),
         &PrintCommands::mnuPrintSnippetCategory_Click);
    item(snippets, "mnuPrintSnippetLanguage", tr("Selected &Language"),
         &PrintCommands::mnuPrintSnippetLanguage_Click);
    QMenu* titles = submenu("mnuPrintTitle", tr("Print &Title(s)"));
    item(titles, "mnuPrintTitleTitle", tr("Selected &Title"), &PrintCommands::mnuPrintTitleTitle_Click);
    item(titles, "mnuPrintTitleCategory", tr("Selected &Category"),
         &PrintCommands::mnuPrintTitleCategory_Click);
    item(titles, "mnuPrintTitleLanguage", tr("Selected &Language"),
         &PrintCommands::mnuPrintTitleLanguage_Click);
    item(titles, "mnuPrintTreeSnippets", tr("&Entire Tree"), &PrintCommands::mnuPrintTreeSnippets_Click);
    item(file, "mnuPrintForm", tr("Pri&nt Form"), &PrintCommands::mnuPrintForm_Click);

    m_mnuPageBreak = m_context.menus.options->addAction(tr("Snippet &PageBreak"));
    m_mnuPageBreak->setObjectName(QStringLiteral("mnuPageBreak"));
    m_mnuPageBreak->setCheckable(true);
}

void PrintCommands::applySettings(const AppSettings& settings)
{
    m_mnuPageBreak->setChecked(settings.PageBreak);
}

void PrintCommands::collectSettings(AppSettings& settings) const
{
    settings.PageBreak = m_mnuPageBreak->isChecked();
}

QTreeWidgetItem* PrintCommands::selectedNode(const QString& tag, const QString& refusal)
{
    QTreeWidgetItem* node = m_context.tree.currentItem();
    if (node == nullptr || LibraryTree::tag(node) != tag) {
        QApplication::beep();
        m_context.status.setText(refusal);
        return nullptr;
    }
    return node;
}

std::unique_ptr<PrinterSurface> PrintCommands::openPrinter()
{
    m_pdfPath.clear();
    if (m_hasPrinter()) {
        return PrinterSurface::defaultPrinter();
    }
    QString path = Prompts::saveFile(&m_context.window, tr("Print to PDF File"), m_context.ws.programFolder,
                                     tr("PDF files (*.pdf)"));
    if (path.isEmpty()) {
        m_context.status.setText(tr("Nothing printed: there is no printer and no PDF file was chosen"));
        return nullptr;
    }
    // A name typed without its ending still makes a file that opens as a PDF.
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    m_pdfPath = path;
    return PrinterSurface::pdfFile(path);
}

std::unique_ptr<PrintSurface> PrintCommands::openSurface()
{
    if (m_surfaceFactory) {
        m_pdfPath.clear();
        return m_surfaceFactory();
    }
    return openPrinter();
}

void PrintCommands::finish(PrintSurface& surface, const QString& statusText)
{
    surface.endDocument();
    if (!surface.error().isEmpty()) {
        m_context.status.setText(tr("Printing failed"));
        Prompts::message(&m_context.window, tr("Printing failed.") + u'\n' + surface.error(), tr("Print"),
                         Prompts::Icon::Critical);
        return;
    }
    if (m_pdfPath.isEmpty()) {
        m_context.status.setText(statusText);
        return;
    }
    const QString where = QDir::toNativeSeparators(m_pdfPath);
    m_context.status.setText(statusText.isEmpty() ? tr("Printed to ") + where
                                                  : statusText + tr(" to ") + where);
}

QString PrintCommands::databaseLine() const
{
    const Workspace& ws = m_context.ws;
    return ws.databasePrefix.isEmpty() ? ws.databaseFileName
                                       : MergePathData(ws.databasePrefix, ws.databaseFileName);
}

bool PrintCommands::nothingToPrint(bool empty)
{
    // An empty document would still take the printer, or a file name, for nothing.
    if (empty) {
        QApplication::beep();
        m_context.status.setText(tr("Nothing to print."));
    }
    return empty;
}

void PrintCommands::printSnippets(const QList<QTreeWidgetItem*>& nodes, const QString& statusText)
{
    QList<const SnippetRecord*> records;
    for (const QTreeWidgetItem* node : nodes) {
        if (const SnippetRecord* record = m_context.treeController.recordOf(node)) {
            records.append(record);
        }
    }
    if (nothingToPrint(records.isEmpty())) {
        return;
    }
    const std::unique_ptr<PrintSurface> surface = openSurface();
    if (!surface) {
        return;
    }
    const QFont font = m_context.views.txtCode->editorFont();
    SnippetPrinter printer(*surface,
                           {m_context.ws.printIndent, databaseLine(), font.family(), font.pointSize(),
                            wordWrap(), m_mnuPageBreak->isChecked()});
    for (const SnippetRecord* record : records) {
        printer.PrintSnippet(*record);
    }
    finish(*surface, statusText);
}

void PrintCommands::mnuPrintSnippetTitle_Click()
{
    QTreeWidgetItem* node = selectedNode(LibraryTree::CodeTag, NotASnippet);
    if (node == nullptr) {
        return;
    }
    if (m_context.views.txtCode->hasSelectedText()) {
        printEditorSelection();
    } else {
        printSnippets({node}, tr("Code snippet printed"));
    }
}

void PrintCommands::printEditorSelection()
{
    CodeEditor& editor = *m_context.views.txtCode;
    int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
    editor.getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    // A selection that ends at the start of a line takes nothing of that line.
    if (indexTo == 0 && lineTo > lineFrom) {
        --lineTo;
    }
    const std::unique_ptr<PrinterSurface> printer = openPrinter();
    if (!printer) {
        return;
    }
    printer->printEditorLines(editor, lineFrom, lineTo, wordWrap());
    finish(*printer, tr("Code snippet printed (selection)"));
}

void PrintCommands::printEditor(CodeEditor& editor, bool colour, bool wordWrap)
{
    const std::unique_ptr<PrinterSurface> printer = openPrinter();
    if (!printer) {
        return;
    }
    editor.SendScintilla(QsciScintillaBase::SCI_SETPRINTCOLOURMODE,
                         colour ? QsciScintillaBase::SC_PRINT_COLOURONWHITE
                                : QsciScintillaBase::SC_PRINT_BLACKONWHITE);
    printer->printEditorLines(editor, -1, -1, wordWrap);
    finish(*printer, QString());
}

void PrintCommands::mnuPrintSnippetCategory_Click()
{
    if (QTreeWidgetItem* node = selectedNode(LibraryTree::CatTag, NotACategory)) {
        printSnippets(childNodes(m_context.tree, node), QString());
    }
}

void PrintCommands::mnuPrintSnippetLanguage_Click()
{
    QTreeWidgetItem* node = selectedNode(LibraryTree::LangTag, NotALanguage);
    if (node == nullptr) {
        return;
    }
    QList<QTreeWidgetItem*> snippets;
    for (QTreeWidgetItem* category : childNodes(m_context.tree, node)) {
        snippets += childNodes(m_context.tree, category);
    }
    printSnippets(snippets, QString());
}

void PrintCommands::mnuPrintTitleTitle_Click()
{
    QTreeWidgetItem* node = selectedNode(LibraryTree::CodeTag, NotATitle);
    const SnippetRecord* record = node ? m_context.treeController.recordOf(node) : nullptr;
    if (record == nullptr) {
        return;
    }
    const std::unique_ptr<PrintSurface> surface = openSurface();
    if (!surface) {
        return;
    }
    TitlePrinter(*surface, m_context.ws.printIndent, databaseLine()).printTitle(record->Title);
    finish(*surface, QString());
}

void PrintCommands::mnuPrintTitleCategory_Click()
{
    QTreeWidgetItem* node = selectedNode(LibraryTree::CatTag, NotACategory);
    if (node == nullptr || nothingToPrint(LibraryTree::childTotal(node) == 0)) {
        return;
    }
    QStringList titles;
    for (const QTreeWidgetItem* snippet : childNodes(m_context.tree, node)) {
        titles.append(snippet->text(0));
    }
    const std::unique_ptr<PrintSurface> surface = openSurface();
    if (!surface) {
        return;
    }
    const QString language = node->parent() ? node->parent()->text(0) : QString();
    TitlePrinter(*surface, m_context.ws.printIndent, databaseLine())
        .printCategoryTitles(language, node->text(0), titles);
    finish(*surface, QString());
}

void PrintCommands::mnuPrintTitleLanguage_Click()
{
    QTreeWidgetItem* node = selectedNode(LibraryTree::LangTag, NotALanguage);
    if (node == nullptr) {
        return;
    }
    QStringList titles;
    for (QTreeWidgetItem* category : childNodes(m_context.tree, node)) {
        for (const QTreeWidgetItem* snippet : childNodes(m_context.tree, category)) {
            titles.append(snippet->text(0));
        }
    }
    if (nothingToPrint(titles.isEmpty())) {
        return;
    }
    const std::unique_ptr<PrintSurface> surface = openSurface();
    if (!surface) {
        return;
    }
    TitlePrinter(*surface, m_context.ws.printIndent, databaseLine()).printLanguageTitles(titles);
    finish(*surface, QString());
}

void PrintCommands::mnuPrintTreeSnippets_Click()
{
    QList<OutlineNode> roots;
    {
        const WaitCursor wait;
        roots.reserve(m_context.tree.topLevelItemCount());
        for (int i = 0; i < m_context.tree.topLevelItemCount(); ++i) {
            roots.append(outlineOf(m_context.tree, m_context.tree.topLevelItem(i)));
        }
    }
    const std::unique_ptr<PrintSurface> surface = openSurface();
    if (!surface) {
        return;
    }
    TitlePrinter(*surface, m_context.ws.printIndent, databaseLine()).printOutline(roots);
    finish(*surface, QString());
}

void PrintCommands::mnuPrintForm_Click()
{
    const QImage picture = m_context.window.grab().toImage();
    const std::unique_ptr<PrinterSurface> printer = openPrinter();
    if (!printer) {
        return;
    }
    printer->printPicture(picture);
    finish(*printer, QString());
}

void PrintCommands::printText(const QString& text)
{
    const std::unique_ptr<PrintSurface> surface = openSurface();
    if (!surface) {
        return;
    }
    surface->printLine(text);
    finish(*surface, QString());
}
