#include "search/ui/SearchPanel.h"

#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "search/SearchBoxCommands.h"
#include "search/SearchEngine.h"
#include "search/SearchHistory.h"
#include "search/ui/BookmarkCommands.h"
#include "search/ui/ResultsModel.h"
#include "search/ui/SearchHistoryBox.h"
#include "search/ui/SearchLanguage.h"
#include "search/ui/WordListCommands.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"
#include "store/DateStamp.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString SearchCaption = QStringLiteral("Search");

// Widths of the result columns when the list is created, in twips (15 to the pixel).
constexpr int StartWidths[] = {1100, 1800, 8000, 650, 1800};
// The share of the list's width each column gets when the frame is clicked.
constexpr double ClickShares[] = {0.10, 0.20, 0.40, 0.10, 0.10};

} // namespace

SearchPanel::SearchPanel(WindowContext& context, QWidget* parent) : QFrame(parent), m_context(context)
{
    setObjectName(QStringLiteral("frameSearch"));
    setFrameShape(QFrame::StyledPanel);
    m_oneLanguageView = [this] { return m_context.ws.options.OneNode; };

    createControls();
    m_history = new SearchHistoryBox(m_context.ws, *m_cmbSearch, m_context.window, this);
    m_wordLists = new WordListCommands(
        m_context, *m_cmbSearch, *m_history, [this] { return currentScope(); }, this);
    createMenus();
    m_bookmarks = new BookmarkCommands(
        m_context, [this] { return oneLanguageView(); }, [this] { return openSelectedResult(); }, this);
    createResultsPopup();

    connect(&m_context.startup, &StartupController::loadingLists, m_history,
            &SearchHistoryBox::LoadComboSearchList);
    // A row names its snippet by record index: after a re-sort or reload it would open another one.
    connect(&m_context.treeController, &TreeController::recordsReordered, this, &SearchPanel::clearResults);
    m_context.startup.addSettingsClient(this);
}

SearchPanel::~SearchPanel() = default;

