#pragma once

#include "gui/SettingsClient.h"

#include <functional>
#include <QObject>

class QAction;
class QTreeWidgetItem;
struct WindowContext;

// Expand, collapse, the one-language view, child counts, node pictures and the library sort.
class TreeViews : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    explicit TreeViews(WindowContext& context, QObject* parent = nullptr);

    // The selected node and its direct children, then the selected node scrolled into view.
    void ExpandSelected();
    void CollapseSelected();

    void mnuTreeExpand_Click();
    void mnuTreeCollapse_Click();

    // Keeps only the selected node's language; the selection stays where it is.
    void mnuAllHide_Click();
    // Shows every language again: sort, rebuild and the first node selected; the child counts are
    // not put back (the menu item keeps its mark).
    void mnuAllDisplay_Click();
    // Applies the one-language view to a freshly built tree.
    void HideAllButOneLanguage();
    bool oneLanguageView() const { return m_oneNode; }
    QString keptLanguage() const { return m_oneLanguage; }
    // A language renamed in place stays the kept one.
    void languageRenamed(const QString& oldName, const QString& newName);

    // Inverts the child-count check mark and adds or takes away the counts.
    void mnuChildCount_Click();
    // After a rebuild that left the nodes without counts: while the menu item is checked, its mark
    // is cleared and the command run again, which sets it and counts the new nodes.
    void reapplyChildCounts();

    // Selects the tree's first node and shows it.
    void selectFirstNode();
    // Whether the child-count menu item is checked (a rebuild may have left the nodes without counts).
    bool childCountsShown() const;
    // Brings one node's count in line after its children changed.
    void updateChildCount(QTreeWidgetItem* node);

    // Switches the node pictures on or off, and applies the colours again.
    void mnuTreeIcons_Click();

    // Sorts the library, rebuilds the tree, re-applies the views and shows the first node.
    void SortSequence();
    // The same after the library was reloaded: rebuild, views, first node shown.
    void rebuildTree();

    // Sorts the selected node's children by name in the tree only.
    void sortSelectedChildren();

    // Visits node and everything below it, parents first; a null node means the whole tree.
    void TraverseTree(QTreeWidgetItem* node, const std::function<void(QTreeWidgetItem*)>& visit);

    QAction* hideAction() const { return m_mnuAllHide; }
    QAction* displayAction() const { return m_mnuAllDisplay; }

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

signals:
    // The node pictures were switched on or off: the colours are applied again.
    void picturesSwitched();

private:
    // Sorts the library's records; a large library's order is found while the window repaints.
    void sortLibrary();
    void showChildCounts(bool shown);
    void showSelectedAgain();
    void showImages(bool shown);
    void setExpandedSelected(bool expanded);
    void updateCategoryImages();
    void updateHideDisplay();

    WindowContext& m_context;
    bool m_oneNode = false;
    QString m_oneLanguage;
    QAction* m_mnuAllHide = nullptr;
    QAction* m_mnuAllDisplay = nullptr;
    QAction* m_mnuChildCount = nullptr;
    QAction* m_mnuTreeIcons = nullptr;
};
