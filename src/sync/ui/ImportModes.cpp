#include "sync/ui/ImportModes.h"

#include "gui/BackgroundWork.h"
#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/ProgressWindow.h"
#include "gui/Prompts.h"
#include "gui/SearchFrame.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "import/ImportExtensions.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "store/LibraryOrdering.h"
#include "store/RemoteCodeFile.h"
#include "sync/Comparison.h"
#include "sync/RemoteImport.h"
#include "sync/ServerFiles.h"
#include "sync/ui/ComparisonList.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

namespace {

const QString Transfer = QStringLiteral("transfer");
const QString Drive = QStringLiteral("drive");
const QString Import = QStringLiteral("Import");
const QString Search = QStringLiteral("Search");
const QString SearchCaption = QStringLiteral("Search");

const QString ImportFileTitle = QStringLiteral("Select Language Source Code Files");
// The description users know, then the patterns Qt reads from the last parentheses.
const QString ImportFileFilter =
    QStringLiteral("Source Code Files (*.txt, *.htm; *.html, *.bas, *.frm, *.pl, *.h, *.cpp, *.java, *.zq5, "
                   "*.code-snippets, *.json, db.json, massCode.db, *.toml) "
                   "(*.txt *.htm *.html *.bas *.frm *.pl *.h *.cpp *.java *.zq5 *.code-snippets *.json *.db "
                   "*.toml)");

const QString UnreadableCopyText = QStringLiteral("The server copy of the library could not be read.");

// Runs the download on a worker thread behind a busy window whose Cancel stops it; the window
// stays responsive, and modal, meanwhile.
HttpDownload::Result downloadRemoteCodeFile(QWidget& window, const QString& serverUrl, const QString& folder)
{
    std::atomic<bool> cancel{false};
    HttpDownload::Result result;
    ProgressWindow busy(&window, QStringLiteral("Download Snippets From Zorbeth Server"),
                        QLatin1String(ServerFiles::RetrievingStatus));
    busy.onCancel([&cancel] { cancel = true; });
    runInBackground([&] { result = ServerFiles::DownloadRemoteCodeFile(serverUrl, folder, &cancel); });
    return result;
}

} // namespace

ImportModes::ImportModes(WindowContext& context, SearchFrame& frame, ComparisonList& list,
                         std::function<void()> treeRebuilt, QObject* parent)
    : QObject(parent), m_context(context), m_frame(frame), m_list(list), m_treeRebuilt(std::move(treeRebuilt))
{
    createCommands();
}

