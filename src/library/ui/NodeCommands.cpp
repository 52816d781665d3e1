#include "library/ui/NodeCommands.h"

#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/ui/TreeViews.h"
#include "library/Workspace.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"
#include "store/DateStamp.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

namespace {

const QString Separator = QStringLiteral(":::");

} // namespace

NodeCommands::NodeCommands(WindowContext& context, TreeViews& treeViews, QObject* parent)
    : QObject(parent), m_context(context), m_treeViews(treeViews)
{
    LibraryTree& tree = m_context.tree;
    // Labels open only through the rename commands, so every edit reaches Tree_AfterLabelEdit.
    tree.setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree.setDragDropMode(QAbstractItemView::InternalMove);
    tree.setDefaultDropAction(Qt::MoveAction);
    // Dropping counts only onto a node, never between two; which nodes take a drop is in their flags.
    tree.setDragDropOverwriteMode(true);
    tree.setAutoExpandDelay(700);
    tree.invisibleRootItem()->setFlags(tree.invisibleRootItem()->flags() & ~Qt::ItemIsDropEnabled);
    tree.setContextMenuPolicy(Qt::PreventContextMenu);
    m_viewport = tree.viewport();
    tree.installEventFilter(this);
    m_viewport->installEventFilter(this);
    // However a label editor closes (Enter, Escape, focus lost, the selection moved by a command),
    // the tree reports it here; a pointer guard, as the tree may outlive this object.
    const QPointer<NodeCommands> self(this);
    tree.setLabelHandlers(
        [self](QTreeWidgetItem* node, const QString& text) {
            if (self) {
                self->Tree_AfterLabelEdit(node, text);
            }
        },
        [self](QTreeWidgetItem* node) {
            if (self) {
                // The count the label gave up while it was edited comes back.
                self->m_treeViews.updateChildCount(node);
            }
        });

    createMenus();
    m_context.toolbar.setCommand(QStringLiteral("New"), [this] { NewSelected(); });
    m_context.toolbar.setCommand(QStringLiteral("Delete"), [this] { DeleteSelected(); });
    m_context.startup.addSettingsClient(this);
}

void NodeCommands::createMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& caption, auto handler,
                       QAction* before = nullptr) {
        auto* action = new QAction(caption, menu);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        menu->insertAction(before, action);
        return action;
    };
    auto popup = [this](const char* name) {
        auto* menu = new QMenu(&m_context.tree);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    auto expand = [this] { m_treeViews.ExpandSelected(); };
    auto collapse = [this] { m_treeViews.CollapseSelected(); };

    m_mnuPopupLang = popup("mnuPopupLang");
    item(m_mnuPopupLang, "mnuLangExpand", tr("Expand"), expand);
    item(m_mnuPopupLang, "mnuLangCollapse", tr("Collapse"), collapse);
    m_mnuPopupLang->addSeparator();
    item(m_mnuPopupLang, "mnuPopupLangEdit", tr("&Edit Language Title"), &NodeCommands::startLabelEdit);
    item(m_mnuPopupLang, "mnuPopUpLangNew", tr("&New Language"), &NodeCommands::NewSelected);
    item(m_mnuPopupLang, "mnuPopupLangDelete", tr("&Delete Language"), &NodeCommands::DeleteSelected);
    m_mnuPopupLang->addSeparator();
    m_mnuPopupLang->addAction(m_treeViews.hideAction());
    m_mnuPopupLang->addAction(m_treeViews.displayAction());

    m_mnuPopupCat = popup("mnuPopupCat");
    item(m_mnuPopupCat, "mnuCatExpand", tr("Expand"), expand);
    item(m_mnuPopupCat, "mnuCatCollapse", tr("Collapse"), collapse);
    m_mnuPopupCat->addSeparator();
    item(m_mnuPopupCat, "mnuPopupCatEdit", tr("&Edit Category Title"), &NodeCommands::startLabelEdit);
    item(m_mnuPopupCat, "mnuPopupCatNew", tr("&New Category"), &NodeCommands::NewSelected);
    item(m_mnuPopupCat, "mnuPopupCatDelete", tr("&Delete Category"), &NodeCommands::DeleteSelected);

    m_mnuPopUpCode = popup("mnuPopUpCode");
    item(m_mnuPopUpCode, "mnuPopupCodeEdit", tr("&Edit Snippet Title"), &NodeCommands::startLabelEdit);
    item(m_mnuPopUpCode, "mnuPopupCodeNew", tr("&New Snippet"), &NodeCommands::NewSelected);
    item(m_mnuPopUpCode, "mnuPopupCodeDelete", tr("&Delete Snippet"), &NodeCommands::DeleteSelected);
    item(m_mnuPopUpCode, "mnuDuplicate", tr("Duplicate &Snippet"), &NodeCommands::mnuDuplicate_Click);
    // The bookmark commands are wired by the search side.
    for (const auto& [name, caption] : {std::pair{"mnuBookmark", tr("Add &Bookmark")},
                                        std::pair{"mnuRemoveBookmark2", tr("&Remove Bookmark")}}) {
        QAction* action = m_mnuPopUpCode->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(false);
    }

    // The node commands head the Edit menu, above the clipboard.
    QMenu* edit = m_context.menus.edit;
    QAction* first = edit->actions().value(0);
    item(edit, "mnuNew", tr("&New Node"), &NodeCommands::NewSelected, first);
    item(edit, "mnuDeleteNode", tr("Dele&te Node"), &NodeCommands::DeleteSelected, first);
    item(edit, "mnuDuplicateSnippet", tr("&Duplicate Snippet"), &NodeCommands::mnuDuplicate_Click, first);

    m_mnuConfirmDelete = m_context.menus.options->addAction(tr("&Confirm Delete"));
    m_mnuConfirmDelete->setObjectName(QStringLiteral("mnuConfirmDelete"));
    m_mnuConfirmDelete->setCheckable(true);
    m_mnuConfirmDelete->setChecked(true);
}

