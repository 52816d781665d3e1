#pragma once

#include "gui/WindowContext.h"
#include "library/ui/StartupController.h"
#include "library/Workspace.h"

#include <memory>
#include <QMainWindow>

class CodeEditor;
class CommandToolbar;
class ComparisonList;
class EditorController;
class ExportCommands;
class FtpCommands;
class ImportModes;
class InfoCommands;
class LibraryTree;
class MessageCommands;
class MainLayout;
class NodeCommands;
class ObjectCommands;
class PrintCommands;
class QuickOpen;
class RemoteFolderCommands;
class QLabel;
class QLineEdit;
class SearchPanel;
class SettingsStore;
class SnippetEditing;
class StorageCommands;
class TextExportCommands;
class TreeController;
class TreeViews;

// The main window "frmMain": creates the views, menus and toolbar, and wires them to the controllers.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs the start-up; Quit means the program ends without showing the window.
    StartupController::Outcome start(const QStringList& switches);

    Workspace& workspace() { return m_ws; }
    TreeController& treeController() { return *m_treeController; }
    StartupController& startupController() { return *m_startup; }
    WindowContext& context() { return *m_context; }
    MainLayout& layout() { return *m_layout; }

    // Smallest size of the window: 9000 x 5500 twips at 15 twips to the pixel.
    static constexpr QSize MinimumSize{600, 367};

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createViews();
    void createMenus();
    void createControllers();
    void wireSubsystems();
    // Shows the snippet Quick Open chose as a click on its node does: its language and category
    // expanded, the one-language view (or a results tree) left when the tree does not hold it.
    void openChosenSnippet(qsizetype index);

    Workspace m_ws;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<WindowContext> m_context;

    LibraryTree* m_tree = nullptr;
    CodeEditor* m_txtCode = nullptr;
    QLineEdit* m_txtTitle = nullptr;
    QLineEdit* m_txtKeywords = nullptr;
    QLineEdit* m_txtObject = nullptr;
    QLineEdit* m_txtUpdate = nullptr;
    QLabel* m_status = nullptr;
    CommandToolbar* m_toolbar = nullptr;
    MainMenus m_menus;
    StartupMenus m_startupMenus;

    TreeController* m_treeController = nullptr;
    StartupController* m_startup = nullptr;
    SnippetEditing* m_editing = nullptr;
    TreeViews* m_treeViews = nullptr;
    NodeCommands* m_nodeCommands = nullptr;
    StorageCommands* m_storage = nullptr;
    EditorController* m_editor = nullptr;
    SearchPanel* m_search = nullptr;
    QWidget* m_area = nullptr;
    MainLayout* m_layout = nullptr;
    InfoCommands* m_info = nullptr;
    PrintCommands* m_print = nullptr;
    ExportCommands* m_export = nullptr;
    RemoteFolderCommands* m_remoteFolder = nullptr;
    MessageCommands* m_message = nullptr;
    ComparisonList* m_comparison = nullptr;
    ImportModes* m_importModes = nullptr;
    FtpCommands* m_ftp = nullptr;
    ObjectCommands* m_objects = nullptr;
    TextExportCommands* m_textExport = nullptr;
    QuickOpen* m_quickOpen = nullptr;
    bool m_closing = false;
};
