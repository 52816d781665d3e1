#include "gui/CodeEditor.h"
#include "library/ui/NodeCommands.h"
#include "library/ui/TreeController.h"
#include "library/ui/TreeViews.h"
#include "search/ui/SearchPanel.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTreeWidgetItemIterator>

namespace {

// A small library whose names collide in case, so groups merge and renames meet their neighbours.
CodeArray randomLibrary(QRandomGenerator& random)
{
    static const QStringList languages = {"SQL", "sql", "Bash", "HTML", "C++"};
    static const QStringList categories = {"Strings", "strings", "Dates", "Files", "Misc"};
    CodeArray records;
    const int count = 10 + int(random.bounded(50));
    for (int i = 0; i < count; ++i) {
        records.push_back(WindowFixture::record(
            languages[int(random.bounded(languages.size()))],
            categories[int(random.bounded(categories.size()))], QStringLiteral("t%1").arg(random.bounded(50)),
            random.bounded(4) == 0 ? QStringLiteral("bookmark") : QString(),
            QStringLiteral("code %1").arg(i)));
    }
    return records;
}

// The tree as it was built before rows were made on demand: every snippet row at once, from the
// records, in the same order and with the same pictures. The view's state (selection, open nodes, the
// languages' and categories' texts) is carried over by key.
void buildEagerly(LibraryTree* tree, const CodeArray& records, bool results)
{
    const QString current = LibraryTree::key(tree->currentItem());
    QHash<QString, std::pair<QString, QVariant>> labels;
    QSet<QString> open;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (LibraryTree::tag(*it) != LibraryTree::CodeTag) {
            labels.insert(LibraryTree::key(*it),
                          {(*it)->text(0), (*it)->data(0, LibraryTree::CountSuffixRole)});
        }
        if ((*it)->isExpanded()) {
            open.insert(LibraryTree::key(*it));
        }
    }
    const QSignalBlocker quiet(tree);
    tree->clear();
    QList<QTreeWidgetItem*> languages;
    QTreeWidgetItem* language = nullptr;
    QTreeWidgetItem* category = nullptr;
    QString languageName;
    for (qsizetype i = 0; i < qsizetype(records.size()); ++i) {
        const SnippetRecord& r = records[size_t(i)];
        if (r.Deleted || (results && !r.Matched)) {
            continue;
        }
        if (language == nullptr || r.Language.toLower() != languageName.toLower()) {
            languageName = r.Language;
            const QString icon = QStringLiteral("lang::") + r.Language.toLower();
            language = tree->makeNode(r.Language, r.Language, LibraryTree::LangTag,
                                      tree->hasImage(icon) ? icon : LibraryTree::CloseImage, QString(), true);
            languages << language;
            category = nullptr;
        }
        const QString categoryKey = languageName + QStringLiteral(":::") + r.Category;
        if (category == nullptr || categoryKey.toLower() != LibraryTree::key(category).toLower()) {
            category = tree->makeNode(categoryKey, r.Category, LibraryTree::CatTag, LibraryTree::CloseImage,
                                      LibraryTree::OpenImage, true);
            language->addChild(category);
        }
        const bool marked = !results && r.isBookmarked();
        category->addChild(
            tree->makeNode(QLatin1Char('T') + QString::number(i), r.Title, LibraryTree::CodeTag,
                           marked ? LibraryTree::MarkerImage : LibraryTree::FormImage, QString(), false));
    }
    tree->addTopLevelItems(languages);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QString key = LibraryTree::key(*it);
        if (labels.contains(key)) {
            (*it)->setText(0, labels[key].first);
            (*it)->setData(0, LibraryTree::CountSuffixRole, labels[key].second);
        }
        if (open.contains(key)) {
            (*it)->setExpanded(true);
            tree->updateImage(*it);
        }
    }
    QTreeWidgetItem* selected = tree->nodeByKey(current);
    tree->setCurrentItem(selected ? selected : tree->topLevelItem(0));
}

