#include "library/ui/LibraryTree.h"

#include "store/Prefetch.h"

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

namespace {

// A category node, with the snippets whose rows are not created yet.
class CategoryNode : public QTreeWidgetItem
{
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;
    CategoryNode() : QTreeWidgetItem(Type) {}
    std::vector<qsizetype> pending;
};

// A snippet row made on demand. It keeps its few fields itself rather than in the item's role list:
// opening every category of a large library makes a row per snippet, and the list costs several
// allocations a row.
class SnippetNode : public QTreeWidgetItem
{
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 2;
    SnippetNode(qsizetype index, const QString& title, const QString& image)
        : QTreeWidgetItem(Type), m_index(index), m_title(title), m_image(image)
    {}

    qsizetype index() const { return m_index; }
    const QString& image() const { return m_image; }

    // The picture key and the icon without a role look-up and a variant for each: bulk bookmark
    // commands change hundreds of thousands of rows. The icon is the key's picture when pictures are
    // shown; otherwise a shown icon is taken away.
    void setImage(const QString& key) { m_image = key; }
    void showImage(const QIcon& icon, bool shown)
    {
        if (shown || showsIcon()) {
            m_icon = shown ? icon : QIcon();
            m_hasIcon = true;
            reportChange();
        }
    }

    QVariant data(int column, int role) const override
    {
        if (column == 0) {
            switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return m_title;
            case Qt::DecorationRole:
                return m_hasIcon ? QVariant(m_icon) : QVariant();
            case LibraryTree::KeyRole:
                return QString(QLatin1Char('T') + QString::number(m_index));
            case LibraryTree::TagRole:
                return LibraryTree::CodeTag;
            case LibraryTree::ImageRole:
                return m_image;
            default:
                break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }

    void setData(int column, int role, const QVariant& value) override
    {
        if (column != 0) {
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            m_title = value.toString();
            break;
        case Qt::DecorationRole:
            m_icon = value.value<QIcon>();
            m_hasIcon = true;
            break;
        case LibraryTree::KeyRole:
            m_index = value.toString().mid(1).toLongLong();
            break;
        case LibraryTree::ImageRole:
            m_image = value.toString();
            break;
        default:
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        reportChange();
    }

private:
    bool showsIcon() const { return m_hasIcon && !m_icon.isNull(); }

    void reportChange()
    {
        // Reporting the change looks the row up among its siblings first, one by one; while the
        // model is silenced there is no one to tell, and a bulk change of thousands of rows would
        // spend its time on those searches.
        const QTreeWidget* view = treeWidget();
        if (view == nullptr || !view->model()->signalsBlocked()) {
            emitDataChanged();
        }
    }

    qsizetype m_index;
    QString m_title;
    QString m_image;
    QIcon m_icon;
    bool m_hasIcon = false;
};

SnippetNode* snippetNode(QTreeWidgetItem* node)
{
    return node != nullptr && node->type() == SnippetNode::Type ? static_cast<SnippetNode*>(node) : nullptr;
}

CategoryNode* pendingCategory(const QTreeWidgetItem* node)
{
    if (node == nullptr || node->type() != CategoryNode::Type) {
        return nullptr;
    }
    auto* category = static_cast<CategoryNode*>(const_cast<QTreeWidgetItem*>(node));
    return category->pending.empty() ? nullptr : category;
}

} // namespace

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
    // Rows being populated are added to the lookup as they are made.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (!m_populating) {
            m_byKeyStale = true;
        }
    });
    connect(model(), &QAbstractItemModel::rowsRemoved, this, markStale);
    // Renaming a node as its title is typed must not cost a walk of the whole tree.
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex&, const QList<int>& roles) {
                // A snippet row reports every change without its role, and its key never changes.
                const QTreeWidgetItem* node = itemFromIndex(topLeft);
                if (!m_populating && (roles.isEmpty() || roles.contains(KeyRole)) &&
                    (node == nullptr || node->type() != SnippetNode::Type)) {
                    m_byKeyStale = true;
                }
            });
    connect(model(), &QAbstractItemModel::modelReset, this, markStale);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        populate(node);
        updateImage(node);
    });
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
    if (node != nullptr && node->type() == SnippetNode::Type) {
        return static_cast<const SnippetNode*>(node)->index();
    }
    return key(node).mid(1).toLongLong();
}

int LibraryTree::childTotal(const QTreeWidgetItem* node)
{
    if (node == nullptr) {
        return 0;
    }
    const CategoryNode* category = pendingCategory(node);
    return node->childCount() + (category ? int(category->pending.size()) : 0);
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
    const int children = childTotal(node);
    const QString suffix = shown && children > 0 ? QStringLiteral("  (%1)").arg(children) : QString();
    node->setData(0, CountSuffixRole, suffix.isEmpty() ? QVariant() : QVariant(suffix));
    node->setText(0, name + suffix);
}

