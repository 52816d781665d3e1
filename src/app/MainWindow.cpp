#include "app/MainWindow.h"

#include "app/InfoCommands.h"
#include "app/MainLayout.h"
#include "editor/ui/EditorCommands.h"
#include "editor/ui/EditorController.h"
#include "export/ui/ExportCommands.h"
#include "export/ui/PrintCommands.h"
#include "export/ui/TextExportCommands.h"
#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/ScreenFit.h"
#include "library/ui/LibraryStorage.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/NodeCommands.h"
#include "library/ui/SnippetEditing.h"
#include "library/ui/StorageCommands.h"
#include "library/ui/TreeController.h"
#include "library/ui/TreeViews.h"
#include "objects/ObjectList.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "objects/ui/ObjectCommands.h"
#include "objects/ui/ViewerWindow.h"
#include "search/ui/QuickOpen.h"
#include "search/ui/SearchPanel.h"
#include "settings/AppInfo.h"
#include "settings/SettingsStore.h"
#include "sync/ui/ComparisonList.h"
#include "sync/ui/ComparisonView.h"
#include "sync/ui/FtpCommands.h"
#include "sync/ui/ImportModes.h"
#include "sync/ui/MessageCommands.h"
#include "sync/ui/RemoteFolderCommands.h"

#include <algorithm>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTreeView>

// The pictures are compiled into the ui library, which a static link would otherwise leave out.
static void loadPictures()
{
    Q_INIT_RESOURCE(zorbeth);
}

MainWindow::MainWindow(const QString& programFolder, QWidget* parent) : QMainWindow(parent)
{
    loadPictures();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QLatin1String(AppInfo::Title));
    setWindowIcon(QIcon(QStringLiteral(":/images/zorbeth.png")));
    setMinimumSize(MinimumSize);
    resize(617, 400);

    m_ws.programFolder = programFolder;
    m_settings = std::make_unique<SettingsStore>(programFolder);

    createViews();
    createMenus();
    createControllers();
}

MainWindow::~MainWindow()
{
    // The controllers and their event filters read the context, the workspace and the views, which
    // would otherwise die first (members go before the children of QObject). So the controllers go
    // first, newest first, then the views, while everything they use still lives.
    delete m_quickOpen;
    delete m_textExport;
    const QList<QPointer<QObject>> controllers{
        m_objects, m_ftp,          m_importModes, m_comparison, m_remoteFolder, m_message,
        m_export,  m_print,        m_info,        m_layout,     m_search,       m_editor,
        m_storage, m_nodeCommands, m_treeViews,   m_editing,    m_startup,      m_treeController};
    for (const QPointer<QObject>& controller : controllers) {
        delete controller.data();
    }
    delete m_area;
    delete m_toolbar;
}

void MainWindow::createViews()
{
    m_toolbar = new CommandToolbar(this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);

    // The views stand in one area that MainLayout places by hand, as the splitter bars move.
    m_area = new QWidget;
    m_area->setObjectName(QStringLiteral("areaMain"));
    setCentralWidget(m_area);

    m_tree = new LibraryTree(m_area);

    auto lineEdit = [this](const char* name, const QString& hint) {
        auto* edit = new QLineEdit(m_area);
        edit->setObjectName(QLatin1String(name));
        edit->setPlaceholderText(hint);
        return edit;
    };
    m_txtTitle = lineEdit("txtTitle", tr("Title"));
    m_txtKeywords = lineEdit("txtKeywords", tr("Keywords"));
    m_txtObject = lineEdit("txtObject", tr("Attached file"));
    m_txtObject->setReadOnly(true);
    m_txtUpdate = lineEdit("txtUpdate", tr("Last change"));
    m_txtUpdate->setReadOnly(true);

    m_txtCode = new CodeEditor(m_area);
    m_txtCode->setObjectName(QStringLiteral("txtCode"));

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(m_status, 1);
}

