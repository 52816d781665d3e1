#include "library/ui/LibraryTree.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>

const QString LibraryTree::LangTag = QStringLiteral("Lang");
const QString LibraryTree::CatTag = QStringLiteral("Cat");
const QString LibraryTree::CodeTag = QStringLiteral("Code");
const QString LibraryTree::CloseImage = QStringLiteral("close");
const QString LibraryTree::OpenImage = QStringLiteral("open");
const QString LibraryTree::FormImage = QStringLiteral("form");
const QString LibraryTree::MarkerImage = QStringLiteral("marker");

LibraryTree::LibraryTree(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("Tree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    m_boldFont = font();
    m_boldFont.setBold(true);

    auto markStale = [this] { m_byKeyStale = true; };
    connect(model(), &QAbstractItemModel::rowsInserted, this, markStale);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, markStale);
    // Renaming a node as its title is typed must not cost a walk of the whole tree.
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(KeyRole)) {
                    m_byKeyStale = true;
                }
            });
    connect(model(), &QAbstractItemModel::modelReset, this, markStale);
    connect(this, &QTreeWidget::itemExpanded, this, &LibraryTree::updateImage);
    connect(this, &QTreeWidget::itemCollapsed, this, &LibraryTree::updateImage);
}

LibraryTree::~LibraryTree()
{
    // QTreeWidget clears its model after this part of the object is gone; the model's signals
    // must not reach the handlers above by then.
    disconnect(model(), nullptr, this, nullptr);
}

