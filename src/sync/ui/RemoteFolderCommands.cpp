#include "sync/ui/RemoteFolderCommands.h"

#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/LibraryLock.h"
#include "library/ui/LibraryStorage.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/ui/TreeViews.h"
#include "library/Workspace.h"
#include "settings/AppSettings.h"
#include "store/LibraryOrdering.h"
#include "sync/RemoteFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace {

const QString RemoteKey = QStringLiteral("Remote");
const QString CopyTitle = QStringLiteral("Copy Local Source Code File to Remote Folder");

} // namespace

RemoteFolderCommands::RemoteFolderCommands(WindowContext& context, TreeViews& treeViews,
                                           const StartupMenus& menus, QObject* parent)
    : QObject(parent), m_context(context), m_treeViews(treeViews), m_mnuAutoSave(*menus.mnuAutoSave),
      m_mnuStartupNode(*menus.mnuStartupNode)
{
    QMenu* file = m_context.menus.file;
    file->addSeparator();
    m_mnuUseRemote =
        file->addAction(tr("&Use Remote Database"), this, &RemoteFolderCommands::mnuUseRemote_Click);
    m_mnuUseRemote->setObjectName(QStringLiteral("mnuUseRemote"));
    m_mnuUseRemote->setCheckable(true);
    QAction* select =
        file->addAction(tr("Select Remote &Folder"), this, &RemoteFolderCommands::mnuSelectRootFolder_Click);
    select->setObjectName(QStringLiteral("mnuSelectRootFolder"));
    QAction* copy = file->addAction(tr("&Copy Local Source File to Remote Folder"), this,
                                    &RemoteFolderCommands::mnuCopyLocal_Click);
    copy->setObjectName(QStringLiteral("mnuCopyLocal"));

    // The button has already changed its state when the command runs.
    m_context.toolbar.setCommand(RemoteKey, [this] {
        m_mnuUseRemote->setChecked(!m_mnuUseRemote->isChecked());
        RemoteProcedure();
    });
    m_context.startup.addSettingsClient(this);
}

void RemoteFolderCommands::beep(const QString& text)
{
    QApplication::beep();
    m_context.status.setText(text);
}

QString RemoteFolderCommands::SelectRootFolder()
{
    const QString chosen = Prompts::chooseFolder(&m_context.window, QStringLiteral("Select Output Folder"),
                                                 m_context.ws.options.RF);
    return RemoteFolder::normalise(chosen);
}

void RemoteFolderCommands::mnuSelectRootFolder_Click()
{
    const QString chosen = SelectRootFolder();
    if (!chosen.isEmpty()) {
        m_context.ws.options.RF = chosen;
    }
    const QString& folder = m_context.ws.options.RF;
    m_context.status.setText(QStringLiteral("Remote folder:   ") +
                             (folder.isEmpty() ? QStringLiteral("<not specified>") : folder));
}

void RemoteFolderCommands::mnuUseRemote_Click()
{
    // The menu item has already turned its mark over.
    m_context.toolbar.button(RemoteKey)->setChecked(m_mnuUseRemote->isChecked());
    RemoteProcedure();
}

void RemoteFolderCommands::setRemoteShown(bool down)
{
    m_context.toolbar.button(RemoteKey)->setChecked(down);
    m_mnuUseRemote->setChecked(down);
}

void RemoteFolderCommands::RemoteProcedure()
{
    m_context.tree.finishLabelEdit();
    const bool down = m_context.toolbar.button(RemoteKey)->isChecked();
    if (down && m_context.ws.options.RF.isEmpty()) {
        beep(QString::fromLatin1(RemoteFolder::NotSpecified));
        setRemoteShown(false);
        return;
    }
    const int position = m_context.tree.positionOf(m_context.tree.currentItem());
    const int localBefore = m_localPosition;
    const int remoteBefore = m_remotePosition;
    (down ? m_localPosition : m_remotePosition) = position;
    if (!openDatabase(down)) {
        // Nothing changed: the library shown stays, and so do the button and the menu.
        m_localPosition = localBefore;
        m_remotePosition = remoteBefore;
        setRemoteShown(!down);
    }
}

bool RemoteFolderCommands::leaveLibrary()
{
    Workspace& ws = m_context.ws;
    if (!ws.CodeChanged) {
        return true;
    }
    if (ws.readOnly) {
        return Prompts::question(&m_context.window,
                                 QStringLiteral("The library is open read-only, so the changes cannot be "
                                                "saved. Open the other library and discard them?"),
                                 QStringLiteral("Close Zorbeth"),
                                 {Prompts::Answer::No, Prompts::Answer::Yes}) == Prompts::Answer::Yes;
    }
    // A library whose changes could not be saved stays open, changes and all.
    if (m_mnuAutoSave.isChecked()) {
        return LibraryStorage::save(&m_context.window, ws);
    }
    return LibraryStorage::saveOrDiscard(&m_context.window, ws, QStringLiteral("Close Zorbeth"));
}

