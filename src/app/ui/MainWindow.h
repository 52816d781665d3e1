#pragma once

#include "library/Workspace.h"
#include "library/ui/StartupController.h"

#include <QMainWindow>

#include <memory>

class CodeEditor;
class CommandToolbar;
class LibraryTree;
class QLabel;
class QLineEdit;
class SettingsStore;
class TreeController;

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

    // Smallest size of the window: 9000 x 5500 twips at 15 twips to the pixel.
    static constexpr QSize MinimumSize{600, 367};

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createViews();
    void createMenus();

    Workspace m_ws;
    std::unique_ptr<SettingsStore> m_settings;

    LibraryTree* m_tree = nullptr;
    CodeEditor* m_txtCode = nullptr;
    QLineEdit* m_txtTitle = nullptr;
    QLineEdit* m_txtKeywords = nullptr;
    QLineEdit* m_txtObject = nullptr;
    QLineEdit* m_txtUpdate = nullptr;
    QLabel* m_status = nullptr;
    CommandToolbar* m_toolbar = nullptr;
    StartupMenus m_menus;

    TreeController* m_treeController = nullptr;
    StartupController* m_startup = nullptr;
    bool m_closing = false;
};