void NodeCommands::applySettings(const AppSettings& settings)
{
    m_mnuConfirmDelete->setChecked(settings.ConfirmDelete);
}

void NodeCommands::collectSettings(AppSettings& settings) const
{
    settings.ConfirmDelete = m_mnuConfirmDelete->isChecked();
}

int NodeCommands::nextCount()
{
    // Stored at once, so numbers are not handed out twice even if the program does not close properly.
    const QString key = QStringLiteral("iCount");
    const int count = m_context.settings.getInt(key, 0) + 1;
    m_context.settings.saveInt(key, count);
    m_context.settings.sync();
    return count;
}

qsizetype NodeCommands::appendRecord(const QString& language, const QString& category, const QString& title,
                                     const QString& code)
{
    SnippetRecord record;
    record.Language = language;
    record.Category = category;
    record.Title = title;
    record.Code = code;
    record.Date = DateStamp::now();
    m_context.ws.codeArray.push_back(std::move(record));
    return qsizetype(m_context.ws.codeArray.size()) - 1;
}

void NodeCommands::select(QTreeWidgetItem* node)
{
    LibraryTree& tree = m_context.tree;
    if (tree.currentItem() == node) {
        m_context.treeController.Tree_NodeClick(node);
    } else {
        tree.setCurrentItem(node);
    }
    tree.scrollToItem(node);
}