QTreeWidgetItem* LibraryTree::makeNode(const QString& key, const QString& text, const QString& tag,
                                       const QString& imageKey, const QString& expandedImageKey,
                                       bool bold) const
{
    auto* node = tag == CatTag ? new CategoryNode : new QTreeWidgetItem;
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
    // A snippet row never has a picture of its own for being open.
    if (SnippetNode* row = snippetNode(node)) {
        row->showImage(m_imagesShown ? m_images.value(row->image()) : QIcon(), m_imagesShown);
        return;
    }
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
    const QIcon icon = m_imagesShown ? m_images.value(imageKey) : QIcon();
    changeQuietly([&] {
        for (QTreeWidgetItem* node : nodes) {
            if (SnippetNode* row = snippetNode(node)) {
                if (row->image() != imageKey) {
                    row->setImage(imageKey);
                    row->showImage(icon, m_imagesShown);
                }
            } else if (node != nullptr && image(node) != imageKey) {
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

void LibraryTree::refreshKeys() const
{
    if (!m_byKeyStale) {
        return;
    }
    m_byKey.clear();
    m_byIndex.assign(m_records != nullptr ? m_records->size() : 0, nullptr);
    for (QTreeWidgetItemIterator it = firstNode(); *it; ++it) {
        if (tag(*it) == CodeTag) {
            noteRow(recordIndex(*it), *it);
        } else {
            m_byKey.insert(LibraryTree::key(*it), *it);
        }
    }
    m_byKeyStale = false;
}

QTreeWidgetItem* LibraryTree::rowOf(qsizetype index) const
{
    return index >= 0 && size_t(index) < m_byIndex.size() ? m_byIndex[size_t(index)] : nullptr;
}

void LibraryTree::noteRow(qsizetype index, QTreeWidgetItem* row) const
{
    if (index < 0) {
        return;
    }
    if (size_t(index) >= m_byIndex.size()) {
        m_byIndex.resize(size_t(index) + 1, nullptr);
    }
    m_byIndex[size_t(index)] = row;
}

QTreeWidgetItem* LibraryTree::nodeByKey(const QString& key)
{
    refreshKeys();
    if (QTreeWidgetItem* snippet = snippetByKey(key)) {
        return snippet;
    }
    return m_byKey.value(key);
}

QTreeWidgetItem* LibraryTree::snippetByKey(const QString& key)
{
    if (!key.startsWith(QLatin1Char('T'))) {
        return nullptr;
    }
    bool isNumber = false;
    const qsizetype index = key.mid(1).toLongLong(&isNumber);
    if (!isNumber || key != QLatin1Char('T') + QString::number(index)) {
        return nullptr;
    }
    if (QTreeWidgetItem* node = rowOf(index)) {
        return node;
    }
    if (m_records == nullptr || index < 0 || index >= qsizetype(m_records->size())) {
        return nullptr;
    }
    // The row may not be made yet: it waits in a category of the language its record names.
    const QString languageLower = (*m_records)[size_t(index)].Language.toLower();
    for (int l = 0; l < topLevelItemCount(); ++l) {
        QTreeWidgetItem* language = topLevelItem(l);
        if (nodeName(language).toLower() != languageLower) {
            continue;
        }
        for (int c = 0; c < language->childCount(); ++c) {
            const CategoryNode* category = pendingCategory(language->child(c));
            if (category != nullptr && std::find(category->pending.begin(), category->pending.end(), index) !=
                                           category->pending.end()) {
                populate(language->child(c));
                return rowOf(index);
            }
        }
    }
    return nullptr;
}

QTreeWidgetItem* LibraryTree::makeSnippetNode(qsizetype index) const
{
    const SnippetRecord& record = (*m_records)[size_t(index)];
    // The results tree shows every snippet plain, bookmarked or not.
    const QString image = m_pendingImages.value(
        index, m_fill == Fill::Library && record.isBookmarked() ? MarkerImage : FormImage);
    auto* node = new SnippetNode(index, record.Title, image);
    if (m_imagesShown) {
        node->setIcon(0, m_images.value(image));
    }
    // Only snippets move by drag and drop, as makeNode has it.
    node->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
    return node;
}

void LibraryTree::populate(QTreeWidgetItem* node)
{
    CategoryNode* category = pendingCategory(node);
    if (category == nullptr) {
        return;
    }
    const std::vector<qsizetype> indexes = std::move(category->pending);
    category->pending.clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(qsizetype(indexes.size()));
    const qsizetype recordCount = m_records != nullptr ? qsizetype(m_records->size()) : 0;
    // A row copies its record's title and reads its keywords; a category's records lie all over memory.
    // The record itself is asked for first, then, once it is near, the texts it points to.
    constexpr size_t Ahead = 8;
    for (size_t i = 0; i < indexes.size(); ++i) {
        if (i + 2 * Ahead < indexes.size() && indexes[i + 2 * Ahead] < recordCount) {
            const SnippetRecord& later = (*m_records)[size_t(indexes[i + 2 * Ahead])];
            prefetchForRead(&later.Title);
            prefetchForRead(&later.Keywords);
        }
        if (i + Ahead < indexes.size() && indexes[i + Ahead] < recordCount) {
            const SnippetRecord& ahead = (*m_records)[size_t(indexes[i + Ahead])];
            // The copy writes to the title's use count, which sits ahead of its characters.
            prefetchForWrite(const_cast<QString&>(ahead.Title).data_ptr().d_ptr());
            prefetchForRead(ahead.Keywords.constData());
        }
        if (indexes[i] < recordCount) {
            rows.append(makeSnippetNode(indexes[i]));
        }
    }
    m_populating = true;
    category->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    // Ahead of any row added since: the eager tree had these first.
    category->insertChildren(0, rows);
    m_populating = false;
    if (!m_byKeyStale) {
        for (QTreeWidgetItem* row : std::as_const(rows)) {
            noteRow(recordIndex(row), row);
        }
    }
}

void LibraryTree::expandEveryParent()
{
    // While a layout is pending, opening a node only records it; the layout then places every row once.
    scheduleDelayedItemsLayout();
    std::vector<QTreeWidgetItem*> open;
    for (int l = topLevelItemCount() - 1; l >= 0; --l) {
        open.push_back(topLevelItem(l));
    }
    while (!open.empty()) {
        QTreeWidgetItem* node = open.back();
        open.pop_back();
        // Whether the model reports children, as expandAll asks.
        const QTreeWidgetItem::ChildIndicatorPolicy policy = node->childIndicatorPolicy();
        if (policy == QTreeWidgetItem::DontShowIndicator ||
            (policy == QTreeWidgetItem::DontShowIndicatorWhenChildless && node->childCount() == 0)) {
            continue;
        }
        node->setExpanded(true);
        for (int c = node->childCount() - 1; c >= 0; --c) {
            open.push_back(node->child(c));
        }
    }
    executeDelayedItemsLayout();
}

void LibraryTree::populateAll(const std::function<void()>& pace)
{
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    for (int l = 0; l < topLevelItemCount(); ++l) {
        QTreeWidgetItem* language = topLevelItem(l);
        for (int c = 0; c < language->childCount(); ++c) {
            populate(language->child(c));
            if (pace) {
                pace();
            }
        }
    }
    setUpdatesEnabled(updates);
}

QList<qsizetype> LibraryTree::snippetIndexes(const QTreeWidgetItem* category) const
{
    QList<qsizetype> indexes;
    if (category == nullptr) {
        return indexes;
    }
    if (const CategoryNode* pending = pendingCategory(category)) {
        indexes.reserve(qsizetype(pending->pending.size()) + category->childCount());
        for (const qsizetype index : pending->pending) {
            indexes.append(index);
        }
    }
    for (int i = 0; i < category->childCount(); ++i) {
        indexes.append(recordIndex(category->child(i)));
    }
    return indexes;
}

QStringList LibraryTree::childTexts(const QTreeWidgetItem* node) const
{
    QStringList texts;
    if (const CategoryNode* category = pendingCategory(node)) {
        for (const qsizetype index : category->pending) {
            texts.append(index < qsizetype(m_records->size()) ? (*m_records)[size_t(index)].Title
                                                              : QString());
        }
    }
    for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
        texts.append(node->child(i)->text(0));
    }
    return texts;
}

void LibraryTree::removeAllMarkers()
{
    QList<QTreeWidgetItem*> marked;
    for (QTreeWidgetItemIterator it = firstNode(); *it; ++it) {
        const SnippetNode* row = snippetNode(*it);
        if (row != nullptr ? row->image() != FormImage : tag(*it) == CodeTag && image(*it) != FormImage) {
            marked.append(*it);
        }
    }
    m_pendingImages.clear();
    setNodeImages(marked, FormImage);
}

void LibraryTree::setSnippetImages(const QList<qsizetype>& indexes, const QString& imageKey)
{
    refreshKeys();
    QList<QTreeWidgetItem*> nodes;
    for (const qsizetype index : indexes) {
        if (QTreeWidgetItem* node = rowOf(index)) {
            nodes.append(node);
        } else if (m_fill == Fill::Results) {
            // The library's rows follow the bookmarks of their records; the results rows do not.
            m_pendingImages.insert(index, imageKey);
        }
    }
    setNodeImages(nodes, imageKey);
}

// Visits the nodes depth first as firstNode does; a category's rows not yet made count by their number,
// visit getting the category and that number. visit returns false to stop.
template <typename Visit> static void walkNodes(const LibraryTree& tree, Visit visit)
{
    std::function<bool(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* node) {
        const CategoryNode* category = pendingCategory(node);
        if (!visit(node, category ? int(category->pending.size()) : 0)) {
            return false;
        }
        for (int i = 0; i < node->childCount(); ++i) {
            if (!walk(node->child(i))) {
                return false;
            }
        }
        return true;
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        if (!walk(tree.topLevelItem(i))) {
            return;
        }
    }
}

int LibraryTree::nodeCount() const
{
    int count = 0;
    walkNodes(*this, [&](QTreeWidgetItem*, int pending) {
        count += 1 + pending;
        return true;
    });
    return count;
}

LibraryTree::Counts LibraryTree::countsByLevel() const
{
    Counts counts;
    walkNodes(*this, [&](QTreeWidgetItem* node, int pending) {
        const QString nodeTag = tag(node);
        counts.languages += nodeTag == LangTag;
        counts.categories += nodeTag == CatTag;
        counts.snippets += (nodeTag == CodeTag) + pending;
        return true;
    });
    return counts;
}

QTreeWidgetItem* LibraryTree::nodeAtPosition(int position)
{
    int current = 0;
    QTreeWidgetItem* found = nullptr;
    QTreeWidgetItem* holder = nullptr;
    int offset = 0;
    walkNodes(*this, [&](QTreeWidgetItem* node, int pending) {
        if (++current == position) {
            found = node;
            return false;
        }
        // Pending rows come first among the category's children.
        if (position <= current + pending) {
            holder = node;
            offset = position - current - 1;
            return false;
        }
        current += pending;
        return true;
    });
    if (holder != nullptr) {
        populate(holder);
        return holder->child(offset);
    }
    return found;
}

int LibraryTree::positionOf(const QTreeWidgetItem* node) const
{
    int current = 0;
    int found = 0;
    walkNodes(*this, [&](QTreeWidgetItem* visited, int pending) {
        ++current;
        if (visited == node) {
            found = current;
            return false;
        }
        current += pending;
        return true;
    });
    return found;
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
    m_records = &records;
    m_fill = which;
    m_pendingImages.clear();

    // Nodes are built detached and inserted at once: much faster than one by one. Snippet rows wait
    // in their category until it is opened or needed.
    QList<QTreeWidgetItem*> languages;
    QTreeWidgetItem* language = nullptr;
    CategoryNode* category = nullptr;
    QString currentLanguage;
    QString currentLanguageLower;
    QString currentCategoryLower;
    // Neighbours mostly spell their names alike, which spares lowering every record's names.
    QString previousLanguage;
    QString previousCategory;
    qsizetype count = 0;
    for (qsizetype i = 0; i < qsizetype(records.size()); ++i) {
        const SnippetRecord& record = records[size_t(i)];
        if (record.Deleted || (which == Fill::Results && !record.Matched)) {
            continue;
        }
        if (language == nullptr ||
            (record.Language != previousLanguage && record.Language.toLower() != currentLanguageLower)) {
            category = nullptr;
            currentLanguage = record.Language;
            currentLanguageLower = record.Language.toLower();
            const QString iconKey = QStringLiteral("lang::") + currentLanguageLower;
            language = makeNode(currentLanguage, currentLanguage, LangTag,
                                hasImage(iconKey) ? iconKey : CloseImage, QString(), true);
            languages.append(language);
        }
        previousLanguage = record.Language;
        if (category == nullptr ||
            (record.Category != previousCategory && record.Category.toLower() != currentCategoryLower)) {
            currentCategoryLower = record.Category.toLower();
            category =
                static_cast<CategoryNode*>(makeNode(currentLanguage + QStringLiteral(":::") + record.Category,
                                                    record.Category, CatTag, CloseImage, OpenImage, true));
            category->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            language->addChild(category);
        }
        previousCategory = record.Category;
        category->pending.push_back(i);
        ++count;
    }
    addTopLevelItems(languages);
    setUpdatesEnabled(true);
    return count;
}
