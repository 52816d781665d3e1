#include "library/ui/TreeViews.h"

#include "gui/BackgroundWork.h"
#include "gui/CommandToolbar.h"
#include "gui/EventPacer.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "settings/AppSettings.h"
#include "store/LibraryOrdering.h"

#include <algorithm>
#include <QAction>
#include <QMenu>

TreeViews::TreeViews(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
    QMenu* view = m_context.menus.view;
    auto item = [this, view](const char* name, const QString& caption, auto handler) {
        QAction* action = view->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    item("mnuTreeExpand", tr("&Expand All"), &TreeViews::mnuTreeExpand_Click);
    item("mnuTreeCollapse", tr("&Collapse All"), &TreeViews::mnuTreeCollapse_Click);
    view->addSeparator();
    m_mnuAllHide = item("mnuAllHide", tr("&Hide All Other Langauges"), &TreeViews::mnuAllHide_Click);
    m_mnuAllDisplay = item("mnuAllDisplay", tr("&Display All Languages"), &TreeViews::mnuAllDisplay_Click);
    view->addSeparator();
    // A check item has already turned its mark over when it reports the click.
    m_mnuChildCount = item("mnuChildCount", tr("&Display Child Count"), [this] {
        showChildCounts(m_mnuChildCount->isChecked());
        showSelectedAgain();
    });
    m_mnuChildCount->setCheckable(true);
    m_mnuTreeIcons = item("mnuTreeIcons", tr("Custom &Icons"), [this] {
        showImages(m_mnuTreeIcons->isChecked());
        emit picturesSwitched();
    });
    m_mnuTreeIcons->setCheckable(true);
    m_mnuTreeIcons->setChecked(true);
    view->addSeparator();
    item("mnuSort", tr("&Sort Selected Node"), &TreeViews::SortSequence);
    item("mnuSortTree", tr("Sort Entire &Tree"), &TreeViews::SortSequence);
    updateHideDisplay();

    m_context.toolbar.setCommand(QStringLiteral("Expand"), [this] { ExpandSelected(); });
    m_context.toolbar.setCommand(QStringLiteral("Collapse"), [this] { CollapseSelected(); });
    m_context.toolbar.setCommand(QStringLiteral("Sort"), [this] { sortSelectedChildren(); });

    connect(&m_context.startup, &StartupController::treeFilled, this, [this] {
        if (m_oneNode) {
            HideAllButOneLanguage();
        }
        if (m_mnuChildCount->isChecked()) {
            m_mnuChildCount->setChecked(false);
            mnuChildCount_Click();
        }
    });
    m_context.startup.addSettingsClient(this);
}

void TreeViews::ExpandSelected()
{
    setExpandedSelected(true);
}

void TreeViews::CollapseSelected()
{
    setExpandedSelected(false);
}

void TreeViews::setExpandedSelected(bool expanded)
{
    QTreeWidgetItem* node = m_context.tree.currentItem();
    if (node == nullptr) {
        return;
    }
    node->setExpanded(expanded);
    for (int i = 0; i < node->childCount(); ++i) {
        node->child(i)->setExpanded(expanded);
    }
    m_context.tree.scrollToItem(node);
}

void TreeViews::mnuTreeExpand_Click()
{
    const WaitCursor wait;
    LibraryTree& tree = m_context.tree;
    tree.setUpdatesEnabled(false);
    // The view opens nodes without reporting them, so every category gets its rows first; the rest
    // of the window repaints meanwhile.
    EventPacer pace;
    tree.populateAll([&pace] { pace(); });
    tree.expandEveryParent();
    updateCategoryImages();
    tree.setUpdatesEnabled(true);
    if (QTreeWidgetItem* selected = tree.currentItem()) {
        tree.scrollToItem(selected);
    }
}

void TreeViews::mnuTreeCollapse_Click()
{
    const WaitCursor wait;
    LibraryTree& tree = m_context.tree;
    tree.setUpdatesEnabled(false);
    {
        // Unblocked, the view reports every collapsed node while it still lays out the whole open tree.
        const QSignalBlocker block(&tree);
        tree.collapseAll();
    }
    updateCategoryImages();
    tree.setUpdatesEnabled(true);
}

void TreeViews::updateCategoryImages()
{
    LibraryTree& tree = m_context.tree;
    for (int l = 0; l < tree.topLevelItemCount(); ++l) {
        QTreeWidgetItem* language = tree.topLevelItem(l);
        for (int c = 0; c < language->childCount(); ++c) {
            if (language->child(c)->data(0, LibraryTree::ExpandedImageRole).isValid()) {
                tree.updateImage(language->child(c));
            }
        }
    }
}

void TreeViews::mnuAllHide_Click()
{
    const WaitCursor wait;
    m_context.tree.finishLabelEdit();
    QTreeWidgetItem* node = m_context.tree.currentItem();
    if (node == nullptr) {
        return;
    }
    while (node->parent() != nullptr) {
        node = node->parent();
    }
    m_oneNode = true;
    m_oneLanguage = LibraryTree::nodeName(node);
    HideAllButOneLanguage();
    if (QTreeWidgetItem* selected = m_context.tree.currentItem()) {
        m_context.tree.scrollToItem(selected);
    }
}

void TreeViews::HideAllButOneLanguage()
{
    LibraryTree& tree = m_context.tree;
    if (tree.topLevelItemCount() == 0) {
        return;
    }
    const QString kept = m_oneLanguage.toLower();
    QList<int> gone;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        if (LibraryTree::nodeName(tree.topLevelItem(i)).toLower() != kept) {
            gone.append(i);
        }
    }
    tree.finishLabelEdit();
    if (gone.size() == tree.topLevelItemCount()) {
        // The kept language is gone (renamed or deleted since): an empty tree would strand the user,
        // so every language stays and the view is left.
        m_oneNode = false;
        m_oneLanguage.clear();
        updateHideDisplay();
        return;
    }
    {
        // The callers choose what is shown afterwards; nodes passing by on the way are not shown.
        const QSignalBlocker block(&tree);
        tree.setUpdatesEnabled(false);
        QList<QTreeWidgetItem*> removed;
        for (auto i = gone.crbegin(); i != gone.crend(); ++i) {
            removed.append(tree.takeTopLevelItem(*i));
        }
        qDeleteAll(removed);
        tree.setUpdatesEnabled(true);
    }
    updateHideDisplay();
}

