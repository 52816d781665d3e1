#include "sync/ui/FtpCommands.h"

#include "gui/WindowContext.h"
#include "sync/ui/FtpWindow.h"
#include "sync/ui/ImportModes.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

FtpCommands::FtpCommands(WindowContext& context, TreeViews& treeViews, ImportModes& importModes,
                         QObject* parent)
    : QObject(parent), m_context(context), m_treeViews(treeViews), m_importModes(importModes)
{
    QAction* synchronize =
        m_context.menus.file->addAction(tr("Synchroni&ze Server"), this, &FtpCommands::mnuSaveFTP_Click);
    synchronize->setObjectName(QStringLiteral("mnuSaveFTP"));
    QAction* compare = m_context.menus.import->addAction(tr("Compare with Server Copy"), this,
                                                         &FtpCommands::mnuCompareFTP_Click);
    compare->setObjectName(QStringLiteral("mnuCompareFTP"));
}

void FtpCommands::mnuSaveFTP_Click()
{
    openWindow(false);
}

void FtpCommands::mnuCompareFTP_Click()
{
    openWindow(true);
}

void FtpCommands::openWindow(bool compareAtOnce)
{
    FtpWindow window(m_context, m_treeViews, &m_context.window);
    window.setTransferOptions(m_options);
    if (compareAtOnce) {
        QTimer::singleShot(0, &window, &FtpWindow::cmdCompare_Click);
    }
    emit windowOpened(&window);
    window.exec();
    // The comparison list lives in the main window, so the copy is compared once the window is gone.
    if (!window.comparisonFile().isEmpty()) {
        m_importModes.compareServerCopy(window.comparisonFile());
    }
}
