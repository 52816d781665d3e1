#include "export/ui/ExportCommands.h"

#include "export/HtmlTemplate.h"
#include "export/LanguageExport.h"
#include "export/PageWriter.h"
#include "export/RtfToHtml.h"
#include "export/SnippetExport.h"
#include "export/ui/RichTextRenderer.h"
#include "gui/BackgroundWork.h"
#include "gui/CodeEditor.h"
#include "gui/ProgressWindow.h"
#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>

namespace {

const QString ExportTitle = QStringLiteral("Export Snippet to HTML");
const QString LanguageTitle = QStringLiteral("Export Language to HTML");

// While it lives, text put into the editor is the program's own step, not an edit of the snippet.
class UpdateGuard
{
public:
    explicit UpdateGuard(Workspace& ws) : m_ws(ws), m_guarded(ws.UpdateInProgress)
    {
        m_ws.UpdateInProgress = true;
    }
    ~UpdateGuard() { m_ws.UpdateInProgress = m_guarded; }
    UpdateGuard(const UpdateGuard&) = delete;
    UpdateGuard& operator=(const UpdateGuard&) = delete;

private:
    Workspace& m_ws;
    bool m_guarded;
};

} // namespace

ExportCommands::ExportCommands(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("exportCommands"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       void (ExportCommands::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_context.menus.file->addSeparator();
    item(m_context.menus.file, "mnuExport", tr("&Export Snippet to HTML"), &ExportCommands::mnuExport_Click);
    item(m_context.menus.file, "mnuExportLanguage", tr("Export &Language to HTML"),
         &ExportCommands::mnuExportLanguage_Click);
    m_context.menus.actions->addSeparator();
    item(m_context.menus.actions, "mnuClearCounter", tr("Clear &HTML Counter"),
         &ExportCommands::mnuClearCounter_Click);
    item(m_context.menus.actions, "mnuSelectTemplate", tr("S&elect HTML Template"),
         &ExportCommands::mnuSelectTemplate_Click);
    // The numbered export reads this mark. A check item has already turned its mark over when it
    // reports the click; the handler is what turns it, so the click puts it back first.
    m_mnuIncrementHTML = m_context.menus.options->addAction(tr("&Increment HTML Filename"));
    m_mnuIncrementHTML->setObjectName(QStringLiteral("mnuIncrementHTML"));
    m_mnuIncrementHTML->setCheckable(true);
    connect(m_mnuIncrementHTML, &QAction::triggered, this, [this](bool checked) {
        m_mnuIncrementHTML->setChecked(!checked);
        mnuIncrementHTML_Click();
    });

    // After the editor's own items in its right-button menu.
    m_context.menus.codePopUp->addSeparator();
    item(m_context.menus.codePopUp, "mnuCMCopyRichText", tr("Copy as &Rich Text"),
         &ExportCommands::mnuCMCopyRichText_Click);
    m_context.startup.addSettingsClient(this);
}

void ExportCommands::applySettings(const AppSettings& settings)
{
    m_mnuIncrementHTML->setChecked(settings.IncrementHTML);
    SetHTML();
}

void ExportCommands::collectSettings(AppSettings& settings) const
{
    settings.IncrementHTML = m_mnuIncrementHTML->isChecked();
}

void ExportCommands::SetHTML()
{
    if (!HtmlTemplate::SetHTML(m_context.ws.options.HTMLTemplate, m_context.ws.programFolder)) {
        Prompts::message(&m_context.window, QStringLiteral("HTML template error"),
                         QStringLiteral("HTML Template Error"), Prompts::Icon::Critical);
    }
}

void ExportCommands::refuse(const QString& text)
{
    QApplication::beep();
    m_context.status.setText(text);
}

// The snippet page

void ExportCommands::mnuExport_Click()
{
    // The counter moves on before the selection is checked, as it always has.
    const QString suffix =
        m_mnuIncrementHTML->isChecked() ? SnippetExport::nextCounter(m_context.settings) : QString();
    if (LibraryTree::tag(m_context.tree.currentItem()) != LibraryTree::CodeTag) {
        refuse(QStringLiteral("Please select snippet. Current selection is not a snippet."));
        return;
    }
    ExportSnippetIRUN(suffix, m_context.treeController.Selection());
    QCoreApplication::processEvents();
}

void ExportCommands::ExportSnippetIRUN(const QString& sNumber, qsizetype iPos)
{
    const CodeArray& records = m_context.ws.codeArray;
    if (iPos < 0 || iPos >= qsizetype(records.size())) {
        return;
    }
    // The code as the editor shows it now, with one line end more; the editor's text stays as it is.
    const QByteArray rtf = RichTextRenderer::toRtf(*m_context.views.txtCode, true);
    SnippetExport::PageRequest request;
    request.folder = m_context.ws.programFolder;
    request.rtfFile = QLatin1String(SnippetExport::RtfFileName);
    request.pageFile = SnippetExport::pageName(sNumber);
    request.convertedFile = request.pageFile;
    request.templatePath = m_context.ws.options.HTMLTemplate;
    QString error;
    if (!SnippetExport::writePage(request, rtf, records[size_t(iPos)], &error)) {
        Prompts::message(&m_context.window, QStringLiteral("Error starting export: ") + error, ExportTitle,
                         Prompts::Icon::Critical);
    }
}

// The language site

void ExportCommands::mnuExportLanguage_Click()
{
    const WaitCursor wait;
    ExportLanguageWithColor();
}

void ExportCommands::ExportLanguageWithColor()
{
    QTreeWidgetItem* language = m_context.tree.currentItem();
    if (LibraryTree::tag(language) != LibraryTree::LangTag) {
        refuse(QStringLiteral("Please select a language."));
        return;
    }
    if (language->childCount() == 0) {
        return;
    }
    // The categories and pages in tree order, taken before any event can run.
    const QString languageName = LibraryTree::nodeName(language);
    QStringList categories;
    QList<SitePage> pages;
    for (int c = 0; c < language->childCount(); ++c) {
        // Read without making the rows not made yet: a language of 50,000 snippets would hold the
        // window still while they were made.
        const QTreeWidgetItem* category = language->child(c);
        categories.append(LibraryTree::nodeName(category));
        const QList<qsizetype> indexes = m_context.tree.snippetIndexes(category);
        const QStringList titles = m_context.tree.childTexts(category);
        for (qsizetype s = 0; s < indexes.size(); ++s) {
            pages.append({indexes.at(s), c, titles.at(s)});
        }
    }

    QString exportFolder;
    QString error;
    emit syntaxRequested();
    // The box blocks the window's input from here on, so nothing changes the pages taken above.
    ProgressWindow progress(&m_context.window, LanguageTitle, int(pages.size()));
    // Events run whenever this much time has passed without them: a page takes far less, and the
    // window repaints and Cancel works without a run of the event loop for every page.
    constexpr qint64 EventsEveryMs = 20;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    int shownPage = 0;
    auto pace = [&] {
        if (sinceEvents.elapsed() >= EventsEveryMs) {
            progress.step(shownPage);
            sinceEvents.restart();
        }
    };
    LanguageExport::OldPages oldPages;
    if (!LanguageExport::prepareFolder(m_context.ws.programFolder, exportFolder, &error, pace, &oldPages)) {
        Prompts::message(&m_context.window, QStringLiteral("Error starting language export: ") + error,
                         LanguageTitle, Prompts::Icon::Critical);
        return;
    }
    const QString base = LanguageExport::baseName(languageName);
    const QString indexFile = base + QStringLiteral(".htm");
    // Read once for all pages, after the folder was emptied, as every page would read it.
    SiteTemplate siteTemplate;
    if (!HtmlTemplate::read(m_context.ws.options.HTMLTemplate, siteTemplate.text, &siteTemplate.error)) {
        siteTemplate.text.clear();
    }

    // The editor shows every page's code in turn: its text, place and undo history come back after.
    CodeEditor& editor = *m_context.views.txtCode;
    const QString kept = editor.text();
    int line = 0;
    int index = 0;
    editor.getCursorPosition(&line, &index);
    const int firstLine = editor.firstVisibleLine();
    const bool modified = editor.isModified();
    // The pages' long lines would widen the scrolled width of the text shown after them.
    const int scrollWidth = editor.scrollWidth();
    // The two switches of the editor held off meanwhile: painting, and the undo history.
    editor.setUpdatesEnabled(false);
    editor.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);

    QStringList indexLines{LanguageExport::headingLine(languageName)};
    // Every category gets its heading, those without snippets too, in tree order.
    qsizetype headed = 0;
    auto headCategoriesUpTo = [&](qsizetype last) {
        for (; headed <= last; ++headed) {
            indexLines << (headed == 0 ? LanguageExport::firstCategoryLine(categories.at(headed))
                                       : LanguageExport::nextCategoryLine(categories.at(headed)));
        }
    };
    int written = 0;
    int failed = 0;
    bool cancelled = false;
    {
        const UpdateGuard guard(m_context.ws);
        // The window renders a page's code while the writer converts and writes the pages before it.
        PageWriter writer(QDir(exportFolder), siteTemplate.text, indexFile, oldPages);
        // The pages the writer finished, taken in order: each is linked from the index and counted.
        // Once the export is cancelled, a page finished after the last one reported is taken back,
        // so the site holds exactly the pages its index links.
        auto collect = [&] {
            for (const PageWriter::Result& result : writer.take()) {
                if (cancelled) {
                    if (result.written) {
                        QFile::remove(
                            QDir(exportFolder).filePath(LanguageExport::pageName(base, result.number)));
                    }
                    continue;
                }
                const SitePage& page = pages.at(result.number - 1);
                headCategoriesUpTo(page.category);
                indexLines << LanguageExport::linkLine(base, result.number, page.title);
                written += result.written ? 1 : 0;
                // The first failure is shown; the rest (a full disk fails every page) only count.
                if (!result.written && ++failed == 1) {
                    Prompts::message(&m_context.window,
                                     QStringLiteral("Error starting language export: ") + result.error,
                                     LanguageTitle, Prompts::Icon::Critical);
                }
                emit languagePageDone(result.number, int(pages.size()));
                shownPage = result.number;
                if (progress.cancelled() && result.number < pages.size()) {
                    cancelled = true;
                    writer.cancel();
                }
            }
        };
        auto stopped = [&] {
            if (!cancelled && progress.cancelled()) {
                cancelled = true;
                writer.cancel();
            }
            return cancelled;
        };
        // A long page takes a while at every step: the window repaints, and Cancel works, meanwhile.
        const RtfToHtml::Progress keepResponsive = [&] {
            pace();
            collect();
            return !stopped();
        };
        for (int n = 1; n <= pages.size() && keepResponsive(); ++n) {
            PageWriter::Job job{n, LanguageExport::pageName(base, n), {}, {}, {}};
            if (!renderPage(pages.at(n - 1).record, siteTemplate, keepResponsive, job)) {
                break; // cancelled half-way through the page: there is no page to link to
            }
            while (!writer.tryAdd(job) && keepResponsive()) {
                writer.wait(10);
            }
        }
        while (!writer.finish(10)) {
            keepResponsive();
        }
        collect();
        editor.setText(kept);
    }
    releaseFreedMemory();
    // Exports before this one left their RTF here; the folder ends without it, as it always has.
    QFile::remove(QDir(exportFolder).filePath(QLatin1String(LanguageExport::RtfFileName)));
    if (!oldPages.removeRest(QDir(exportFolder), &error, pace)) {
        Prompts::message(&m_context.window, QStringLiteral("Error starting language export: ") + error,
                         LanguageTitle, Prompts::Icon::Critical);
    }
    if (!cancelled) {
        headCategoriesUpTo(categories.size() - 1);
    }
    editor.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1UL);
    editor.setModified(modified);
    // Setting another width first also drops the widest line the editor has measured meanwhile.
    editor.setScrollWidth(1);
    editor.setScrollWidth(scrollWidth);
    editor.setFirstVisibleLine(firstLine);
    editor.setCursorPosition(line, index);
    editor.setUpdatesEnabled(true);
    pace();

    const QString where = QDir::toNativeSeparators(exportFolder);
    if (!LanguageExport::writeIndex(QDir(exportFolder).filePath(indexFile), indexLines, &error)) {
        m_context.status.setText(QStringLiteral("Language export failed: no index page in ") + where);
        Prompts::message(&m_context.window, QStringLiteral("Error starting language export: ") + error,
                         LanguageTitle, Prompts::Icon::Critical);
        return;
    }
    const QString counts = QStringLiteral("%1 of %2 pages").arg(written).arg(pages.size());
    m_context.status.setText(
        cancelled
            ? QStringLiteral("Language export cancelled: the site in %1 is partial (%2)").arg(where, counts)
            : QStringLiteral("Language exported to %1 (%2)").arg(where, counts));
}

