#pragma once

#include "gui/SettingsClient.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QTreeWidgetItem;
class QWidget;
class TreeViews;
struct WindowContext;

// New, delete, duplicate, rename and drag-and-drop of tree nodes, with the tree's popup menus.
class NodeCommands : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    NodeCommands(WindowContext& context, TreeViews& treeViews, QObject* parent = nullptr);

    // A new language, category or snippet, by the kind of the selected node; its label opens for editing.
    void NewSelected();

    // Deletes the selected snippet, or a category with all its snippets; languages are not deleted.
    void DeleteSelected();

    // Copies the selected snippet's title and code into a new snippet of the same category.
    void mnuDuplicate_Click();

    // Opens the selected node's label for editing in place.
    void startLabelEdit();

    // Applies an edited label to a node that still shows its old name; a blank name is refused.
    void Tree_AfterLabelEdit(QTreeWidgetItem* node, const QString& newText);

    // Moves the selected snippet into the target category; any other target moves nothing.
    void Tree_DragDrop(QTreeWidgetItem* target);

    // Delete deletes, F2 renames; true when the key was one of them.
    bool Tree_KeyUp(int key);

    // The popup menu for a node's kind, or nullptr.
    QMenu* popupMenuFor(const QTreeWidgetItem* node) const;

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    int nextCount();
    qsizetype appendRecord(const QString& language, const QString& category, const QString& title,
                           const QString& code);
    void select(QTreeWidgetItem* node);

    WindowContext& m_context;
    TreeViews& m_treeViews;
    QMenu* m_mnuPopupLang = nullptr;
    QMenu* m_mnuPopupCat = nullptr;
    QMenu* m_mnuPopUpCode = nullptr;
    QAction* m_mnuConfirmDelete = nullptr;
    QWidget* m_viewport = nullptr;
};
