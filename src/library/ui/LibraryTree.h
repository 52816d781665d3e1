#pragma once

#include <QHash>
#include <QIcon>
#include <QTreeWidget>

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
        ExpandedImageRole
    };

    static const QString LangTag;
    static const QString CatTag;
    static const QString CodeTag;

    explicit LibraryTree(QWidget* parent = nullptr);

    static QString key(const QTreeWidgetItem* node);
    static QString tag(const QTreeWidgetItem* node);
    static QString image(const QTreeWidgetItem* node);

    // The pictures the nodes show, by image key ("close", "open", "form", "marker", "lang::...").
    void setImage(const QString& imageKey, const QIcon& icon) { m_images.insert(imageKey, icon); }
    bool hasImage(const QString& imageKey) const { return m_images.contains(imageKey); }

    // A node not yet in the tree, with its picture; the caller inserts it.
    QTreeWidgetItem* makeNode(const QString& key, const QString& text, const QString& tag,
                              const QString& imageKey, const QString& expandedImageKey, bool bold) const;

    // The node with this key, or nullptr.
    QTreeWidgetItem* nodeByKey(const QString& key) const;

    // Number of nodes at every level.
    int nodeCount() const;

    // Nodes by position, counted from 1 in the order a freshly built tree adds them.
    QTreeWidgetItem* nodeAtPosition(int position) const;
    int positionOf(const QTreeWidgetItem* node) const;

signals:
    // Any mouse button pressed over a node.
    void nodePressed(QTreeWidgetItem* node, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showExpandedImage(QTreeWidgetItem* node, bool expanded);

    QHash<QString, QIcon> m_images;
    QFont m_boldFont;
    mutable QHash<QString, QTreeWidgetItem*> m_byKey;
    mutable bool m_byKeyStale = true;
};
