#include "sync/ui/ComparisonList.h"

#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/SearchFrame.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "store/DateStamp.h"
#include "sync/Comparison.h"
#include "sync/ui/ComparisonView.h"
#include "sync/ui/RemoteListModel.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

namespace {

const QString ComparingStatus = QStringLiteral("Comparing remote and local source code snippets ...");
const QString NoMatchStatus = QStringLiteral("Snippet not found in tree");
const QString NotInTreeStatus = QStringLiteral("Snippet not found in Tree");

// The caption of a display command keeps the side the frame's caption names.
QString sideCaption(const QString& current, const char* view)
{
    const bool local = current.left(6) == QLatin1String("Local ");
    return (local ? QStringLiteral("Local Source Code (") : QStringLiteral("Server Source Code (")) +
           QLatin1String(view) + QLatin1Char(')');
}

} // namespace

ComparisonList::ComparisonList(WindowContext& context, SearchFrame& frame, ComparisonHooks hooks,
                               QObject* parent)
    : QObject(parent), m_context(context), m_frame(frame), m_hooks(std::move(hooks))
{
    m_model = new RemoteListModel(this);
    m_view = new ComparisonView(*m_model, [this] { return m_context.ws.options.RShare; });
    m_frame.hostComparison(m_view);
    m_view->hide();

    QTreeView& list = m_view->list();
    // A click on a row's check box does not move the selection by itself; the clicked row is the
    // one shown and compared, so it becomes the selected one too.
    connect(&list, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        selectRow(index.row());
        lstRemote_ItemClick(index.row());
    });
    // Moving through the list with the keyboard, or a right click that selects a row for the pop-up
    // menu, shows the row as a click does (a left click is handled above).
    connect(list.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && !m_selectingRow &&
                    !QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
                    lstRemote_ItemClick(current.row());
                }
            });
    createMenus();
    connect(&list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_mnuPopupRemote->popup(m_view->list().viewport()->mapToGlobal(at));
    });
    connect(&m_view->code(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_mnuPopupResultCode->popup(m_view->code().viewport()->mapToGlobal(at));
    });

    // The lists are prepared once the settings are read: the "Date" column is one of them.
    connect(&m_context.startup, &StartupController::preparingViews, this, [this] {
        m_model->setDateColumn(m_context.ws.options.TimeDisplay);
        m_view->setColumnWidths();
    });
}

ComparisonList::~ComparisonList()
{
    // The view asks this list for its share whenever it is laid out.
    delete m_view.data();
}

ComparisonView& ComparisonList::view() const
{
    return *m_view;
}