void NodeCommands::NewSelected()
{
    LibraryTree& tree = m_context.tree;
    tree.finishLabelEdit();
    QTreeWidgetItem* selected = tree.currentItem();
    const QString tag = LibraryTree::tag(selected);
    QTreeWidgetItem* category = tag == LibraryTree::CodeTag ? selected->parent() : nullptr;
    if (tag == LibraryTree::CodeTag && (category == nullptr || category->parent() == nullptr)) {
        return;
    }
    if (m_treeViews.childCountsShown()) {
        m_treeViews.mnuChildCount_Click();
    }
    const QString n = QString::number(nextCount());
    const QString snippetKey = QLatin1Char('T') + QString::number(m_context.ws.codeArray.size());

    QTreeWidgetItem* shown = nullptr;
    if (tag == LibraryTree::CatTag) {
        QTreeWidgetItem* language = selected->parent();
        const QString languageName = LibraryTree::nodeName(language);
        const QString categoryName = QStringLiteral("New Category ") + n;
        const QString title = QStringLiteral("New Snippet ") + n;
        appendRecord(languageName, categoryName, title, QString());
        shown = tree.makeNode(languageName + Separator + categoryName, categoryName, LibraryTree::CatTag,
                              LibraryTree::CloseImage, LibraryTree::OpenImage, true);
        shown->addChild(
            tree.makeNode(snippetKey, title, LibraryTree::CodeTag, LibraryTree::FormImage, QString(), false));
        language->addChild(shown);
    } else if (tag == LibraryTree::CodeTag) {
        const QString title = QStringLiteral("New Snippet ") + n;
        appendRecord(LibraryTree::nodeName(category->parent()), LibraryTree::nodeName(category), title,
                     QString());
        shown =
            tree.makeNode(snippetKey, title, LibraryTree::CodeTag, LibraryTree::FormImage, QString(), false);
        category->addChild(shown);
    } else {
        // A language is selected, or nothing at all in an empty tree: a whole new language.
        const QString languageName = QStringLiteral("Language ") + n;
        const QString categoryName = QStringLiteral("Category ") + n;
        const QString title = QStringLiteral("Snippet ") + n;
        appendRecord(languageName, categoryName, title, QString());
        shown = tree.makeNode(languageName, languageName, LibraryTree::LangTag, LibraryTree::CloseImage,
                              QString(), true);
        QTreeWidgetItem* newCategory =
            tree.makeNode(languageName + Separator + categoryName, categoryName, LibraryTree::CatTag,
                          LibraryTree::CloseImage, LibraryTree::OpenImage, true);
        newCategory->addChild(
            tree.makeNode(snippetKey, title, LibraryTree::CodeTag, LibraryTree::FormImage, QString(), false));
        shown->addChild(newCategory);
        tree.addTopLevelItem(shown);
    }
    select(shown);
    m_context.ws.CodeChanged = true;
    startLabelEdit();
}

void NodeCommands::DeleteSelected()
{
    LibraryTree& tree = m_context.tree;
    tree.finishLabelEdit();
    QTreeWidgetItem* node = tree.currentItem();
    const QString tag = LibraryTree::tag(node);
    if (node == nullptr) {
        return;
    }
    if (tag == LibraryTree::LangTag) {
        QApplication::beep();
        m_context.status.setText(
            QStringLiteral("A language is not deleted itself: it goes once its categories are deleted."));
        return;
    }
    const QString title =
        tag == LibraryTree::CatTag ? QStringLiteral("Delete Category") : QStringLiteral("Delete Code");
    if (m_mnuConfirmDelete->isChecked() &&
        Prompts::question(&m_context.window, QStringLiteral("Are you sure?"), title,
                          {Prompts::Answer::Ok, Prompts::Answer::Cancel}) != Prompts::Answer::Ok) {
        return;
    }

    CodeArray& records = m_context.ws.codeArray;
    const QList<qsizetype> snippets = tag == LibraryTree::CodeTag
                                          ? QList<qsizetype>{LibraryTree::recordIndex(node)}
                                          : tree.snippetIndexes(node);
    for (const qsizetype index : snippets) {
        if (index >= 0 && index < qsizetype(records.size())) {
            records[size_t(index)].Deleted = true;
        }
    }

    // The neighbour that takes the selection: the next sibling, else the previous one (so deleting
    // the last snippet of a category selects the snippet before it), else the parent.
    QTreeWidgetItem* parent = node->parent();
    const int row = parent ? parent->indexOfChild(node) : tree.indexOfTopLevelItem(node);
    QTreeWidgetItem* next = nullptr;
    {
        const QSignalBlocker block(&tree);
        delete node;
        const int left = parent ? parent->childCount() : tree.topLevelItemCount();
        if (left > 0) {
            const int at = std::min(row, left - 1);
            next = parent ? parent->child(at) : tree.topLevelItem(at);
        } else {
            next = parent;
        }
        tree.setCurrentItem(next);
    }
    m_treeViews.updateChildCount(parent);
    if (next != nullptr) {
        tree.scrollToItem(next);
        m_context.treeController.Tree_NodeClick(next);
    }
    m_context.ws.CodeChanged = true;
}

