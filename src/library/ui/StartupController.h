#pragma once

#include "gui/SettingsClient.h"
#include "library/LibraryLock.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>

class CodeEditor;
class LibraryTree;
class QAction;
class QLabel;
class QWidget;
class SettingsStore;
class TreeController;
struct Workspace;

// The menu check items that start-up and shut-down read.
struct StartupMenus
{
    QAction* mnuStartupNode = nullptr;
    QAction* mnuAutoSave = nullptr;
    QAction* mnuMessage = nullptr;
};

// Drives the window's start-up (Form_Load) and its closing (Form_QueryUnload, Form_Unload).
class StartupController : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Running,
        Quit
    };

    StartupController(Workspace& ws, SettingsStore& settings, TreeController& treeController,
                      LibraryTree& tree, CodeEditor& editor, QLabel& status, StartupMenus menus,
                      QWidget& window, QObject* parent = nullptr);

    // Runs the start-up; switches are the command-line words after the options ("clear", "clearx").
    Outcome Form_Load(const QStringList& switches);

    // Decides whether the window may close, saving or asking when the library changed.
    bool Form_QueryUnload();

    // Stores what the run leaves behind: starting node and settings; gives the library's lock back.
    void Form_Unload();

    // Takes the lock of the library in use; when another program holds it, offers to open the
    // library read-only or to quit. False when the user chose to quit.
    bool takeLibraryLock();

    // Gives the library's lock back, before another library is opened or the window closes.
    void releaseLibraryLock() { m_lock.release(); }

    // Takes the lock of the library in folder before the window switches to it; the current library
    // stays locked until then. When another program holds it, offers to open it read-only. False
    // when the user stays with the current library, whose lock is kept.
    bool moveLibraryLock(const QString& folder);

    // Controllers whose views show settings, in the order they are applied.
    void addSettingsClient(SettingsClient* client) { m_clients.append(client); }

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

    // Appends one line to the start-up trace.
    void Ticker(const QString& checkpoint);

    QString trace() const { return m_trace; }
    int startingNode() const { return m_startingNode; }

signals:
    // Start-up steps that other subsystems take part in, in the order they run.
    void loadingSettings(); // before the settings are read: macros
    void loadingLists();    // after the icons: search history, language definitions
    void treeFilled();      // after the tree is built: one-language view, child counts
    void preparingViews();  // after the starting node is chosen: lists, colours
    void greetingDue();     // the status bar's greeting or the daily message; must not wait
    void unloading();       // at shut-down, before the settings are written: macros

private:
    void readSettings();
    void writeSettings();
    bool windowInNormalState() const;
    void checkpoint(const QString& name);
    void selectStartingNode();
    bool closeWithoutSaving();
    void setReadOnly(bool readOnly);

    Workspace& m_ws;
    SettingsStore& m_settings;
    TreeController& m_treeController;
    LibraryTree& m_tree;
    CodeEditor& m_editor;
    QLabel& m_status;
    StartupMenus m_menus;
    QWidget& m_window;
    QList<SettingsClient*> m_clients;
    LibraryLock m_lock;

    int m_startingNode = 1;
    bool m_traceOn = false;
    QString m_trace;
    int m_step = 0;
    QElapsedTimer m_clock;
    qint64 m_previousTick = 0;
    double m_totalSeconds = 0;
};
