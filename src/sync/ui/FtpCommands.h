#pragma once

#include "sync/FtpTransfer.h"

#include <functional>
#include <QObject>

class FtpWindow;
class ImportModes;
class TreeViews;
struct WindowContext;

// The FTP commands of the main window: "Synchroni&ze Server" in the File menu opens the window
// "Server Synchronization"; "Compare with Server Copy" in the Import menu fetches the server's copy
// through the same window and lists it in server comparison mode.
class FtpCommands : public QObject
{
    Q_OBJECT

public:
    FtpCommands(WindowContext& context, TreeViews& treeViews, ImportModes& importModes,
                QObject* parent = nullptr);

    // Opens the window modally.
    void mnuSaveFTP_Click();

    // Opens the window and fetches the server copy at once; a fetched copy is compared.
    void mnuCompareFTP_Click();

    // Time-outs and trusted certificates of the window's transfers (tests shorten them).
    void setTransferOptions(const FtpTransfer::Options& options) { m_options = options; }

signals:
    // The window was created and is about to be shown (tests drive it from here).
    void windowOpened(FtpWindow* window);

private:
    void openWindow(bool compareAtOnce);

    WindowContext& m_context;
    TreeViews& m_treeViews;
    ImportModes& m_importModes;
    FtpTransfer::Options m_options;
};