void TreeViews::mnuAllDisplay_Click()
{
    m_context.tree.finishLabelEdit();
    m_oneNode = false;
    m_oneLanguage.clear();
    updateHideDisplay();
    // Unlike the other rebuilds this one does not put the counts back: the menu item stays checked,
    // and switching the counts off and on shows them again.
    const WaitCursor wait;
    sortLibrary();
    m_context.treeController.FillTreeView();
    selectFirstNode();
}

void TreeViews::languageRenamed(const QString& oldName, const QString& newName)
{
    if (m_oneNode && m_oneLanguage.toLower() == oldName.toLower()) {
        m_oneLanguage = newName;
    }
}

void TreeViews::updateHideDisplay()
{
    m_mnuAllHide->setVisible(!m_oneNode);
    m_mnuAllDisplay->setVisible(m_oneNode);
}

void TreeViews::mnuChildCount_Click()
{
    m_mnuChildCount->setChecked(!m_mnuChildCount->isChecked());
    showChildCounts(m_mnuChildCount->isChecked());
    showSelectedAgain();
}

void TreeViews::reapplyChildCounts()
{
    if (m_mnuChildCount->isChecked()) {
        m_mnuChildCount->setChecked(false);
        mnuChildCount_Click();
    }
}

bool TreeViews::childCountsShown() const
{
    return m_mnuChildCount->isChecked();
}

void TreeViews::showChildCounts(bool shown)
{
    const WaitCursor wait;
    LibraryTree& tree = m_context.tree;
    tree.setCountsShown(shown);
    tree.setUpdatesEnabled(false);
    // Only languages and categories have children, so the walk stops above the snippets.
    for (int l = 0; l < tree.topLevelItemCount(); ++l) {
        QTreeWidgetItem* language = tree.topLevelItem(l);
        LibraryTree::setCountSuffix(language, shown);
        for (int c = 0; c < language->childCount(); ++c) {
            LibraryTree::setCountSuffix(language->child(c), shown);
        }
    }
    tree.setUpdatesEnabled(true);
}