void SearchPanel::createControls()
{
    m_caption = new QLabel(SearchCaption);
    m_caption->setObjectName(QStringLiteral("lblSearchCaption"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);

    m_cmbSearch = new QComboBox;
    m_cmbSearch->setObjectName(QStringLiteral("cmbSearch"));
    m_cmbSearch->setEditable(true);
    // The box's text is searched exactly as typed: no completion, and Enter is handled here.
    m_cmbSearch->setCompleter(nullptr);
    m_cmbSearch->setInsertPolicy(QComboBox::NoInsert);
    // A word list may hold a hundred thousand entries; the box must not measure them all.
    m_cmbSearch->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cmbSearch->setMinimumContentsLength(16);
    m_cmbSearch->setMaxVisibleItems(20);
    // Keys reach the combo box (the line edit's focus proxy) and focus reaches the line edit.
    m_cmbSearch->installEventFilter(this);
    m_cmbSearch->lineEdit()->installEventFilter(this);
    m_cmbSearch->setToolTip(tr("Search term, or a ..command"));
    connect(m_cmbSearch, &QComboBox::activated, this, [this] { cmdSearch_Click(); });

    auto button = [](const char* name, const QString& text, const QString& icon, const QString& tip) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        if (!icon.isEmpty()) {
            b->setIcon(QIcon(icon));
        }
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    m_cmdSearch = button("cmdSearch", tr("Search"), QString(), tr("Search"));
    m_cmdAllTitles =
        button("cmdAllTitles", QString(), QStringLiteral(":/images/form.png"), tr("List All Titles"));
    m_cmdFlags =
        button("cmdFlags", QString(), QStringLiteral(":/images/marker.png"), tr("List Bookmarked Snippets"));
    m_cmdTree = button("cmdTree", QString(), QStringLiteral(":/images/open.png"),
                       tr("Display Search Results in Tree"));
    connect(m_cmdSearch, &QPushButton::clicked, this, &SearchPanel::cmdSearch_Click);
    connect(m_cmdAllTitles, &QPushButton::clicked, this, &SearchPanel::cmdAllTitles_Click);
    connect(m_cmdFlags, &QPushButton::clicked, this, &SearchPanel::cmdFlags_Click);
    connect(m_cmdTree, &QPushButton::clicked, this, &SearchPanel::cmdTree_Click);

    auto option = [](const char* name, const QString& caption) {
        auto* o = new QRadioButton(caption);
        o->setObjectName(QLatin1String(name));
        return o;
    };
    m_optUser = option("optUser", tr("User"));
    m_optKeys = option("optKeys", tr("Keys"));
    m_optAll = option("optAll", tr("All"));
    m_optUser->setChecked(true);
    m_optUser->setToolTip(tr("Search history"));
    m_optKeys->setToolTip(tr("Every keyword of the search language"));
    m_optAll->setToolTip(tr("Every word of the search language"));
    connect(m_optUser, &QRadioButton::clicked, this, [this] { m_wordLists->optUser_Click(); });
    connect(m_optKeys, &QRadioButton::clicked, this, [this] { m_wordLists->optKeys_Click(); });
    connect(m_optAll, &QRadioButton::clicked, this, [this] { m_wordLists->optAll_Click(); });

    auto check = [](const char* name, const QString& caption) {
        auto* c = new QCheckBox(caption);
        c->setObjectName(QLatin1String(name));
        return c;
    };
    m_chkIgnoreCase = check("chkIgnoreCase", tr("Ignore Case"));
    m_chkSearchWithin = check("chkSearchWithin", tr("Search Within"));
    m_chkAllLanguages = check("chkAllLanguages", tr("All Languages"));
    m_chkSearchTitles = check("chkSearchTitles", tr("Titles"));
    m_chkSearchKeywords = check("chkSearchKeywords", tr("Keywords"));
    m_chkSearchCode = check("chkSearchCode", tr("Code"));

    m_model = new ResultsModel(this);
    m_lstResults = new QTreeView;
    m_lstResults->setObjectName(QStringLiteral("lstResults"));
    m_lstResults->setModel(m_model);
    m_lstResults->setRootIsDecorated(false);
    m_lstResults->setItemsExpandable(false);
    m_lstResults->setUniformRowHeights(true);
    m_lstResults->setAllColumnsShowFocus(true);
    m_lstResults->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstResults->setContextMenuPolicy(Qt::CustomContextMenu);
    m_lstResults->setSortingEnabled(false);
    m_lstResults->header()->setSectionsClickable(true);
    m_lstResults->header()->setSectionsMovable(false);
    for (int c = 0; c < ResultRows::ColumnCount; ++c) {
        m_lstResults->setColumnWidth(c, StartWidths[c] / 15);
    }
    connect(m_lstResults->header(), &QHeaderView::sectionClicked, this, &SearchPanel::lstResults_ColumnClick);
    connect(m_lstResults, &QTreeView::clicked, this, [this] { DisplaySelectedResult(); });
    // Moving through the list with the keyboard opens each row as a click does.
    connect(m_lstResults->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && !m_selectingRow && QGuiApplication::mouseButtons() == Qt::NoButton) {
                    DisplaySelectedResult();
                }
            });
    connect(m_lstResults, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (caption() == SearchCaption && m_model->rowCount() > 0) {
            m_mnuPopupResults->popup(m_lstResults->viewport()->mapToGlobal(at));
        }
    });

    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    top->addWidget(m_caption);
    top->addWidget(m_cmbSearch, 1);
    top->addWidget(m_cmdSearch);
    top->addWidget(m_cmdAllTitles);
    top->addWidget(m_cmdFlags);
    top->addWidget(m_cmdTree);
    top->addSpacing(8);
    top->addWidget(m_optUser);
    top->addWidget(m_optKeys);
    top->addWidget(m_optAll);

    auto* options = new QHBoxLayout;
    options->setSpacing(10);
    for (QCheckBox* c : {m_chkIgnoreCase, m_chkSearchWithin, m_chkAllLanguages, m_chkSearchTitles,
                         m_chkSearchKeywords, m_chkSearchCode}) {
        options->addWidget(c);
    }
    options->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(options);
    layout->addWidget(m_lstResults, 1);
}