void ComparisonList::createMenus()
{
    m_mnuPopupRemote = new QMenu(m_view);
    m_mnuPopupRemote->setObjectName(QStringLiteral("mnuPopupRemote"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       void (ComparisonList::*command)()) {
        QAction* action = menu->addAction(caption, this, command);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    item(m_mnuPopupRemote, "mnuRemoteAll", tr("Select All"), &ComparisonList::mnuRemoteAll_Click);
    item(m_mnuPopupRemote, "mnuRemoteNone", tr("Unselect All"), &ComparisonList::mnuRemoteNone_Click);
    m_mnuPopupRemote->addSeparator()->setObjectName(QStringLiteral("mnuRemoteSep"));
    m_mnuRemoteDisplayAll =
        item(m_mnuPopupRemote, "mnuRemoteDisplayAll", tr("Display All Snippets With Differences"),
             &ComparisonList::mnuRemoteDisplayAll_Click);
    m_mnuRemoteDisplayMatching =
        item(m_mnuPopupRemote, "mnuRemoteDisplayMatching", tr("Display Only Snippets With Matching Titles"),
             &ComparisonList::mnuRemoteDisplayMatching_Click);
    // The command that would show the view already shown is hidden.
    connect(m_mnuPopupRemote, &QMenu::aboutToShow, this, [this] {
        m_mnuRemoteDisplayAll->setVisible(m_matching);
        m_mnuRemoteDisplayMatching->setVisible(!m_matching);
    });
    m_mnuRemoteDisplayAll->setVisible(false);

    m_mnuPopupResultCode = new QMenu(m_view);
    m_mnuPopupResultCode->setObjectName(QStringLiteral("mnuPopupResultCode"));
    item(m_mnuPopupResultCode, "mnuReplaceTreeCode", tr("&Replace Tree Code"),
         &ComparisonList::mnuReplaceTreeCode_Click);
}

void ComparisonList::setStatus(const QString& text)
{
    m_context.status.setText(text);
}

void ComparisonList::setStaged(CodeArray staged)
{
    clearList();
    m_context.ws.remoteCodeArray = std::move(staged);
    m_stagedData = m_context.ws.remoteCodeArray.data();
    m_stagedSize = m_context.ws.remoteCodeArray.size();
}

const CodeArray& ComparisonList::staged() const
{
    const CodeArray& staged = m_context.ws.remoteCodeArray;
    Q_ASSERT_X(staged.data() == m_stagedData && staged.size() == m_stagedSize, "ComparisonList::staged",
               "the staged array changed while its rows were listed");
    return staged;
}

void ComparisonList::setViewsVisible(bool visible)
{
    m_view->setVisible(visible);
}

void ComparisonList::clearList()
{
    m_model->clear();
    m_view->showCode(QString());
}

void ComparisonList::layoutViews()
{
    m_view->layoutViews();
}

void ComparisonList::FillListViewRemote()
{
    fill(false);
}

void ComparisonList::FillListViewRemoteMatching()
{
    fill(true);
}

void ComparisonList::fill(bool matching)
{
    // Indexing a large library takes a moment; every way here (a view chosen, a copy listed) waits.
    const WaitCursor wait;
    clearList();
    setStatus(ComparingStatus);
    QCoreApplication::processEvents();

    const CodeArray& records = staged();
    const LocalIndex index(m_context.ws.codeArray);
    const QString language = m_hooks.oneLanguageView && m_hooks.oneLanguageView() && m_hooks.keptLanguage
                                 ? m_hooks.keptLanguage()
                                 : QString();
    std::vector<Comparison::Row> rows = matching
                                            ? Comparison::FillListViewRemoteMatching(index, records, language)
                                            : Comparison::FillListViewRemote(index, records, language);
    const qsizetype count = qsizetype(rows.size());
    if (count > 0) {
        m_model->setRows(std::move(rows));
        m_view->fitLanguageColumn();
        // A view with rows after an empty one has something to import again.
        m_context.toolbar.setButtonEnabled(QStringLiteral("Import"), true);
        selectRow(0);
        showStagedCode(*m_model->id(0));
    } else {
        m_model->setPlaceholder(QString::fromLatin1(Comparison::CurrentText));
        m_view->fitLanguageColumn();
        m_context.toolbar.setButtonEnabled(QStringLiteral("Import"), false);
    }
    const qsizetype total = qsizetype(records.size());
    setStatus(matching ? Comparison::matchingStatus(count, total, m_importFileName)
                       : Comparison::differencesStatus(count, total, m_importFileName));
}

void ComparisonList::showFailure(const QString& text)
{
    clearList();
    m_model->setPlaceholder(text);
    m_view->fitLanguageColumn();
    m_context.toolbar.setButtonEnabled(QStringLiteral("Import"), false);
}

void ComparisonList::selectRow(int row)
{
    m_selectingRow = true;
    m_view->list().setCurrentIndex(m_model->index(row, 0));
    m_selectingRow = false;
}

int ComparisonList::selectedRow() const
{
    const QModelIndexList selected = m_view->list().selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ComparisonList::showStagedCode(qsizetype id)
{
    const CodeArray& records = staged();
    if (id < 0 || id >= qsizetype(records.size())) {
        return;
    }
    const SnippetRecord& record = records[size_t(id)];
    m_view->showCode(record.Code.toString());
    if (m_hooks.colourCode) {
        m_hooks.colourCode(m_view->code(), record.Language);
    }
}

void ComparisonList::lstRemote_ItemClick(int row)
{
    if (const auto id = m_model->id(row)) {
        showStagedCode(*id);
    }
    if (m_model->isRed(selectedRow()) || m_matching) {
        ShowLocalCounterpart();
    }
}

void ComparisonList::ShowLocalCounterpart()
{
    const int row = selectedRow();
    if (row < 0) {
        setStatus(NotInTreeStatus);
        return;
    }
    const QString key = Comparison::titleKey(m_model->text(row, RemoteListModel::LanguageColumn),
                                             m_model->text(row, RemoteListModel::TitleColumn));
    const qsizetype i = Comparison::FindMatchToRemote(m_context.ws.codeArray, key);
    if (i < 0) {
        setStatus(NoMatchStatus);
        return;
    }
    LibraryTree& tree = m_context.tree;
    tree.finishLabelEdit();
    QTreeWidgetItem* node = tree.nodeByKey(QStringLiteral("T") + QString::number(i));
    if (LibraryTree::tag(node) != LibraryTree::CodeTag) {
        // The one-language view, for one, leaves the snippet out of the tree.
        setStatus(NotInTreeStatus);
        return;
    }
    {
        const QSignalBlocker block(&tree);
        tree.setCurrentItem(node);
    }
    m_context.treeController.Tree_NodeClick(node);
    tree.scrollToItem(node);
}

void ComparisonList::mnuRemoteAll_Click()
{
    m_model->setAllChecked(true);
}

void ComparisonList::mnuRemoteNone_Click()
{
    m_model->setAllChecked(false);
}

void ComparisonList::mnuRemoteDisplayAll_Click()
{
    m_frame.setCaption(sideCaption(m_frame.caption(), "Differences"));
    FillListViewRemote();
    m_matching = false;
}

void ComparisonList::mnuRemoteDisplayMatching_Click()
{
    m_frame.setCaption(sideCaption(m_frame.caption(), "Matching"));
    FillListViewRemoteMatching();
    m_matching = true;
    ShowLocalCounterpart();
}

void ComparisonList::mnuReplaceTreeCode_Click()
{
    m_context.tree.finishLabelEdit();
    SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr) {
        return;
    }
    // The tree may hold another snippet than the row's (after "Snippet not found in Tree", or a
    // click elsewhere in the tree): its code is replaced only when the user says so.
    const int row = selectedRow();
    const QString rowTitle =
        row >= 0 && m_model->id(row) ? m_model->text(row, RemoteListModel::TitleColumn) : QString();
    const bool sameSnippet =
        row >= 0 && m_model->id(row) &&
        Comparison::titleKey(record->Language, record->Title) ==
            Comparison::titleKey(m_model->text(row, RemoteListModel::LanguageColumn), rowTitle);
    if (!sameSnippet &&
        Prompts::question(
            &m_context.window,
            QStringLiteral("The snippet selected in the tree, \"%1\" (%2), is not the one of the "
                           "selected row, \"%3\".\n\nReplace its code with the row's code?")
                .arg(record->Title, record->Language, rowTitle),
            QStringLiteral("Replace Tree Code"),
            {Prompts::Answer::No, Prompts::Answer::Yes}) != Prompts::Answer::Yes) {
        return;
    }
    Workspace& ws = m_context.ws;
    CodeEditor& txtCode = *m_context.views.txtCode;
    {
        // The record is written below, once, rather than by the editor's change handling.
        const bool updating = ws.UpdateInProgress;
        ws.UpdateInProgress = true;
        txtCode.setText(m_view->code().text());
        ws.UpdateInProgress = updating;
    }
    if (m_hooks.applySyntax) {
        m_hooks.applySyntax();
    }
    record->Code = txtCode.text();
    record->Date = DateStamp::now();
    m_context.views.txtUpdate->setText(record->Date);
    ws.CodeChanged = true;
}

std::vector<qsizetype> ComparisonList::takeTicked()
{
    std::vector<qsizetype> ids;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!m_model->isChecked(row)) {
            continue;
        }
        if (const auto id = m_model->id(row)) {
            ids.push_back(*id);
            m_model->setChecked(row, false);
        }
    }
    return ids;
}