void TreeViews::updateChildCount(QTreeWidgetItem* node)
{
    if (node != nullptr && m_context.tree.countsShown()) {
        LibraryTree::setCountSuffix(node, true);
    }
}

void TreeViews::showSelectedAgain()
{
    if (m_context.ws.StartupDone) {
        m_context.treeController.Tree_NodeClick(m_context.tree.currentItem());
    }
}

void TreeViews::mnuTreeIcons_Click()
{
    // The same path as the menu: the item turns its mark over and reports the click.
    m_mnuTreeIcons->trigger();
}

void TreeViews::showImages(bool shown)
{
    const WaitCursor wait;
    m_context.tree.setImagesShown(shown);
    m_context.tree.updateAllImages();
}

void TreeViews::SortSequence()
{
    // A rename still open names a record by its index before the sort.
    m_context.tree.finishLabelEdit();
    const WaitCursor wait;
    sortLibrary();
    rebuildTree();
}

void TreeViews::sortLibrary()
{
    CodeArray& records = m_context.ws.codeArray;
    // The order is found beside the window, which keeps repainting; the records move here after.
    std::vector<size_t> order;
    runWhilePainting(records.size(), [&] { order = LibraryOrdering::sortedOrder(records); });
    LibraryOrdering::applyOrder(records, order);
}

void TreeViews::rebuildTree()
{
    m_context.treeController.FillTreeView();
    if (m_oneNode) {
        HideAllButOneLanguage();
    }
    if (childCountsShown()) {
        showChildCounts(true);
    }
    selectFirstNode();
}

void TreeViews::selectFirstNode()
{
    LibraryTree& tree = m_context.tree;
    QTreeWidgetItem* first = tree.topLevelItem(0);
    {
        const QSignalBlocker block(&tree);
        tree.setCurrentItem(first);
    }
    if (first != nullptr) {
        tree.scrollToItem(first);
        m_context.treeController.Tree_NodeClick(first);
    }
}

void TreeViews::sortSelectedChildren()
{
    LibraryTree& tree = m_context.tree;
    tree.finishLabelEdit();
    const WaitCursor wait;
    QTreeWidgetItem* node = tree.currentItem();
    tree.populate(node);
    if (node == nullptr || node->childCount() < 2) {
        return;
    }
    QList<QTreeWidgetItem*> expanded;
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->isExpanded()) {
            expanded.append(node->child(i));
        }
    }
    tree.setUpdatesEnabled(false);
    {
        const QSignalBlocker block(&tree);
        QList<QTreeWidgetItem*> children = node->takeChildren();
        std::stable_sort(children.begin(), children.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
            return LibraryTree::nodeName(a).compare(LibraryTree::nodeName(b), Qt::CaseInsensitive) < 0;
        });
        node->addChildren(children);
    }
    for (QTreeWidgetItem* child : expanded) {
        child->setExpanded(true);
    }
    tree.setUpdatesEnabled(true);
}

void TreeViews::TraverseTree(QTreeWidgetItem* node, const std::function<void(QTreeWidgetItem*)>& visit)
{
    if (node == nullptr) {
        for (int i = 0; i < m_context.tree.topLevelItemCount(); ++i) {
            TraverseTree(m_context.tree.topLevelItem(i), visit);
        }
        return;
    }
    visit(node);
    m_context.tree.populate(node);
    for (int i = 0; i < node->childCount(); ++i) {
        TraverseTree(node->child(i), visit);
    }
}

void TreeViews::applySettings(const AppSettings& settings)
{
    m_oneNode = settings.OneNode;
    m_oneLanguage = settings.OneLanguage;
    m_mnuChildCount->setChecked(settings.ChildCount);
    m_mnuTreeIcons->setChecked(settings.TreeIcons);
    m_context.tree.setImagesShown(settings.TreeIcons);
    updateHideDisplay();
}

void TreeViews::collectSettings(AppSettings& settings) const
{
    settings.OneNode = m_oneNode;
    settings.OneLanguage = m_oneLanguage;
    settings.ChildCount = m_mnuChildCount->isChecked();
    settings.TreeIcons = m_mnuTreeIcons->isChecked();
}