void MainWindow::createMenus()
{
    auto menu = [this](QMenu* parent, const char* name, const QString& caption) {
        QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    m_menus.file = menu(nullptr, "mnuFile", tr("&File"));
    m_menus.edit = menu(nullptr, "mnuEdit", tr("&Edit"));
    m_menus.view = menu(nullptr, "mnuView", tr("&View"));
    m_menus.search = menu(nullptr, "mnuSearchMenu", tr("&Search"));
    m_menus.options = menu(nullptr, "mnuOptions", tr("&Options"));
    m_menus.editorOptions = menu(m_menus.options, "mnuOptEditor", tr("&Editor"));
    m_menus.actions = menu(nullptr, "mnuActions", tr("&Actions"));
    m_menus.import = menu(nullptr, "mnuImport", tr("&Import"));
    m_menus.help = menu(nullptr, "mnuHelp", tr("&Help"));
    // The code editor's right-button menu, which the editing, editor and export commands fill.
    m_menus.codePopUp = new QMenu(m_txtCode);
    m_menus.codePopUp->setObjectName(QStringLiteral("mnuPopUpCodeMax"));

    auto checkItem = [this](const char* name, const QString& caption) {
        QAction* action = m_menus.options->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        return action;
    };
    m_startupMenus.mnuStartupNode = checkItem("mnuStartupNode", tr("Remember &Starting Node"));
    m_startupMenus.mnuAutoSave = checkItem("mnuAutoSave", tr("&Auto Save on Exit"));
    m_startupMenus.mnuMessage = checkItem("mnuMessage", tr("&Retrieve Message"));
}

void MainWindow::createControllers()
{
    const SnippetViews views{m_txtTitle, m_txtKeywords, m_txtCode, m_txtUpdate, m_txtObject};
    m_treeController = new TreeController(m_ws, *m_tree, views, *m_toolbar, *m_status, this);
    m_startup = new StartupController(m_ws, *m_settings, *m_treeController, *m_tree, *m_txtCode, *m_status,
                                      m_startupMenus, *this, this);
    m_context.reset(new WindowContext{m_ws, *m_settings, *m_tree, *m_treeController, *m_startup, views,
                                      *m_toolbar, *m_status, m_menus, *this});

    m_editing = new SnippetEditing(*m_context, this);
    m_treeViews = new TreeViews(*m_context, this);
    m_nodeCommands = new NodeCommands(*m_context, *m_treeViews, this);
    m_storage = new StorageCommands(*m_context, *m_treeViews, this);
    m_remoteFolder = new RemoteFolderCommands(*m_context, *m_treeViews, m_startupMenus, this);
    m_editor = new EditorController(*m_context, this);
    m_search = new SearchPanel(*m_context, m_area);
    m_search->setOneLanguageViewSource([this] { return m_treeViews->oneLanguageView(); });
    m_layout = new MainLayout(*m_context, *m_area, *m_search, this);
    m_info = new InfoCommands(*m_context, *m_editor, this);
    m_print = new PrintCommands(*m_context, this);
    m_export = new ExportCommands(*m_context, this);
    m_textExport = new TextExportCommands(*m_context, this);
    ComparisonHooks hooks;
    hooks.oneLanguageView = [this] { return m_treeViews->oneLanguageView(); };
    hooks.keptLanguage = [this] { return m_treeViews->keptLanguage(); };
    hooks.colourCode = [this](CodeEditor& view, const QString& language) {
        m_editor->ApplySyntaxTo(view, language);
    };
    hooks.applySyntax = [this] { m_editor->ApplySyntax(); };
    m_comparison = new ComparisonList(*m_context, *m_search, std::move(hooks), this);
    m_importModes = new ImportModes(
        *m_context, *m_search, *m_comparison,
        [this] {
            m_treeViews->reapplyChildCounts();
            m_treeViews->selectFirstNode();
        },
        this);
    m_message = new MessageCommands(*m_context, m_startupMenus, this);
    m_ftp = new FtpCommands(*m_context, *m_treeViews, *m_importModes, this);
    m_objects = new ObjectCommands(*m_context, this);
    m_quickOpen = new QuickOpen(*m_context, *this);
    wireSubsystems();

    // Closing the file menu with Exit, after every controller has added its items.
    m_menus.file->addSeparator();
    QAction* exit = m_menus.file->addAction(tr("E&xit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mnuExit"));
    exit->setShortcut(QKeySequence::Quit);
}

void MainWindow::wireSubsystems()
{
    connect(m_search, &SearchPanel::layoutChanged, m_layout, &MainLayout::Form_Resize);
    connect(m_search, &SearchPanel::layoutChanged, m_comparison, &ComparisonList::layoutViews);
    connect(m_search, &SearchPanel::editorOptionsRequested, m_editor,
            &EditorController::switchDisplayOptions);
    connect(m_search, &SearchPanel::printRequested, m_print, &PrintCommands::printText);
    connect(m_editing, &SnippetEditing::codeEdited, m_editor, &EditorController::ApplySyntax);
    connect(m_treeViews, &TreeViews::picturesSwitched, m_editor, &EditorController::SetColors);

    // The bookmark items of the tree's and the editor's menus belong to the search side.
    auto bookmarkItem = [this](const char* name, void (SearchPanel::*command)()) {
        if (auto* action = findChild<QAction*>(QLatin1String(name))) {
            action->setEnabled(true);
            connect(action, &QAction::triggered, m_search, command);
        }
    };
    bookmarkItem("mnuBookmark", &SearchPanel::BookMarkSelectedSnippet);
    bookmarkItem("mnuRemoveBookmark2", &SearchPanel::RemoveBookmarkFromSelectedSnippet);
    bookmarkItem("mnuRemoveBookmark", &SearchPanel::RemoveBookmarkFromSelectedSnippet);
    connect(m_quickOpen, &QuickOpen::snippetChosen, this, &MainWindow::openChosenSnippet);

    // Keyboard shortcuts of the main menus, in one place so they cannot collide.
    const std::pair<const char*, const char*> shortcuts[] = {
        {"mnuNew", "Ctrl+N"},
        {"mnuDuplicateSnippet", "Ctrl+Shift+D"},
        {"mnuCopy", "Ctrl+Shift+C"},
        {"mnuSetBookmark", "Ctrl+B"},
        {"mnuDisplaySearchFrame", "Ctrl+Shift+F"},
        {"mnuTreeExpand", "Ctrl+Shift+E"},
        {"mnuTreeCollapse", "Ctrl+Shift+W"},
        {"mnuQuickOpen", "Ctrl+P"},
    };
    for (const auto& [name, keys] : shortcuts) {
        if (auto* action = findChild<QAction*>(QLatin1String(name))) {
            action->setShortcut(QKeySequence(QLatin1String(keys)));
        }
    }

    // The editor's print commands print the way the print commands do, which follow its word wrap.
    m_editor->commands().setPrintFunction([this](CodeEditor& editor, bool colour, bool wordWrap) {
        m_print->printEditor(editor, colour, wordWrap);
    });
    m_print->setWordWrapSource([this] { return m_editor->wordWrap(); });
    connect(m_export, &ExportCommands::syntaxRequested, m_editor, &EditorController::ApplySyntax);
    connect(&m_editor->commands(), &EditorCommands::hexViewRequested, this, [this](const QString& dump) {
        ViewerWindow* viewer = ViewerWindow::of(*this);
        if (!viewer->isVisible()) {
            ScreenFit::placeOver(*viewer, this);
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        viewer->showHexDump(dump);
        QApplication::restoreOverrideCursor();
        viewer->show();
        viewer->raise();
    });

    // The search box, the results and the comparison's views take the editor's background colour.
    m_editor->addColouredView(*m_search->searchBox());
    m_editor->addColouredView(*m_search->resultList());
    m_editor->addColouredView(m_comparison->view().list());
    m_editor->addColouredEditor(m_comparison->view().code());

    // A library whose resource file was being compacted when the program stopped gets that finished
    // (never by a read-only window); then positions outside the resource file are reported, since they
    // would read nothing, or another file's bytes once it grows.
    LibraryStorage::setLoadStep([](const Workspace& ws, QString* error) {
        QString compactionError;
        const bool finished = ws.readOnly || ResourceCompaction::finishInterrupted(ResourceFile::path(ws),
                                                                                  ws.codeArray, &compactionError);
        const QString outside = ObjectList::outsideWarning(ws.codeArray, ResourceFile::path(ws));
        QStringList texts;
        if (!finished) {
            texts << compactionError;
        }
        if (!outside.isEmpty()) {
            texts << outside;
        }
        *error = texts.join(QLatin1String("\n\n"));
        return texts.isEmpty();
    });
}

void MainWindow::openChosenSnippet(qsizetype index)
{
    CodeArray& records = m_ws.codeArray;
    if (index < 0 || index >= qsizetype(records.size())) {
        return;
    }
    m_tree->finishLabelEdit();
    QTreeWidgetItem* node = m_tree->nodeByKey(QStringLiteral("T") + QString::number(index));
    if (LibraryTree::tag(node) != LibraryTree::CodeTag) {
        // Leaving the one-language view sorts the library, which may move the snippet.
        const SnippetRecord chosen = records[size_t(index)];
        if (m_treeViews->oneLanguageView()) {
            m_treeViews->mnuAllDisplay_Click();
        } else {
            m_treeViews->rebuildTree();
        }
        if (!(records[size_t(index)] == chosen)) {
            const auto found = std::find(records.begin(), records.end(), chosen);
            if (found == records.end()) {
                return;
            }
            index = qsizetype(found - records.begin());
        }
        node = m_tree->nodeByKey(QStringLiteral("T") + QString::number(index));
        if (LibraryTree::tag(node) != LibraryTree::CodeTag) {
            return;
        }
    }
    for (QTreeWidgetItem* above = node->parent(); above != nullptr; above = above->parent()) {
        above->setExpanded(true);
    }
    {
        const QSignalBlocker block(m_tree);
        m_tree->setCurrentItem(node);
    }
    m_tree->scrollToItem(node);
    m_treeController->Tree_NodeClick(node);
    m_tree->setFocus(Qt::OtherFocusReason);
}

StartupController::Outcome MainWindow::start(const QStringList& switches)
{
    return m_startup->Form_Load(switches);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A name still being typed into the tree is part of what "Save changes?" is about.
    m_tree->finishLabelEdit();
    if (!m_startup->Form_QueryUnload()) {
        event->ignore();
        return;
    }
    if (!m_closing) {
        m_closing = true;
        m_startup->Form_Unload();
    }
    event->accept();
}

void MainWindow::changeEvent(QEvent* event)
{
    // Form_Activate: bring the selected node into view whenever the window is activated.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_tree->currentItem()) {
        m_tree->scrollToItem(m_tree->currentItem());
    }
    QMainWindow::changeEvent(event);
}
