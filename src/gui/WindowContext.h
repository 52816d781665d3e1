#pragma once

#include "gui/SnippetViews.h"

class CommandToolbar;
class LibraryTree;
class QLabel;
class QMenu;
class QWidget;
class SettingsStore;
class StartupController;
class TreeController;
struct Workspace;

// The top-level menus of the main window; each controller adds its own items to them.
struct MainMenus
{
    QMenu* file = nullptr;          // "&File"
    QMenu* edit = nullptr;          // "&Edit": node commands and the clipboard
    QMenu* view = nullptr;          // "&View": tree views and the search frame
    QMenu* search = nullptr;        // "&Search": bookmarks and word lists
    QMenu* options = nullptr;       // "&Options": general switches
    QMenu* editorOptions = nullptr; // "&Editor" inside Options
    QMenu* actions = nullptr;       // "&Actions": macros, maintenance
    QMenu* import = nullptr;        // "&Import": server and local snippets
    QMenu* help = nullptr;          // "&Help"
    QMenu* codePopUp = nullptr;     // "mnuPopUpCodeMax": the code editor's right-button menu
};

// What the main window hands every controller: the shared state, the views and the menus.
struct WindowContext
{
    Workspace& ws;
    SettingsStore& settings;
    LibraryTree& tree;
    TreeController& treeController;
    StartupController& startup;
    SnippetViews views;
    CommandToolbar& toolbar;
    QLabel& status;
    MainMenus menus;
    QWidget& window;
};