QString LibraryTree::key(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QString LibraryTree::tag(const QTreeWidgetItem* node)
{
    return node ? node->data(0, TagRole).toString() : QString();
}

QString LibraryTree::image(const QTreeWidgetItem* node)
{
    return node ? node->data(0, ImageRole).toString() : QString();
}

qsizetype LibraryTree::recordIndex(const QTreeWidgetItem* node)
{
    return key(node).mid(1).toLongLong();
}

QString LibraryTree::nodeName(const QTreeWidgetItem* node)
{
    if (node == nullptr) {
        return QString();
    }
    const QString text = node->text(0);
    const QString suffix = node->data(0, CountSuffixRole).toString();
    return !suffix.isEmpty() && text.endsWith(suffix) ? text.chopped(suffix.size()) : text;
}

void LibraryTree::setCountSuffix(QTreeWidgetItem* node, bool shown)
{
    const QString name = nodeName(node);
    const QString suffix =
        shown && node->childCount() > 0 ? QStringLiteral("  (%1)").arg(node->childCount()) : QString();
    node->setData(0, CountSuffixRole, suffix.isEmpty() ? QVariant() : QVariant(suffix));
    node->setText(0, name + suffix);
}

QTreeWidgetItem* LibraryTree::makeNode(const QString& key, const QString& text, const QString& tag,
                                       const QString& imageKey, const QString& expandedImageKey,
                                       bool bold) const
{
    auto* node = new QTreeWidgetItem;
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    node->setData(0, TagRole, tag);
    node->setData(0, ImageRole, imageKey);
    if (!expandedImageKey.isEmpty()) {
        node->setData(0, ExpandedImageRole, expandedImageKey);
    }
    if (m_imagesShown) {
        node->setIcon(0, m_images.value(imageKey));
    }
    // Only snippets move by drag and drop, and only onto a category.
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (tag == CodeTag) {
        flags |= Qt::ItemIsDragEnabled;
    } else if (tag == CatTag) {
        flags |= Qt::ItemIsDropEnabled;
    }
    node->setFlags(flags);
    if (bold) {
        node->setFont(0, m_boldFont);
    }
    return node;
}

void LibraryTree::updateImage(QTreeWidgetItem* node)
{
    if (!m_imagesShown) {
        if (!node->icon(0).isNull()) {
            node->setIcon(0, QIcon());
        }
        return;
    }
    const QString expandedImage = node->data(0, ExpandedImageRole).toString();
    const bool open = !expandedImage.isEmpty() && node->isExpanded();
    node->setIcon(0, m_images.value(open ? expandedImage : image(node)));
}

void LibraryTree::changeQuietly(const std::function<void()>& changes)
{
    QAbstractItemModel* itemModel = model();
    const bool wasBlocked = itemModel->blockSignals(true);
    changes();
    itemModel->blockSignals(wasBlocked);
    viewport()->update();
}

void LibraryTree::updateAllImages()
{
    changeQuietly([this] {
        for (QTreeWidgetItemIterator it = firstNode(); *it; ++it) {
            updateImage(*it);
        }
    });
}

void LibraryTree::setNodeImages(const QList<QTreeWidgetItem*>& nodes, const QString& imageKey)
{
    changeQuietly([&] {
        for (QTreeWidgetItem* node : nodes) {
            if (node != nullptr && image(node) != imageKey) {
                node->setData(0, ImageRole, imageKey);
                updateImage(node);
            }
        }
    });
}

void LibraryTree::setLabelHandlers(std::function<void(QTreeWidgetItem*, const QString&)> committed,
                                   std::function<void(QTreeWidgetItem*)> ended)
{
    m_labelCommittedHandler = std::move(committed);
    m_labelEndedHandler = std::move(ended);
}

bool LibraryTree::editLabel(QTreeWidgetItem* node)
{
    finishLabelEdit();
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    m_labelNode = QPersistentModelIndex(indexFromItem(node));
    m_labelCommitted = false;
    editItem(node, 0);
    if (indexWidget(m_labelNode) == nullptr) {
        m_labelNode = QPersistentModelIndex();
        node->setFlags(node->flags() & ~Qt::ItemIsEditable);
        return false;
    }
    return true;
}

void LibraryTree::finishLabelEdit()
{
    endLabelEdit(true);
}

void LibraryTree::endLabelEdit(bool commit)
{
    if (!m_labelNode.isValid()) {
        return;
    }
    QWidget* editor = indexWidget(m_labelNode);
    if (editor == nullptr) {
        m_labelNode = QPersistentModelIndex();
        return;
    }
    if (commit) {
        commitData(editor);
    }
    closeEditor(editor, commit ? QAbstractItemDelegate::NoHint : QAbstractItemDelegate::RevertModelCache);
}

bool LibraryTree::isLabelEditor(const QWidget* editor) const
{
    return editor != nullptr && m_labelNode.isValid() && editor == indexWidget(m_labelNode);
}

void LibraryTree::commitData(QWidget* editor)
{
    const auto* line = qobject_cast<const QLineEdit*>(editor);
    if (!isLabelEditor(editor) || line == nullptr) {
        QTreeWidget::commitData(editor);
        return;
    }
    // The rename changes the label, not the view: the rename may refuse the name, and the records
    // must never lag behind what the label shows.
    if (m_labelCommitted) {
        return;
    }
    m_labelCommitted = true;
    if (m_labelCommittedHandler) {
        m_labelCommittedHandler(itemFromIndex(m_labelNode), line->text());
    }
}

void LibraryTree::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (!isLabelEditor(editor)) {
        QTreeWidget::closeEditor(editor, hint);
        return;
    }
    QTreeWidgetItem* node = itemFromIndex(m_labelNode);
    m_labelNode = QPersistentModelIndex();
    // Tab would move on and open the next label; a rename ends where it began.
    const bool movesOn =
        hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
    QTreeWidget::closeEditor(editor, movesOn ? QAbstractItemDelegate::NoHint : hint);
    node->setFlags(node->flags() & ~Qt::ItemIsEditable);
    if (m_labelEndedHandler) {
        m_labelEndedHandler(node);
    }
}

// Every walk goes depth first, parents before children: the order a freshly built tree adds them.
QTreeWidgetItemIterator LibraryTree::firstNode() const
{
    return QTreeWidgetItemIterator(const_cast<LibraryTree*>(this));
}