void SearchPanel::createResultsPopup()
{
    m_mnuPopupResults = new QMenu(this);
    m_mnuPopupResults->setObjectName(QStringLiteral("mnuPopupResults"));
    QAction* bookmarkAll = m_mnuPopupResults->addAction(tr("Bookmark All"), m_bookmarks,
                                                        &BookmarkCommands::mnuBookmarkAll_Click);
    bookmarkAll->setObjectName(QStringLiteral("mnuBookmarkAll"));
    QAction* copyTitles =
        m_mnuPopupResults->addAction(tr("Copy Titles"), this, &SearchPanel::mnuCopyTitles_Click);
    copyTitles->setObjectName(QStringLiteral("mnuCopyTitles"));
}

void SearchPanel::createMenus()
{
    m_mnuDisplaySearchFrame = m_context.menus.view->addAction(tr("Display Search &Frame"));
    m_mnuDisplaySearchFrame->setObjectName(QStringLiteral("mnuDisplaySearchFrame"));
    m_mnuDisplaySearchFrame->setCheckable(true);
    // The menu item has already turned its mark over when it reports the click.
    connect(m_mnuDisplaySearchFrame, &QAction::triggered, this, [this](bool checked) {
        m_context.toolbar.button(QStringLiteral("Search"))->setChecked(checked);
        showFrame(checked);
    });
    m_context.toolbar.setCommand(QStringLiteral("Search"), [this] {
        const bool pressed = m_context.toolbar.button(QStringLiteral("Search"))->isChecked();
        m_mnuDisplaySearchFrame->setChecked(pressed);
        showFrame(pressed);
    });

    QMenu* search = m_context.menus.search;
    m_mnuAutoDisplaySearch = search->addAction(tr("&Display First Search Result"));
    m_mnuAutoDisplaySearch->setObjectName(QStringLiteral("mnuAutoDisplaySearch"));
    m_mnuAutoDisplaySearch->setCheckable(true);
    m_mnuLastSearch = search->addAction(tr("&Use Last Search Term"));
    m_mnuLastSearch->setObjectName(QStringLiteral("mnuLastSearch"));
    m_mnuLastSearch->setCheckable(true);
}

bool SearchPanel::oneLanguageView() const
{
    return m_oneLanguageView && m_oneLanguageView();
}

QString SearchPanel::caption() const
{
    return m_caption->text();
}

void SearchPanel::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}

SearchScope SearchPanel::currentScope() const
{
    return SearchScope(SearchLanguage::ofSelection(m_context.tree), m_chkAllLanguages->isChecked(),
                       oneLanguageView());
}

void SearchPanel::setStatus(const QString& text)
{
    m_context.status.setText(text);
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cmbSearch || watched == m_cmbSearch->lineEdit()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                cmbSearch_KeyPress(13);
                return true;
            }
        } else if (event->type() == QEvent::FocusIn && watched == m_cmbSearch->lineEdit()) {
            // cmbSearch_GotFocus: typing replaces the whole term. Queued, so a click's own
            // placing of the cursor comes first.
            QTimer::singleShot(0, m_cmbSearch->lineEdit(), &QLineEdit::selectAll);
        }
    }
    return QFrame::eventFilter(watched, event);
}

void SearchPanel::cmbSearch_KeyPress(int keyAscii)
{
    if (keyAscii != 13) {
        return;
    }
    m_history->AddTextToComboSearchList();
    m_optUser->setChecked(true);
    cmdSearch_Click();
}

