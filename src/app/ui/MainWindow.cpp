#include "app/ui/MainWindow.h"

#include "app/AppInfo.h"
#include "app/SettingsStore.h"
#include "app/ui/CommandToolbar.h"
#include "editor/ui/CodeEditor.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

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

    m_treeController = new TreeController(m_ws, *m_tree,
                                          SnippetViews{m_txtTitle, m_txtKeywords, m_txtCode, m_txtUpdate, m_txtObject},
                                          *m_toolbar, *m_status, this);
    m_startup = new StartupController(m_ws, *m_settings, *m_treeController, *m_tree, *m_txtCode, *m_status,
                                      m_menus, *this, this);
}

MainWindow::~MainWindow() = default;

void MainWindow::createViews()
{
    m_toolbar = new CommandToolbar(this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);

    m_tree = new LibraryTree;

    auto lineEdit = [](const char* name, const QString& hint) {
        auto* edit = new QLineEdit;
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

    m_txtCode = new CodeEditor;
    m_txtCode->setObjectName(QStringLiteral("txtCode"));

    auto* fields = new QHBoxLayout;
    fields->setSpacing(6);
    fields->addWidget(m_txtKeywords);
    fields->addWidget(m_txtObject);
    fields->addWidget(m_txtUpdate);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_txtTitle);
    rightLayout->addLayout(fields);
    rightLayout->addWidget(m_txtCode, 1);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("splitterMain"));
    splitter->addWidget(m_tree);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 7);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(m_status, 1);
}

void MainWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* exit = file->addAction(tr("E&xit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mnuExit"));
    exit->setShortcut(QKeySequence::Quit);

    QMenu* options = menuBar()->addMenu(tr("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    auto checkItem = [options](const char* name, const QString& caption) {
        QAction* action = options->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        return action;
    };
    m_menus.mnuStartupNode = checkItem("mnuStartupNode", tr("Remember &Starting Node"));
    m_menus.mnuAutoSave = checkItem("mnuAutoSave", tr("&Auto Save on Exit"));
    m_menus.mnuMessage = checkItem("mnuMessage", tr("&Retrieve Message"));
}

StartupController::Outcome MainWindow::start(const QStringList& switches)
{
    return m_startup->Form_Load(switches);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
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
