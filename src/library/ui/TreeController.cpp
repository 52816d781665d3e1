#include "library/ui/TreeController.h"

#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "library/ui/LibraryTree.h"
#include "library/Workspace.h"
#include "store/PathNames.h"

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString NotApplicable = QStringLiteral("n/a");

// The buttons that act on one snippet, and are off while a language or category is shown.
const QStringList SnippetOnlyButtons = {
    QStringLiteral("Add"),     QStringLiteral("Remove"),   QStringLiteral("SaveAs"),
    QStringLiteral("Viewer"),  QStringLiteral("SepFlag"),  QStringLiteral("Copy"),
    QStringLiteral("SepMail"), QStringLiteral("Bookmark"), QStringLiteral("UnBookmark"),
};

} // namespace

TreeController::TreeController(Workspace& ws, LibraryTree& tree, SnippetViews views, CommandToolbar& toolbar,
                               QLabel& status, QObject* parent)
    : QObject(parent), m_ws(ws), m_tree(tree), m_views(views), m_toolbar(toolbar), m_status(status)
{
    connect(&m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr) {
            Tree_NodeClick(current);
        }
    });
    connect(&m_tree, &LibraryTree::nodePressed, this, &TreeController::Tree_MouseDown);
    // Every rebuild of the tree, of the library or of search results, deletes the pressed node.
    connect(m_tree.model(), &QAbstractItemModel::modelReset, this, [this] { m_dragNode = nullptr; });
}

void TreeController::LoadIcons()
{
    for (const QString& name : {LibraryTree::CloseImage, LibraryTree::OpenImage, LibraryTree::FormImage,
                                LibraryTree::MarkerImage}) {
        m_tree.setImage(name, QIcon(QStringLiteral(":/images/%1.png").arg(name)));
    }

    const QDir folder(MergePathData(m_ws.programFolder, QStringLiteral("language_icons")));
    if (!folder.exists()) {
        Prompts::message(m_tree.window(), QStringLiteral("76 Path not found: %1").arg(folder.path()),
                         QStringLiteral("Load Icons"));
        return;
    }
    const QStringList files = folder.entryList({QStringLiteral("*.ico")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        QImageReader reader(folder.filePath(file));
        const QImage picture = reader.read();
        if (picture.isNull()) {
            Prompts::message(m_tree.window(),
                             QStringLiteral("481 Invalid picture: %1 (%2)").arg(file, reader.errorString()),
                             QStringLiteral("Load Icons"));
            return;
        }
        QIcon icon(QPixmap::fromImage(picture));
        // Further sizes in the same file make the icon sharp at other scales.
        while (reader.jumpToNextImage()) {
            const QImage more = reader.read();
            if (!more.isNull()) {
                icon.addPixmap(QPixmap::fromImage(more));
            }
        }
        m_tree.setImage(QStringLiteral("lang::") + file.chopped(4).toLower(), icon);
    }
}

void TreeController::FillTreeView()
{
    const qsizetype count = m_tree.fill(m_ws.codeArray, LibraryTree::Fill::Library);

    {
        // Selecting the first node here only marks it; the callers decide when it is shown.
        const QSignalBlocker block(&m_tree);
        m_tree.setCurrentItem(m_tree.topLevelItem(0));
    }
    m_ws.ResultsInTree = false;
    m_status.setText(QString::number(count) + QStringLiteral(" matching entries"));
    emit recordsReordered();
}

void TreeController::Tree_NodeClick(QTreeWidgetItem* node)
{
    if (node == nullptr) {
        return;
    }
    m_ws.UpdateInProgress = true;
    if (LibraryTree::tag(node) == LibraryTree::CodeTag) {
        showSnippet(node);
    } else {
        showSummary(node);
    }
    emit nodeShown(node);
    m_ws.UpdateInProgress = false;
}

void TreeController::showSummary(QTreeWidgetItem* node)
{
    const bool isLanguage = LibraryTree::tag(node) == LibraryTree::LangTag;
    setSnippetEditable(false);
    for (const QString& key : SnippetOnlyButtons) {
        m_toolbar.setButtonEnabled(key, false);
    }
    m_toolbar.setButtonEnabled(QStringLiteral("Delete"), !isLanguage);
    m_toolbar.setButtonEnabled(QStringLiteral("Sort"), true);

    if (isLanguage) {
        int snippets = 0;
        for (int i = 0; i < node->childCount(); ++i) {
            snippets += LibraryTree::childTotal(node->child(i));
        }
        m_views.txtTitle->setText(QStringLiteral("Language:    ") + LibraryTree::nodeName(node));
        m_views.txtCode->setText(QString::number(node->childCount()) + QStringLiteral(" categories\r\n") +
                                 QString::number(snippets) + QStringLiteral(" snippets"));
    } else {
        // Names, not texts: a shown child count is no part of either.
        m_views.txtTitle->setText(QStringLiteral("Category:    ") + LibraryTree::nodeName(node->parent()) +
                                  QStringLiteral("  ::::  ") + LibraryTree::nodeName(node));
        m_views.txtCode->setText(QString::number(LibraryTree::childTotal(node)) +
                                 QStringLiteral(" snippets"));
    }
    m_views.txtKeywords->setText(NotApplicable);
    m_views.txtUpdate->setText(NotApplicable);
    m_views.txtObject->setText(NotApplicable);
}

void TreeController::showSnippet(QTreeWidgetItem* node)
{
    for (const QString& key : SnippetOnlyButtons) {
        m_toolbar.setButtonEnabled(key, true);
    }
    m_toolbar.setButtonEnabled(QStringLiteral("Delete"), true);
    m_toolbar.setButtonEnabled(QStringLiteral("Sort"), false);
    setSnippetEditable(true);

    const SnippetRecord* shown = recordOf(node);
    if (shown == nullptr) {
        return;
    }
    const SnippetRecord& record = *shown;
    m_views.txtTitle->setText(record.Title);
    m_views.txtCode->setText(record.Code.toString());
    m_views.txtKeywords->setText(record.Keywords);
    m_views.txtUpdate->setText(record.Date);
    m_views.txtObject->setText(record.ObjectName.trimmed().isEmpty() ? QStringLiteral("<no object>")
                                                                     : record.ObjectName);
}

void TreeController::setSnippetEditable(bool editable)
{
    m_views.txtCode->setReadOnly(!editable);
    m_views.txtTitle->setReadOnly(!editable);
    m_views.txtKeywords->setEnabled(editable);
}

qsizetype TreeController::Selection() const
{
    return LibraryTree::recordIndex(m_tree.currentItem());
}

SnippetRecord* TreeController::selectedRecord() const
{
    return recordOf(m_tree.currentItem());
}

SnippetRecord* TreeController::recordOf(const QTreeWidgetItem* node) const
{
    const qsizetype index = LibraryTree::recordIndex(node);
    if (LibraryTree::tag(node) != LibraryTree::CodeTag || index < 0 ||
        index >= qsizetype(m_ws.codeArray.size())) {
        return nullptr;
    }
    return &m_ws.codeArray[size_t(index)];
}

void TreeController::Tree_MouseDown(QTreeWidgetItem* node, Qt::MouseButton)
{
    m_dragNode = node;
    if (m_tree.currentItem() == node) {
        Tree_NodeClick(node);
    } else {
        m_tree.setCurrentItem(node);
    }
}