bool SearchPanel::runSearchBoxCommand(const QString& text)
{
    using SearchBoxCommands::Command;
    Workspace& ws = m_context.ws;
    switch (SearchBoxCommands::recognise(text)) {
    case Command::None:
        return false;
    case Command::EditorOn:
        emit editorOptionsRequested(true);
        break;
    case Command::EditorOff:
        emit editorOptionsRequested(false);
        break;
    case Command::ShowSettings: {
        const auto settings = m_context.settings.all();
        if (settings.isEmpty()) {
            setStatus(QStringLiteral("No settings available"));
        } else {
            // The list is longer than a screen: it is shown in a box that scrolls it.
            Prompts::longMessage(&m_context.window, SearchBoxCommands::settingsText(settings),
                                 QStringLiteral("Zorbeth Registry Settings"),
                                 {Prompts::Answer::Ok, Prompts::Answer::Cancel}, Prompts::Icon::Information);
        }
        break;
    }
    case Command::PrintSettings: {
        const auto settings = m_context.settings.all();
        if (settings.isEmpty()) {
            setStatus(QStringLiteral("No settings available"));
        } else {
            emit printRequested(SearchBoxCommands::settingsPrintout(settings));
        }
        break;
    }
    case Command::ClearRegistry:
        ws.SaveSettingsOnExit = false;
        break;
    case Command::Blank:
        setStatus(QStringLiteral("No search string entered."));
        break;
    case Command::ZqTest:
        ws.options.zqTest = !ws.options.zqTest;
        break;
    case Command::EditList: {
        // An editor is given a file to open even after "..clearlist" removed it.
        const QString path = m_history->path();
        if (!QFile::exists(path)) {
            SearchHistory::write(path, {});
        }
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
            setStatus(QStringLiteral("No text editor could open ") + path);
        }
        break;
    }
    case Command::ClearList:
        m_history->clearList();
        break;
    case Command::TimeStamp: {
        const QString stamp = DateStamp::now();
        for (SnippetRecord& r : ws.codeArray) {
            r.Date = stamp;
        }
        setStatus(QStringLiteral("All snippets updated to ") + stamp);
        ws.CodeChanged = true;
        break;
    }
    }
    return true;
}

void SearchPanel::cmdSearch_Click()
{
    Workspace& ws = m_context.ws;
    if (!ws.StartupDone || ws.UpdateInProgress) {
        return;
    }
    const QString term = m_cmbSearch->currentText();
    if (runSearchBoxCommand(term)) {
        return;
    }
    const WaitCursor wait;
    const SearchScope scope = currentScope();
    setStatus(QStringLiteral("Search language:  ") + scope.language());
    SearchEngine::Fields fields;
    fields.titles = m_chkSearchTitles->isChecked();
    fields.keywords = m_chkSearchKeywords->isChecked();
    fields.code = m_chkSearchCode->isChecked();
    const qsizetype count = SearchEngine::TextSearch(
        ws.codeArray, term, m_chkIgnoreCase->isChecked() ? Qt::CaseInsensitive : Qt::CaseSensitive, fields,
        m_chkSearchWithin->isChecked(), scope);
    finishSearch(count);
    emit layoutChanged();
}

void SearchPanel::cmdAllTitles_Click()
{
    if (!m_context.ws.StartupDone) {
        return;
    }
    const WaitCursor wait;
    const SearchScope scope = currentScope();
    setStatus(QStringLiteral("Search language:  ") + scope.language());
    finishSearch(SearchEngine::ListAllTitles(m_context.ws.codeArray, scope));
}

void SearchPanel::cmdFlags_Click()
{
    if (!m_context.ws.StartupDone) {
        return;
    }
    const WaitCursor wait;
    const SearchScope scope = currentScope();
    setStatus(QStringLiteral("Search language:  ") + scope.language());
    finishSearch(SearchEngine::ListBookmarked(m_context.ws.codeArray, scope));
}

void SearchPanel::finishSearch(qsizetype count)
{
    FillListView();
    if (m_mnuAutoDisplaySearch->isChecked() && m_model->rowCount() > 0) {
        m_selectingRow = true;
        m_lstResults->setCurrentIndex(m_model->index(0, 0));
        m_selectingRow = false;
        DisplaySelectedResult();
    }
    setStatus(QString::number(count) + QStringLiteral(" matching entries"));
}

