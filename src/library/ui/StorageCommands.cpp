#include "library/ui/StorageCommands.h"

#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/LibraryFile.h"
#include "library/ui/LibraryStorage.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeViews.h"
#include "library/Workspace.h"
#include "store/Backup.h"
#include "store/LibraryOrdering.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>

namespace {

const QString BackupTitle = QStringLiteral("Backup Last Saved Code File");
const QString RestoreTitle = QStringLiteral("Restore Code Data");

} // namespace

StorageCommands::StorageCommands(WindowContext& context, TreeViews& treeViews, QObject* parent)
    : QObject(parent), m_context(context), m_treeViews(treeViews)
{
    QMenu* file = m_context.menus.file;
    QAction* save = file->addAction(tr("&Save"), this, &StorageCommands::mnuSave_Click);
    save->setObjectName(QStringLiteral("mnuSave"));
    save->setShortcut(QKeySequence::Save);
    QAction* backup = file->addAction(tr("&Backup"), this, &StorageCommands::mnuBackup_Click);
    backup->setObjectName(QStringLiteral("mnuBackup"));
    QAction* restore = file->addAction(tr("&Restore Backup"), this, &StorageCommands::mnuRestore_Click);
    restore->setObjectName(QStringLiteral("mnuRestore"));
    m_context.toolbar.setCommand(QStringLiteral("Save"), [this] { mnuSave_Click(); });
}

bool StorageCommands::confirm(const QString& title) const
{
    return Prompts::question(&m_context.window, QStringLiteral("Are you sure?"), title,
                             {Prompts::Answer::Ok, Prompts::Answer::Cancel}) == Prompts::Answer::Ok;
}

void StorageCommands::mnuSave_Click()
{
    // A name still being typed into the tree belongs in what is saved.
    m_context.tree.finishLabelEdit();
    if (m_context.ws.readOnly) {
        QApplication::beep();
        m_context.status.setText(QLatin1String(LibraryFile::ReadOnlyMessage));
        return;
    }
    QString keptAside;
    if (LibraryStorage::save(&m_context.window, m_context.ws, &keptAside)) {
        m_context.status.setText(keptAside.isEmpty()
                                     ? QStringLiteral("Changes saved")
                                     : QStringLiteral("Changes saved as ") + QFileInfo(keptAside).fileName());
    }
}

void StorageCommands::mnuBackup_Click()
{
    if (!confirm(BackupTitle)) {
        return;
    }
    const Backup::Result result = [&] {
        const WaitCursor wait;
        return Backup::backup(m_context.ws.databasePath());
    }();
    if (!result.ok()) {
        const QString advice = result.status == Backup::Status::SourceMissing
                                   ? QStringLiteral(" Save the library first.")
                                   : QString();
        Prompts::message(&m_context.window, result.error + advice + QStringLiteral(" No backup was made."),
                         BackupTitle, Prompts::Icon::Exclamation);
        return;
    }
    m_context.status.setText(QStringLiteral("Backup completed"));
}

void StorageCommands::mnuRestore_Click()
{
    Workspace& ws = m_context.ws;
    if (ws.readOnly) {
        QApplication::beep();
        m_context.status.setText(QStringLiteral("The library is open read-only because another program is "
                                                "using it; nothing was restored."));
        return;
    }
    if (!confirm(RestoreTitle)) {
        return;
    }
    if (!ws.saveBlockedReason.isEmpty()) {
        // The library file could not be read nor kept aside; replacing it would lose it for good.
        Prompts::message(&m_context.window, ws.saveBlockedReason + QStringLiteral(" Nothing was restored."),
                         RestoreTitle, Prompts::Icon::Exclamation);
        return;
    }
    const Backup::Result result = [&] {
        const WaitCursor wait;
        return Backup::restore(ws.databasePath());
    }();
    if (!result.ok()) {
        Prompts::message(&m_context.window, result.error + QStringLiteral(" Nothing was restored."),
                         RestoreTitle, Prompts::Icon::Exclamation);
        return;
    }
    {
        const WaitCursor wait;
        LibraryStorage::load(&m_context.window, ws);
        LibraryOrdering::SortCodeByLanguage(ws.codeArray);
        m_treeViews.rebuildTree();
    }
    ws.CodeChanged = false;
}