void ImportModes::createCommands()
{
    QMenu* menu = m_context.menus.import;
    auto item = [this, menu](const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    m_mnuImportRemote = item("mnuImportRemote", tr("&Server snippets"));
    m_mnuImportLocal = item("mnuImportLocal", tr("&Local snippets"));
    menu->addSeparator();
    m_mnuImportSelected = item("mnuImportSelected", tr("&Import Selected Snippets"));
    for (QAction* mark : {m_mnuImportRemote, m_mnuImportLocal}) {
        mark->setCheckable(true);
        // The handlers turn the mark over themselves, after their refusal test.
        connect(mark, &QAction::triggered, this, [this, mark](bool checked) {
            mark->setChecked(!checked);
            if (mark == m_mnuImportRemote) {
                mnuImportRemote_Click();
            } else {
                mnuImportLocal_Click();
            }
        });
    }
    connect(m_mnuImportSelected, &QAction::triggered, this, &ImportModes::ImportRemoteCode);

    // The buttons have changed their state when their commands run. Their menu marks follow, so
    // the refusal of the other mode's menu command sees the mode that is on.
    m_context.toolbar.setCommand(Transfer, [this] {
        m_mnuImportRemote->setChecked(buttonDown(Transfer));
        const WaitCursor wait;
        TransferServerSnippets();
    });
    m_context.toolbar.setCommand(Drive, [this] {
        m_mnuImportLocal->setChecked(buttonDown(Drive));
        const WaitCursor wait;
        TransferLocalSnippets();
    });
    m_context.toolbar.setCommand(Import, [this] { ImportRemoteCode(); });
    m_context.toolbar.setButtonEnabled(Import, false);
}

bool ImportModes::buttonDown(const QString& key) const
{
    return m_context.toolbar.button(key)->isChecked();
}

void ImportModes::setStatus(const QString& text)
{
    m_context.status.setText(text);
}

void ImportModes::mnuImportRemote_Click()
{
    toggleMode(*m_mnuImportRemote, *m_mnuImportLocal,
               QStringLiteral("You must unselect Import Local Snippets before using this option"), Transfer,
               &ImportModes::TransferServerSnippets);
}

void ImportModes::mnuImportLocal_Click()
{
    toggleMode(*m_mnuImportLocal, *m_mnuImportRemote,
               QStringLiteral("You must unselect Import Server Snippets before using this option"), Drive,
               &ImportModes::TransferLocalSnippets);
}

void ImportModes::toggleMode(QAction& mine, const QAction& other, const QString& refusal,
                             const QString& button, void (ImportModes::*transfer)())
{
    if (other.isChecked()) {
        setStatus(refusal);
        QApplication::beep();
        return;
    }
    mine.setChecked(!mine.isChecked());
    m_context.toolbar.button(button)->setChecked(mine.isChecked());
    const WaitCursor wait;
    (this->*transfer)();
}

void ImportModes::enterMode(const QString& caption, const QString& other)
{
    m_context.tree.finishLabelEdit();
    m_frame.setFrameVisible(true);
    m_frame.setCaption(caption);
    m_context.toolbar.setButtonEnabled(Import, true);
    m_context.toolbar.setButtonEnabled(Search, false);
    m_context.toolbar.setButtonEnabled(other, false);
    m_frame.setDisplayFrameCommandEnabled(false);
    m_frame.FrameSearchControlsVisible(false);
    m_list.clearList();
    m_list.setViewsVisible(true);
    m_frame.requestLayout();
    m_list.layoutViews();
    QCoreApplication::processEvents();
}

void ImportModes::leaveMode(const QString& other)
{
    m_frame.setCaption(SearchCaption);
    m_context.toolbar.setButtonEnabled(other, true);
    m_context.toolbar.setButtonEnabled(Search, true);
    m_frame.setDisplayFrameCommandEnabled(true);
    m_context.toolbar.setButtonEnabled(Import, false);
    m_frame.setFrameVisible(m_frame.searchButtonDown());
    m_frame.FrameSearchControlsVisible(true);
    m_frame.focusSearchBox();
    m_list.setViewsVisible(false);
    m_frame.requestLayout();
    setStatus(QString());
}

void ImportModes::TransferServerSnippets()
{
    if (!buttonDown(Transfer)) {
        leaveMode(Drive);
        return;
    }
    enterMode(QStringLiteral("Server Source Code (Differences)"), Drive);
    m_list.setImportFileName(QString());
    loadServerCopy();
}

void ImportModes::loadServerCopy()
{
    Workspace& ws = m_context.ws;
    setStatus(QLatin1String(ServerFiles::RetrievingStatus));
    const HttpDownload::Result result =
        downloadRemoteCodeFile(m_context.window, ws.options.ServerURL, ws.programFolder);
    setStatus(QLatin1String(result.ok ? ServerFiles::RetrievedStatus : ServerFiles::RetrievalFailedStatus));
    m_list.setStaged({});
    // A body that arrived whole from the server's point of view but is no library (cut off, or a
    // page of the host's) was found, yet cannot be read.
    const bool arrivedUnreadable =
        !result.ok && !result.cancelled && result.httpStatus >= 200 && result.httpStatus < 300;
    if (result.cancelled) {
        setStatus(QLatin1String(ServerFiles::CancelledStatus));
        return;
    }
    if (!result.ok && !arrivedUnreadable) {
        QApplication::beep();
        setStatus(QLatin1String(ServerFiles::NotFoundStatus));
        Prompts::message(&m_context.window, result.error, QLatin1String(RemoteCodeFile::LoadTitle),
                         Prompts::Icon::Exclamation);
        return;
    }
    CodeArray staged;
    QString error = result.error;
    if (result.ok) {
        RemoteCodeFile::LoadRemoteCodeDataFromFile(ServerFiles::remoteCopyPath(ws.programFolder), staged,
                                                   &error);
    }
    listServerCopy(std::move(staged), error);
}

void ImportModes::listServerCopy(CodeArray staged, const QString& error)
{
    if (staged.empty()) {
        // Half a copy would list most of the library as missing from the server, so none is listed.
        m_list.setStaged({});
        m_list.showFailure(UnreadableCopyText);
        Prompts::message(&m_context.window, error, QLatin1String(RemoteCodeFile::LoadTitle),
                         Prompts::Icon::Exclamation);
        return;
    }
    RemoteCodeFile::SortRemoteCodeByLanguage(staged);
    m_list.setStaged(std::move(staged));
    m_list.FillListViewRemote();
}

void ImportModes::compareServerCopy(const QString& path)
{
    if (m_mnuImportLocal->isChecked()) {
        setStatus(QStringLiteral("You must unselect Import Local Snippets before using this option"));
        QApplication::beep();
        return;
    }
    m_mnuImportRemote->setChecked(true);
    m_context.toolbar.button(Transfer)->setChecked(true);
    enterMode(QStringLiteral("Server Source Code (Differences)"), Drive);
    m_list.setImportFileName(QString());
    CodeArray staged;
    QString error;
    RemoteCodeFile::LoadRemoteCodeDataFromFile(path, staged, &error);
    listServerCopy(std::move(staged), error);
}

bool ImportModes::SelectImportFile()
{
    QString& folder = m_context.ws.options.ImportFolder;
    if (folder.isEmpty()) {
        folder = m_context.ws.programFolder;
    }
    const QString path = Prompts::openFile(&m_context.window, ImportFileTitle, folder, ImportFileFilter);
    const bool chosen = !path.isEmpty();
    if (chosen) {
        m_importPath = path;
        folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    }
    setStatus(QStringLiteral("Import file: ") + m_importPath);
    return chosen;
}

void ImportModes::TransferLocalSnippets()
{
    if (!buttonDown(Drive)) {
        leaveMode(Transfer);
        return;
    }
    enterMode(QStringLiteral("Local Source Code (Differences)"), Transfer);
    if (!SelectImportFile()) {
        m_context.toolbar.button(Drive)->setChecked(false);
        leaveMode(Transfer);
        return;
    }
    m_list.setImportFileName(m_importPath);
    CodeArray staged;
    QString error;
    const bool found = ImportExtensions::stageFile(m_importPath, staged, &error);
    if (!error.isEmpty()) {
        Prompts::message(&m_context.window, error, QLatin1String(RemoteCodeFile::LoadTitle),
                         Prompts::Icon::Exclamation);
    }
    if (!found) {
        m_list.setStaged({});
        m_list.showFailure(QLatin1String(Comparison::NothingFoundText));
        return;
    }
    RemoteCodeFile::SortRemoteCodeByLanguage(staged);
    m_list.setStaged(std::move(staged));
    m_list.FillListViewRemote();
}

void ImportModes::ImportRemoteCode()
{
    // The whole library is sorted and its tree made again.
    const WaitCursor wait;
    Workspace& ws = m_context.ws;
    m_context.tree.finishLabelEdit();
    const std::vector<qsizetype> ids = m_list.takeTicked();
    const qsizetype count = RemoteImport::appendStaged(ws.codeArray, m_list.staged(), ids,
                                                       RemoteImport::fieldsFor(m_list.importFileName()));
    if (count > 0) {
        ws.CodeChanged = true;
    }
    LibraryOrdering::SortCodeByLanguage(ws.codeArray);
    m_context.treeController.FillTreeView();
    if (m_treeRebuilt) {
        m_treeRebuilt();
    }
    setStatus(RemoteImport::importedStatus(count, m_list.importFileName()));
}