void SearchPanel::clearResults()
{
    m_model->setRows({});
    m_lstResults->header()->setSortIndicatorShown(false);
}

void SearchPanel::FillListView()
{
    // The first node's key, not its text, which may carry a child count.
    const QString filterLanguage = LibraryTree::key(m_context.tree.topLevelItem(0)).toLower();
    m_model->setRows(ResultRows::FillListView(m_context.ws.codeArray, oneLanguageView(), filterLanguage));
    m_lstResults->header()->setSortIndicatorShown(false);
}

int SearchPanel::selectedRow() const
{
    const QModelIndexList selected = m_lstResults->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

bool SearchPanel::openSelectedResult()
{
    const int row = selectedRow();
    if (row < 0 || row >= m_model->rowCount()) {
        return false;
    }
    LibraryTree& tree = m_context.tree;
    QTreeWidgetItem* node = tree.nodeByKey(m_model->rows()[size_t(row)].id());
    if (LibraryTree::tag(node) != LibraryTree::CodeTag) {
        return false;
    }
    {
        const QSignalBlocker block(&tree);
        tree.setCurrentItem(node);
    }
    tree.scrollToItem(node);
    m_context.treeController.Tree_NodeClick(tree.currentItem());
    return true;
}

void SearchPanel::DisplaySelectedResult()
{
    if (!openSelectedResult()) {
        QApplication::beep();
        setStatus(QStringLiteral("Selected search result code snippet not found in Tree!"));
    }
}

void SearchPanel::lstResults_ColumnClick(int column)
{
    if (m_model->rowCount() == 0) {
        return;
    }
    const bool ascending = m_model->nextAscending(column);
    const WaitCursor wait;
    m_model->sortByColumn(column);
    if (column != ResultRows::IdColumn) {
        m_lstResults->header()->setSortIndicator(column,
                                                 ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        m_lstResults->header()->setSortIndicatorShown(true);
    }
}

void SearchPanel::cmdTree_Click()
{
    if (m_model->rowCount() == 0) {
        setStatus(QStringLiteral("No search results found.  Cannot create Tree."));
        return;
    }
    const WaitCursor wait;
    FillTreeViewWithResults();
    m_context.ws.ResultsInTree = true;
    if (!m_mnuAutoDisplaySearch->isChecked()) {
        QTreeWidgetItem* node = m_context.tree.currentItem();
        if (node != nullptr) {
            node->setExpanded(true);
            for (int i = 0; i < node->childCount(); ++i) {
                node->child(i)->setExpanded(true);
            }
            m_context.tree.scrollToItem(node);
        }
    }
}

void SearchPanel::FillTreeViewWithResults()
{
    LibraryTree& tree = m_context.tree;
    const qsizetype count = tree.fill(m_context.ws.codeArray, LibraryTree::Fill::Results);
    // With "Display First Search Result" the list's selected result is opened; without it, or
    // when that result has no node, the first node.
    if (!m_mnuAutoDisplaySearch->isChecked() || !openSelectedResult()) {
        {
            const QSignalBlocker block(&tree);
            tree.setCurrentItem(tree.topLevelItem(0));
        }
        m_context.treeController.Tree_NodeClick(tree.currentItem());
    }
    setStatus(QString::number(count) + QStringLiteral(" entries loaded into Tree"));
}

void SearchPanel::mnuCopyTitles_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(ResultRows::CopyTitles(m_model->rows()));
}

void SearchPanel::mnuDisplaySearchFrame_Click()
{
    m_mnuDisplaySearchFrame->trigger();
}

void SearchPanel::showFrame(bool shown)
{
    setVisible(shown);
    if (shown) {
        m_cmbSearch->setFocus();
    }
    emit layoutChanged();
}

void SearchPanel::setFrameVisible(bool visible)
{
    setVisible(visible);
}

bool SearchPanel::searchButtonDown() const
{
    return m_context.toolbar.button(QStringLiteral("Search"))->isChecked();
}

void SearchPanel::setDisplayFrameCommandEnabled(bool enabled)
{
    m_mnuDisplaySearchFrame->setEnabled(enabled);
}

void SearchPanel::focusSearchBox()
{
    if (m_cmbSearch->isVisible()) {
        m_cmbSearch->setFocus();
    }
}

void SearchPanel::hostComparison(QWidget* view)
{
    view->setParent(this);
    static_cast<QVBoxLayout*>(layout())->addWidget(view, 1);
}

void SearchPanel::requestLayout()
{
    emit layoutChanged();
}

void SearchPanel::FrameSearchControlsVisible(bool task)
{
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_cmdAllTitles, m_cmdSearch, m_cmbSearch, m_cmdFlags, m_chkIgnoreCase, m_chkSearchWithin,
             m_chkAllLanguages, m_chkSearchTitles, m_chkSearchCode, m_chkSearchKeywords, m_lstResults,
             m_cmdTree, m_optUser, m_optKeys, m_optAll}) {
        control->setVisible(task);
    }
}