QTreeWidgetItem* LibraryTree::nodeByKey(const QString& key) const
{
    if (m_byKeyStale) {
        m_byKey.clear();
        for (QTreeWidgetItemIterator it = firstNode(); *it; ++it) {
            m_byKey.insert(LibraryTree::key(*it), *it);
        }
        m_byKeyStale = false;
    }
    return m_byKey.value(key);
}

int LibraryTree::nodeCount() const
{
    int count = 0;
    for (QTreeWidgetItemIterator it = firstNode(); *it; ++it) {
        ++count;
    }
    return count;
}

QTreeWidgetItem* LibraryTree::nodeAtPosition(int position) const
{
    int current = 0;
    for (QTreeWidgetItemIterator it = firstNode(); *it; ++it) {
        if (++current == position) {
            return *it;
        }
    }
    return nullptr;
}

int LibraryTree::positionOf(const QTreeWidgetItem* node) const
{
    int current = 0;
    for (QTreeWidgetItemIterator it = firstNode(); *it; ++it) {
        ++current;
        if (*it == node) {
            return current;
        }
    }
    return 0;
}

void LibraryTree::mousePressEvent(QMouseEvent* event)
{
    // The press is reported before the view moves its current node, so a click on the node
    // already shown shows it again, and a click elsewhere shows it once.
    QTreeWidgetItem* node = itemAt(event->position().toPoint());
    if (node != nullptr) {
        emit nodePressed(node, event->button());
    }
    if (event->button() == Qt::LeftButton) {
        QTreeWidget::mousePressEvent(event);
    }
}

qsizetype LibraryTree::fill(const CodeArray& records, Fill which)
{
    // The records may already be re-sorted or reloaded, so a rename still open would reach the wrong
    // record: it is dropped, and the label keeps its name. Commands that sort finish it before.
    endLabelEdit(false);
    setUpdatesEnabled(false);
    clear();
    m_countsShown = false;

    // Nodes are built detached and inserted a language at a time: much faster than one by one.
    QList<QTreeWidgetItem*> languages;
    QTreeWidgetItem* language = nullptr;
    QTreeWidgetItem* category = nullptr;
    QList<QTreeWidgetItem*> snippets;
    QString currentLanguage;
    QString currentLanguageLower;
    QString currentCategoryKeyLower;
    qsizetype count = 0;
    auto closeCategory = [&] {
        if (category != nullptr) {
            category->addChildren(snippets);
            snippets.clear();
        }
    };
    for (qsizetype i = 0; i < qsizetype(records.size()); ++i) {
        const SnippetRecord& record = records[size_t(i)];
        if (record.Deleted || (which == Fill::Results && !record.Matched)) {
            continue;
        }
        const QString languageLower = record.Language.toLower();
        if (language == nullptr || languageLower != currentLanguageLower) {
            closeCategory();
            category = nullptr;
            currentLanguage = record.Language;
            currentLanguageLower = languageLower;
            const QString iconKey = QStringLiteral("lang::") + languageLower;
            language = makeNode(currentLanguage, currentLanguage, LangTag,
                                hasImage(iconKey) ? iconKey : CloseImage, QString(), true);
            languages.append(language);
            currentCategoryKeyLower.clear();
        }
        const QString categoryKey = currentLanguage + QStringLiteral(":::") + record.Category;
        const QString categoryKeyLower = categoryKey.toLower();
        if (category == nullptr || categoryKeyLower != currentCategoryKeyLower) {
            closeCategory();
            currentCategoryKeyLower = categoryKeyLower;
            category = makeNode(categoryKey, record.Category, CatTag, CloseImage, OpenImage, true);
            language->addChild(category);
        }
        // The results tree shows every snippet plain, bookmarked or not.
        const bool marked = which == Fill::Library && record.isBookmarked();
        snippets.append(makeNode(QLatin1Char('T') + QString::number(i), record.Title, CodeTag,
                                 marked ? MarkerImage : FormImage, QString(), false));
        ++count;
    }
    closeCategory();
    addTopLevelItems(languages);
    setUpdatesEnabled(true);
    return count;
}