// One window of a pair. The eager one has every row rebuilt the old way whenever the tree is filled.
struct Side
{
    WindowFixture f;
    bool eager = false;

    void open(const CodeArray& records)
    {
        f.writeLibrary(records);
        MainWindow& w = f.open();
        f.find<QAction>("mnuConfirmDelete")->setChecked(false);
        if (eager) {
            QObject::connect(&w.treeController(), &TreeController::recordsReordered, f.tree(),
                             [this] { rebuild(false); });
            rebuild(false);
        }
    }

    void rebuild(bool results) { buildEagerly(f.tree(), f.window().workspace().codeArray, results); }

    NodeCommands& nodes() { return *f.window().findChild<NodeCommands*>(); }
    TreeViews& views() { return *f.window().findChild<TreeViews*>(); }
    void trigger(const char* name) { f.find<QAction>(name)->trigger(); }
};

// What shows without opening anything more: the selection, its fields, the status, the language
// and category rows with their counts, and the number of nodes.
QStringList shown(Side& side)
{
    LibraryTree* tree = side.f.tree();
    QStringList lines{LibraryTree::key(tree->currentItem()), side.f.find<QLineEdit>("txtTitle")->text(),
                      side.f.find<CodeEditor>("txtCode")->text(), side.f.find<QLabel>("StatusBar1")->text(),
                      QString::number(tree->nodeCount())};
    for (int l = 0; l < tree->topLevelItemCount(); ++l) {
        QTreeWidgetItem* language = tree->topLevelItem(l);
        lines << language->text(0);
        for (int c = 0; c < language->childCount(); ++c) {
            lines << QStringLiteral("  ") + language->child(c)->text(0);
        }
    }
    return lines;
}

// Every node once all rows are made: level, text, key, picture key and the painted picture, font, state.
QStringList everything(Side& side)
{
    LibraryTree* tree = side.f.tree();
    tree->populateAll();
    QStringList lines;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QTreeWidgetItem* node = *it;
        int level = 0;
        for (const QTreeWidgetItem* above = node->parent(); above != nullptr; above = above->parent()) {
            ++level;
        }
        const QImage picture = node->icon(0).pixmap(16).toImage();
        lines << QStringLiteral("%1 %2 [%3] %4 %5 bold=%6 open=%7")
                     .arg(level)
                     .arg(node->text(0), LibraryTree::key(node), LibraryTree::image(node))
                     .arg(picture.isNull() ? 0
                                           : qHashBits(picture.constBits(), size_t(picture.sizeInBytes())))
                     .arg(node->font(0).bold())
                     .arg(node->isExpanded());
    }
    return lines;
}

// What each category tells of its snippet rows before they are made (the language export reads
// this): their record indexes and titles, in the order the rows show once made.
QStringList rowsReadAhead(LibraryTree* tree, bool make)
{
    if (make) {
        tree->populateAll();
    }
    QStringList lines;
    for (int l = 0; l < tree->topLevelItemCount(); ++l) {
        for (int c = 0; c < tree->topLevelItem(l)->childCount(); ++c) {
            const QTreeWidgetItem* category = tree->topLevelItem(l)->child(c);
            QStringList rows;
            if (make) {
                for (int s = 0; s < category->childCount(); ++s) {
                    rows << QString::number(LibraryTree::recordIndex(category->child(s))) + u' ' +
                                LibraryTree::nodeName(category->child(s));
                }
            } else {
                const QList<qsizetype> indexes = tree->snippetIndexes(category);
                const QStringList titles = tree->childTexts(category);
                for (qsizetype s = 0; s < indexes.size(); ++s) {
                    rows << QString::number(indexes.at(s)) + u' ' + titles.value(s);
                }
            }
            lines << rows.join(u'|');
        }
    }
    return lines;
}