void NodeCommands::mnuDuplicate_Click()
{
    m_context.tree.finishLabelEdit();
    QTreeWidgetItem* node = m_context.tree.currentItem();
    QTreeWidgetItem* category = node ? node->parent() : nullptr;
    if (LibraryTree::tag(node) != LibraryTree::CodeTag || category == nullptr ||
        category->parent() == nullptr) {
        return;
    }
    const QString title = m_context.views.txtTitle->text();
    // A read-only editor on a snippet node shows something else (the start-up trace): copy the record.
    const CodeEditor* editor = m_context.views.txtCode;
    const QString code = editor->isReadOnly()
                             ? m_context.ws.codeArray[size_t(LibraryTree::recordIndex(node))].Code.toString()
                             : editor->text();
    nextCount();
    const qsizetype index =
        appendRecord(LibraryTree::nodeName(category->parent()), LibraryTree::nodeName(category), title, code);
    category->addChild(m_context.tree.makeNode(QLatin1Char('T') + QString::number(index), title,
                                               LibraryTree::CodeTag, LibraryTree::FormImage, QString(),
                                               false));
    m_treeViews.updateChildCount(category);
    m_context.ws.CodeChanged = true;
}

void NodeCommands::startLabelEdit()
{
    LibraryTree& tree = m_context.tree;
    tree.finishLabelEdit();
    QTreeWidgetItem* node = tree.currentItem();
    if (node == nullptr) {
        return;
    }
    // The label offered is the bare name; the count comes back when the edit ends.
    LibraryTree::setCountSuffix(node, false);
    tree.scrollToItem(node);
    if (!tree.editLabel(node)) {
        m_treeViews.updateChildCount(node);
    }
}

void NodeCommands::Tree_AfterLabelEdit(QTreeWidgetItem* node, const QString& newText)
{
    if (node == nullptr) {
        return;
    }
    const QString tag = LibraryTree::tag(node);
    const QString oldName = LibraryTree::nodeName(node);
    QString name = newText;
    // A count typed or left at the end of the label is display, not part of the name.
    const int children = LibraryTree::childTotal(node);
    const QString suffix = QStringLiteral("  (%1)").arg(children);
    if (tag != LibraryTree::CodeTag && children > 0 && name.endsWith(suffix)) {
        name.chop(suffix.size());
    }
    if (name.trimmed().isEmpty()) {
        // A blank language or category would leave records that no node can show.
        QApplication::beep();
        m_context.status.setText(QStringLiteral("A name cannot be empty."));
        node->setText(0, oldName);
        m_treeViews.updateChildCount(node);
        return;
    }
    Workspace& ws = m_context.ws;
    CodeArray& records = ws.codeArray;

    if (name != oldName) {
        if (tag == LibraryTree::LangTag) {
            const QString oldLower = oldName.toLower();
            // Records come in runs of one language: its lower case is made once per run, not once
            // per record, which counts in a library of a million.
            QString previous;
            bool renamed = false;
            for (SnippetRecord& record : records) {
                if (record.Language != previous) {
                    previous = record.Language;
                    renamed = previous.toLower() == oldLower;
                }
                if (renamed) {
                    record.Language = name;
                }
            }
            // Keys follow the names, so later lookups by language text still find the node.
            node->setData(0, LibraryTree::KeyRole, name);
            for (int i = 0; i < node->childCount(); ++i) {
                QTreeWidgetItem* category = node->child(i);
                category->setData(0, LibraryTree::KeyRole,
                                  name + Separator + LibraryTree::nodeName(category));
            }
            m_treeViews.languageRenamed(oldName, name);
            ws.CodeChanged = true;
        } else if (tag == LibraryTree::CatTag) {
            const QString now = DateStamp::now();
            for (const qsizetype index : m_context.tree.snippetIndexes(node)) {
                if (index >= 0 && index < qsizetype(records.size())) {
                    records[size_t(index)].Category = name;
                    records[size_t(index)].Date = now;
                }
            }
            node->setData(0, LibraryTree::KeyRole, LibraryTree::key(node->parent()) + Separator + name);
            ws.CodeChanged = ws.CodeChanged || children > 0;
        } else {
            const qsizetype index = LibraryTree::recordIndex(node);
            if (index >= 0 && index < qsizetype(records.size())) {
                records[size_t(index)].Title = name;
                records[size_t(index)].Date = DateStamp::now();
                ws.CodeChanged = true;
            }
        }
    }
    node->setText(0, name);
    m_treeViews.updateChildCount(node);
    if (node == m_context.tree.currentItem() && name != oldName) {
        if (tag == LibraryTree::CodeTag) {
            // The title box follows; its change event stamps the record as typing would.
            m_context.views.txtTitle->setText(name);
        } else {
            m_context.treeController.Tree_NodeClick(node);
        }
    }
}