void SearchPanel::mousePressEvent(QMouseEvent* event)
{
    frameSearch_Click();
    QFrame::mousePressEvent(event);
}

void SearchPanel::frameSearch_Click()
{
    const QString text = caption();
    if (text.startsWith(QLatin1String("Local ")) || text.startsWith(QLatin1String("Server"))) {
        int& share = m_context.ws.options.RShare;
        share = share == 30 ? 65 : share == 65 ? 30 : share;
        emit layoutChanged();
        return;
    }
    if (text == SearchCaption) {
        const int width = m_lstResults->width();
        for (int c = 0; c < ResultRows::ColumnCount; ++c) {
            m_lstResults->setColumnWidth(c, int(width * ClickShares[c]));
        }
    }
}

void SearchPanel::BookMarkSelectedSnippet()
{
    m_bookmarks->BookMarkSelectedSnippet();
}

void SearchPanel::RemoveBookmarkFromSelectedSnippet()
{
    m_bookmarks->RemoveBookmarkFromSelectedSnippet();
}

void SearchPanel::applySettings(const AppSettings& settings)
{
    m_chkIgnoreCase->setChecked(settings.IgnoreCase != 0);
    m_chkAllLanguages->setChecked(settings.AllLanguages != 0);
    m_chkSearchTitles->setChecked(settings.SearchTitles != 0);
    m_chkSearchKeywords->setChecked(settings.SearchKeywords != 0);
    m_chkSearchCode->setChecked(settings.SearchCode != 0);
    m_mnuAutoDisplaySearch->setChecked(settings.DisplaySearch);
    m_mnuLastSearch->setChecked(settings.LastSearch);
    const bool shown = settings.Search != 0;
    m_context.toolbar.button(QStringLiteral("Search"))->setChecked(shown);
    m_mnuDisplaySearchFrame->setChecked(shown);
    setVisible(shown);
    if (shown && m_context.ws.StartupDone) {
        m_cmbSearch->setFocus();
    }
}

void SearchPanel::collectSettings(AppSettings& settings) const
{
    settings.IgnoreCase = m_chkIgnoreCase->isChecked() ? 1 : 0;
    settings.AllLanguages = m_chkAllLanguages->isChecked() ? 1 : 0;
    settings.SearchTitles = m_chkSearchTitles->isChecked() ? 1 : 0;
    settings.SearchKeywords = m_chkSearchKeywords->isChecked() ? 1 : 0;
    settings.SearchCode = m_chkSearchCode->isChecked() ? 1 : 0;
    settings.DisplaySearch = m_mnuAutoDisplaySearch->isChecked();
    settings.LastSearch = m_mnuLastSearch->isChecked();
    settings.Search = m_context.toolbar.button(QStringLiteral("Search"))->isChecked() ? 1 : 0;
}