QStringList recordFields(Side& side)
{
    QStringList lines;
    for (const SnippetRecord& r : side.f.window().workspace().codeArray) {
        lines << QStringList{r.Language, r.Category, r.Title, r.Keywords, QString::number(r.Deleted)}.join(
            u'|');
    }
    return lines;
}

// A node picked by position, as both windows number them alike.
QTreeWidgetItem* pick(Side& side, QRandomGenerator& random, const QString& tag = QString())
{
    LibraryTree* tree = side.f.tree();
    const int count = tree->nodeCount();
    for (int tries = 0; count > 0 && tries < 20; ++tries) {
        QTreeWidgetItem* node = tree->nodeAtPosition(1 + int(random.bounded(count)));
        if (node != nullptr && (tag.isEmpty() || LibraryTree::tag(node) == tag)) {
            return node;
        }
    }
    return nullptr;
}

void select(Side& side, QTreeWidgetItem* node)
{
    if (node != nullptr) {
        side.f.tree()->setCurrentItem(node);
    }
}

// Runs command number op; every random choice comes from random, so both windows choose alike.
void run(Side& side, int op, QRandomGenerator& random)
{
    static const QStringList names = {"Alpha", "alpha", "SQL", "Strings", "Dates", "t1"};
    LibraryTree* tree = side.f.tree();
    switch (op) {
    case 0:
        if (QTreeWidgetItem* node = pick(side, random)) {
            node->setExpanded(true);
        }
        break;
    case 1:
        if (QTreeWidgetItem* node = pick(side, random)) {
            node->setExpanded(false);
        }
        break;
    case 2: {
        QTreeWidgetItem* node = pick(side, random);
        const QString name = names[int(random.bounded(names.size()))];
        select(side, node);
        side.nodes().Tree_AfterLabelEdit(node, name);
        break;
    }
    case 3: {
        QTreeWidgetItem* snippet = pick(side, random, LibraryTree::CodeTag);
        QTreeWidgetItem* target = pick(side, random, LibraryTree::CatTag);
        if (snippet != nullptr && target != nullptr) {
            select(side, snippet);
            side.nodes().Tree_DragDrop(target);
        }
        break;
    }
    case 4:
        if (QTreeWidgetItem* node = pick(side, random)) {
            select(side, node);
            side.nodes().DeleteSelected();
        }
        break;
    case 5:
        side.trigger("mnuSortTree");
        break;
    case 6:
        if (QTreeWidgetItem* node = pick(side, random)) {
            select(side, node);
            side.views().sortSelectedChildren();
        }
        break;
    case 7:
        select(side, pick(side, random));
        side.nodes().NewSelected();
        tree->finishLabelEdit();
        break;
    case 8:
        select(side, pick(side, random, LibraryTree::CodeTag));
        side.nodes().mnuDuplicate_Click();
        break;
    case 9:
        select(side, pick(side, random));
        side.trigger("mnuBookmarkAll");
        break;
    case 10:
        side.trigger("mnuRemoveBookmarks");
        break;
    case 11:
        side.trigger("mnuChildCount");
        break;
    case 12:
        select(side, pick(side, random));
        side.trigger(side.views().oneLanguageView() ? "mnuAllDisplay" : "mnuAllHide");
        break;
    case 13:
        side.trigger(random.bounded(2) == 0 ? "mnuTreeExpand" : "mnuTreeCollapse");
        break;
    case 14:
        side.trigger("mnuTreeIcons");
        break;
    case 15: {
        const auto size = qsizetype(side.f.window().workspace().codeArray.size());
        select(side, tree->nodeByKey(QLatin1Char('T') + QString::number(random.bounded(int(size) + 1))));
        break;
    }
    case 16: {
        // The search results as the tree: every title listed, then shown as a tree.
        auto* search = side.f.window().findChild<SearchPanel*>(QStringLiteral("frameSearch"));
        side.f.find<QCheckBox>("chkAllLanguages")->setChecked(random.bounded(2) == 0);
        search->cmdAllTitles_Click();
        search->cmdTree_Click();
        if (side.eager) {
            side.rebuild(true);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

class LazyTreeTest : public QObject
{
    Q_OBJECT

private slots:
    void randomCommands_showTheSameTreeAsRowsMadeAtOnce_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 16; ++seed) {
            QTest::addRow("seed %u", seed) << seed;
        }
    }

    void randomCommands_showTheSameTreeAsRowsMadeAtOnce()
    {
        QFETCH(quint32, seed);
        QRandomGenerator libraryRandom(seed);
        const CodeArray records = randomLibrary(libraryRandom);
        Side lazy;
        Side eager;
        eager.eager = true;
        lazy.open(records);
        eager.open(records);
        QCOMPARE(shown(lazy), shown(eager));

        QRandomGenerator lazyRandom(seed * 7919);
        QRandomGenerator eagerRandom(seed * 7919);
        // Short runs compare rows made late from an untouched library; long ones after much editing.
        // Deleting and the one-language view come up less often, or the library would soon be gone.
        static const int ops[] = {0, 0, 0, 1,  2,  2,  3,  3,  4,  5,  6,  7,
                                  8, 9, 9, 10, 11, 12, 13, 14, 15, 15, 16, 16};
        const int steps = 1 + int(seed * 7 % 29);
        QStringList done;
        for (int step = 0; step < steps; ++step) {
            const int op = ops[lazyRandom.bounded(int(std::size(ops)))];
            eagerRandom.bounded(int(std::size(ops)));
            done << QString::number(op);
            run(lazy, op, lazyRandom);
            run(eager, op, eagerRandom);
            QVERIFY2(shown(lazy) == shown(eager), qPrintable(done.join(u' ')));
        }
        QCOMPARE(recordFields(lazy), recordFields(eager));
        const QStringList readAhead = rowsReadAhead(lazy.f.tree(), false);
        QCOMPARE(readAhead, rowsReadAhead(lazy.f.tree(), true));
        QCOMPARE(everything(lazy), everything(eager));
    }

    // Right after a fill only the languages and categories exist, yet counts, positions and lookups
    // by key see every snippet.
    void freshTree_countsAndFindsSnippetsWithoutTheirRows()
    {
        Side side;
        side.open({WindowFixture::record("SQL", "Strings", "Trim"),
                   WindowFixture::record("SQL", "Strings", "Pad"),
                   WindowFixture::record("SQL", "Dates", "Today"),
                   WindowFixture::record("Bash", "Files", "Count")});
        LibraryTree* tree = side.f.tree();
        QTreeWidgetItemIterator it(tree);
        int made = 0;
        for (; *it; ++it) {
            made += LibraryTree::tag(*it) == LibraryTree::CodeTag;
        }
        QCOMPARE(made, 0);
        QCOMPARE(tree->nodeCount(), 9);
        QCOMPARE(tree->topLevelItem(1)->child(1)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        side.trigger("mnuChildCount");
        QCOMPARE(tree->topLevelItem(1)->child(1)->text(0), QStringLiteral("Strings  (2)"));

        // Position 9 is the second snippet of SQL / Strings, made with its category.
        QTreeWidgetItem* trim = tree->nodeAtPosition(9);
        QVERIFY(trim);
        QCOMPARE(trim->text(0), QStringLiteral("Trim"));
        QCOMPARE(tree->positionOf(trim->parent()->child(0)), 8);
        QCOMPARE(trim->parent()->childCount(), 2);
        QCOMPARE(trim->parent()->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);

        QTreeWidgetItem* today = tree->nodeByKey(QStringLiteral("T1"));
        QVERIFY(today);
        QCOMPARE(today->text(0), QStringLiteral("Today"));
        QCOMPARE(tree->nodeByKey(QStringLiteral("T9")), nullptr);
        QCOMPARE(tree->topLevelItem(0)->child(0)->childCount(), 0);
    }
};

QTEST_MAIN(LazyTreeTest)
#include "tst_lazy_tree.moc"