void NodeCommands::Tree_DragDrop(QTreeWidgetItem* target)
{
    LibraryTree& tree = m_context.tree;
    tree.finishLabelEdit();
    QTreeWidgetItem* dragged = tree.currentItem();
    if (LibraryTree::tag(dragged) != LibraryTree::CodeTag ||
        LibraryTree::tag(target) != LibraryTree::CatTag || target->parent() == nullptr) {
        return;
    }
    QTreeWidgetItem* from = dragged->parent();
    if (from == target) {
        return;
    }
    const qsizetype index = LibraryTree::recordIndex(dragged);
    CodeArray& records = m_context.ws.codeArray;
    if (index < 0 || index >= qsizetype(records.size())) {
        return;
    }
    records[size_t(index)].Category = LibraryTree::nodeName(target);
    records[size_t(index)].Language = LibraryTree::nodeName(target->parent());
    // The moved snippet goes after the target's own, whose rows are made first.
    tree.populate(target);
    {
        const QSignalBlocker block(&tree);
        if (from != nullptr) {
            from->removeChild(dragged);
        }
        target->addChild(dragged);
        tree.setCurrentItem(dragged);
    }
    m_treeViews.updateChildCount(from);
    m_treeViews.updateChildCount(target);
    tree.scrollToItem(dragged);
    m_context.treeController.Tree_NodeClick(dragged);
    m_context.ws.CodeChanged = true;
}

bool NodeCommands::Tree_KeyUp(int key)
{
    if (key == Qt::Key_Delete) {
        DeleteSelected();
        return true;
    }
    if (key == Qt::Key_F2) {
        startLabelEdit();
        return true;
    }
    return false;
}

QMenu* NodeCommands::popupMenuFor(const QTreeWidgetItem* node) const
{
    const QString tag = LibraryTree::tag(node);
    if (tag == LibraryTree::LangTag) {
        return m_mnuPopupLang;
    }
    if (tag == LibraryTree::CatTag) {
        return m_mnuPopupCat;
    }
    if (tag == LibraryTree::CodeTag) {
        return m_mnuPopUpCode;
    }
    return nullptr;
}

bool NodeCommands::eventFilter(QObject* watched, QEvent* event)
{
    // Only pointers are compared before the event type is known: the filter also sees the tree's
    // children while the window is being taken down.
    LibraryTree& tree = m_context.tree;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == &tree) {
            const auto* key = static_cast<QKeyEvent*>(event);
            return key->modifiers() == Qt::NoModifier && Tree_KeyUp(key->key());
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_viewport && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            if (QMenu* menu = popupMenuFor(tree.currentItem())) {
                menu->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            }
            return true;
        }
        break;
    case QEvent::Drop:
        if (watched == m_viewport) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() == &tree) {
                Tree_DragDrop(tree.itemAt(drop->position().toPoint()));
                // Accepted without an action: the node has moved already, and a reported move would
                // make the view remove the dragged node afterwards.
                drop->setDropAction(Qt::IgnoreAction);
                drop->accept();
            } else {
                drop->ignore();
            }
            m_viewport->update();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
