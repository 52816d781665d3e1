#pragma once

#include "gui/SettingsClient.h"

#include <QObject>

class QAction;
class TreeViews;
struct StartupMenus;
struct WindowContext;

// The library in a shared folder: choosing the folder, switching between it and the program
// folder's library (toolbar "Remote"), and copying the local library there.
class RemoteFolderCommands : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    // menus.mnuAutoSave and menus.mnuStartupNode decide how a library is left and which node of the
    // next one is selected.
    RemoteFolderCommands(WindowContext& context, TreeViews& treeViews, const StartupMenus& menus,
                         QObject* parent = nullptr);

    // The folder browser; the chosen folder as stored, or an empty string.
    QString SelectRootFolder();
    void mnuSelectRootFolder_Click();

    // Turns the menu's mark over, sets the toolbar button to match and switches libraries.
    void mnuUseRemote_Click();

    // Opens the library the toolbar button "Remote" asks for.
    void RemoteProcedure();

    void mnuCopyLocal_Click();

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

private:
    // Loads one of the two libraries; false when the switch was abandoned and nothing changed.
    bool openDatabase(bool remote);
    // Saves or asks about unsaved changes before leaving the library; false to stay.
    bool leaveLibrary();
    void setRemoteShown(bool down);
    void beep(const QString& text);

    WindowContext& m_context;
    TreeViews& m_treeViews;
    QAction& m_mnuAutoSave;
    QAction& m_mnuStartupNode;
    QAction* m_mnuUseRemote = nullptr;
    int m_localPosition = 0; // tree positions when each library was left; 0: not left yet
    int m_remotePosition = 0;
};