bool RemoteFolderCommands::openDatabase(bool remote)
{
    Workspace& ws = m_context.ws;
    if (!leaveLibrary()) {
        return false;
    }
    if (remote && ws.options.RF.isEmpty()) {
        beep(QString::fromLatin1(RemoteFolder::NotSpecified));
        return false;
    }
    const QString prefix = remote ? ws.options.RF : QString();
    const QString before = ws.databasePrefix;
    ws.databasePrefix = prefix;
    if (!m_context.startup.moveLibraryLock(QFileInfo(ws.databasePath()).absolutePath())) {
        ws.databasePrefix = before;
        return false;
    }
    {
        WaitCursor wait;
        LibraryStorage::load(&m_context.window, ws);
        LibraryOrdering::SortCodeByLanguage(ws.codeArray);
        m_treeViews.rebuildTree();
    }

    LibraryTree& tree = m_context.tree;
    int position = remote ? m_remotePosition : m_localPosition;
    if (!m_mnuStartupNode.isChecked() || position < 1 || position > tree.nodeCount()) {
        position = 1;
    }
    if (QTreeWidgetItem* node = tree.nodeAtPosition(position)) {
        {
            const QSignalBlocker block(&tree);
            tree.setCurrentItem(node);
        }
        m_context.treeController.Tree_NodeClick(node);
        tree.scrollToItem(node);
    }
    // One line: a status bar that grows by two lines moves the whole window's layout.
    m_context.status.setText(QStringLiteral("Source code file opened: ") +
                             QDir::toNativeSeparators(ws.databasePath()));
    return true;
}

void RemoteFolderCommands::mnuCopyLocal_Click()
{
    Workspace& ws = m_context.ws;
    if (ws.options.RF.isEmpty()) {
        beep(QString::fromLatin1(RemoteFolder::NotSpecified));
        return;
    }
    const QString folder = RemoteFolder::normalise(ws.options.RF);
    const QString target = folder + ws.databaseFileName;
    // Copying over the library this window works on would change its file underneath it: a later
    // save would then write object positions that point into another resource file.
    if (QFileInfo(folder) == QFileInfo(QFileInfo(ws.databasePath()).absolutePath())) {
        beep(QStringLiteral("The library in %1 is the one open in this window; it is not copied over while "
                            "it is open.")
                 .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    // Held until the copy is done, so no other program opens the shared library half-written.
    LibraryLock lock;
    QString holder;
    if (!lock.acquire(folder, &holder)) {
        beep(QStringLiteral("The library was not copied. ") + holder);
        return;
    }
    const bool exists = QFile::exists(target);
    if (exists && Prompts::question(&m_context.window, QStringLiteral("File exists. Overwrite?"), CopyTitle,
                                    {Prompts::Answer::Ok, Prompts::Answer::Cancel}) != Prompts::Answer::Ok) {
        return;
    }
    RemoteFolder::CopyResult result;
    {
        WaitCursor wait;
        result = RemoteFolder::copyLocalLibrary(ws.programFolder, ws.options.RF, ws.databaseFileName,
                                                ws.resourceFileName, exists);
    }
    if (!result.ok) {
        m_context.status.setText(QStringLiteral("The library was not copied to ") +
                                 QDir::toNativeSeparators(target));
        Prompts::message(&m_context.window, result.error, CopyTitle, Prompts::Icon::Exclamation);
        return;
    }
    m_context.status.setText(QStringLiteral("Library copied to ") + QDir::toNativeSeparators(target));
}

void RemoteFolderCommands::applySettings(const AppSettings& settings)
{
    bool down = settings.Remote != 0;
    // The library in use at the last exit opens again: the shared folder's when the button was down.
    if (down && !m_context.ws.StartupDone) {
        const QString folder = settings.RFPrefix.isEmpty() ? settings.RF : settings.RFPrefix;
        const QString previous = m_context.ws.databasePrefix;
        m_context.ws.databasePrefix = RemoteFolder::normalise(folder);
        down = !folder.isEmpty() &&
               m_context.startup.moveLibraryLock(QFileInfo(m_context.ws.databasePath()).absolutePath());
        if (!down) {
            m_context.ws.databasePrefix = previous;
        }
    }
    setRemoteShown(down);
}

void RemoteFolderCommands::collectSettings(AppSettings& settings) const
{
    settings.Remote = m_context.toolbar.button(RemoteKey)->isChecked() ? 1 : 0;
    settings.RFPrefix = m_context.ws.databasePrefix;
}