bool ExportCommands::renderPage(qsizetype iPos, const SiteTemplate& siteTemplate,
                                const RtfToHtml::Progress& progress, PageWriter::Job& job)
{
    const CodeArray& records = m_context.ws.codeArray;
    if (iPos < 0 || iPos >= qsizetype(records.size())) {
        job.failure = QStringLiteral("The snippet is no longer in the library: ") + job.pageFile;
        return true;
    }
    const SnippetRecord& record = records[size_t(iPos)];
    m_context.views.txtCode->setText(record.Code.toString() + QStringLiteral("\r\n"));
    std::optional<QByteArray> rtf = RichTextRenderer::toRtf(*m_context.views.txtCode, false, progress);
    if (!rtf) {
        return false;
    }
    job.failure = siteTemplate.error;
    job.record = record;
    // As the working file held it: the rendering and a line end.
    job.rtf = std::move(*rtf);
    job.rtf.append("\r\n");
    return true;
}

// Template and counter

void ExportCommands::mnuSelectTemplate_Click()
{
    const QString path =
        Prompts::openFile(&m_context.window, QStringLiteral("Select HTML Template"),
                          QDir(m_context.ws.programFolder).filePath(QStringLiteral("html_templates")),
                          QStringLiteral("HTML Files (*.htm *.html)"));
    if (path.isEmpty()) {
        return;
    }
    const QString unfit = HtmlTemplate::unfitReason(path, m_context.ws.programFolder);
    if (!unfit.isEmpty()) {
        m_context.status.setText(QStringLiteral("HTML template not selected"));
        Prompts::message(&m_context.window, unfit, QStringLiteral("Select HTML Template"),
                         Prompts::Icon::Exclamation);
        return;
    }
    m_context.ws.options.HTMLTemplate = QFileInfo(path).absoluteFilePath();
    m_context.status.setText(QStringLiteral("HTML template selected"));
}

void ExportCommands::mnuClearCounter_Click()
{
    SnippetExport::clearCounter(m_context.settings);
}

void ExportCommands::mnuIncrementHTML_Click()
{
    m_mnuIncrementHTML->setChecked(!m_mnuIncrementHTML->isChecked());
}

// Rich text on the clipboard

void ExportCommands::mnuCMCopyRichText_Click()
{
    CodeEditor& editor = *m_context.views.txtCode;
    int start = int(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
    int end = int(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND));
    if (start == end) {
        start = 0;
        end = editor.length();
    }
    const QByteArray rtf = RichTextRenderer::toRtf(editor, start, end);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("application/rtf"), rtf);
    data->setHtml(RtfToHtml::convert(rtf));
    data->setText(editor.hasSelectedText() ? editor.selectedText() : editor.text());
    QApplication::clipboard()->setMimeData(data);
    m_context.status.setText(QStringLiteral("Copied as rich text"));
}
