#pragma once

#include "store/SnippetRecord.h"

#include <functional>
#include <QHash>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <vector>

// The library tree "Tree": every node carries a key, a tag ("Lang", "Cat", "Code") and image keys.
class LibraryTree : public QTreeWidget
{
    Q_OBJECT

public:
    enum Role
    {
        KeyRole = Qt::UserRole,
        TagRole,
        ImageRole,
        ExpandedImageRole,
        CountSuffixRole // the child-count suffix the text ends with while counts are shown
    };

    static const QString LangTag;
    static const QString CatTag;
    static const QString CodeTag;

    // The fixed pictures of the nodes.
    static const QString CloseImage;
    static const QString OpenImage;
    static const QString FormImage;
    static const QString MarkerImage;

    explicit LibraryTree(QWidget* parent = nullptr);
    ~LibraryTree() override;

    static QString key(const QTreeWidgetItem* node);
    static QString tag(const QTreeWidgetItem* node);
    static QString image(const QTreeWidgetItem* node);

    // The code-array index a snippet node stands for: its key without the leading "T".
    static qsizetype recordIndex(const QTreeWidgetItem* node);

    // A node's name: its text without the child-count suffix it may be showing.
    static QString nodeName(const QTreeWidgetItem* node);

    // Shows or takes away the "  (n)" suffix for the node's current number of children.
    static void setCountSuffix(QTreeWidgetItem* node, bool shown);

    // The pictures the nodes show, by image key ("close", "open", "form", "marker", "lang::...").
    void setImage(const QString& imageKey, const QIcon& icon) { m_images.insert(imageKey, icon); }
    bool hasImage(const QString& imageKey) const { return m_images.contains(imageKey); }

    // Node pictures on or off; new nodes follow, and updateImage brings an existing node in line.
    void setImagesShown(bool shown) { m_imagesShown = shown; }
    bool imagesShown() const { return m_imagesShown; }
    void updateImage(QTreeWidgetItem* node);
    // Every node's picture brought in line at once, with one repaint.
    void updateAllImages();
    // Gives the nodes (null ones skipped) the picture imageKey at once, with one repaint.
    void setNodeImages(const QList<QTreeWidgetItem*>& nodes, const QString& imageKey);

    // Whether the languages and categories show their child counts; a rebuilt tree shows none.
    bool countsShown() const { return m_countsShown; }
    void setCountsShown(bool shown) { m_countsShown = shown; }

    // Opens the node's label for editing in place; false when no editor opened. However the editor
    // closes, the label handlers hear of it: first the committed text (unless the edit was cancelled),
    // while the label still shows the old name, then the end of the edit.
    bool editLabel(QTreeWidgetItem* node);
    // Commits an open label edit as a click elsewhere would; nothing when no label is open.
    void finishLabelEdit();
    void setLabelHandlers(std::function<void(QTreeWidgetItem*, const QString&)> committed,
                          std::function<void(QTreeWidgetItem*)> ended);

    // A node not yet in the tree, with its picture; the caller inserts it.
    QTreeWidgetItem* makeNode(const QString& key, const QString& text, const QString& tag,
                              const QString& imageKey, const QString& expandedImageKey, bool bold) const;

    enum class Fill
    {
        Library, // every record that is not deleted, bookmarks marked
        Results  // only the records the last search matched, all plain
    };

    // Clears the tree and builds it from the sorted records: languages, categories, snippets.
    // Returns the number of snippet nodes.
    qsizetype fill(const CodeArray& records, Fill which);

    // The node with this key, or nullptr; a snippet's category gets its rows if it has none yet.
    QTreeWidgetItem* nodeByKey(const QString& key);

    // Number of nodes at every level, rows not yet created included.
    int nodeCount() const;
    // The number of languages, categories and snippets, rows not yet created included.
    struct Counts
    {
        int languages = 0;
        int categories = 0;
        int snippets = 0;
    };
    Counts countsByLevel() const;

    // Nodes by position, counted from 1 in the order a freshly built tree adds them.
    QTreeWidgetItem* nodeAtPosition(int position);
    int positionOf(const QTreeWidgetItem* node) const;

    // A category's snippet rows are created the first time it opens or code needs them: a large
    // library would otherwise cost a row per snippet at every rebuild. Creates them now; nothing for
    // any other node or a category that has them.
    void populate(QTreeWidgetItem* node);
    // Every category's rows; pace, when given, is called after each category.
    void populateAll(const std::function<void()>& pace = {});
    // Opens every node that has children, as QTreeView::expandAll would, with one layout of the view
    // and one expanded signal per opened node only: expandAll marks and reports every row of the
    // tree, a snippet's included.
    void expandEveryParent();
    // The node's number of children, rows not yet created included.
    static int childTotal(const QTreeWidgetItem* node);
    // The code-array indexes of a category's snippets in row order, rows not yet created included.
    QList<qsizetype> snippetIndexes(const QTreeWidgetItem* category) const;

    // The texts of a node's children, rows not yet created included (they show their records' titles).
    QStringList childTexts(const QTreeWidgetItem* node) const;

    // Gives the snippet nodes of these records the picture imageKey, rows created later included.
    void setSnippetImages(const QList<qsizetype>& indexes, const QString& imageKey);
    // Every snippet node, created or not, shows the plain picture.
    void removeAllMarkers();

signals:
    // Any mouse button pressed over a node.
    void nodePressed(QTreeWidgetItem* node, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QTreeWidgetItemIterator firstNode() const;
    bool isLabelEditor(const QWidget* editor) const;
    void endLabelEdit(bool commit);
    // Runs changes to many nodes without a model signal for each, then repaints once: the view would
    // otherwise look every changed node up among its open rows.
    void changeQuietly(const std::function<void()>& changes);
    void refreshKeys() const;
    // The snippet node a "T" key names, its category's rows made if need be.
    QTreeWidgetItem* snippetByKey(const QString& key);
    QTreeWidgetItem* makeSnippetNode(qsizetype index) const;
    QHash<QString, QIcon> m_images;
    bool m_imagesShown = true;
    QFont m_boldFont;
    mutable QHash<QString, QTreeWidgetItem*> m_byKey; // languages and categories
    // Snippet rows created so far, by record index (null where none is): a million rows looked up
    // or added by hash cost a far memory read each.
    mutable std::vector<QTreeWidgetItem*> m_byIndex;
    QTreeWidgetItem* rowOf(qsizetype index) const;
    void noteRow(qsizetype index, QTreeWidgetItem* row) const;
    mutable bool m_byKeyStale = true;
    bool m_populating = false;
    // What the rows not yet created are made from: the records the tree was filled from, and the
    // pictures commands gave them meanwhile where the records do not tell (the results tree).
    const CodeArray* m_records = nullptr;
    Fill m_fill = Fill::Library;
    QHash<qsizetype, QString> m_pendingImages;
    bool m_countsShown = false;

    QPersistentModelIndex m_labelNode; // the node whose label is open for editing
    bool m_labelCommitted = false;
    std::function<void(QTreeWidgetItem*, const QString&)> m_labelCommittedHandler;
    std::function<void(QTreeWidgetItem*)> m_labelEndedHandler;
};
