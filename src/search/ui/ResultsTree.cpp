#include "search/ui/ResultsTree.h"

#include "library/ui/LibraryTree.h"

qsizetype ResultsTree::build(const CodeArray& records, LibraryTree& tree)
{
    const QString close = QStringLiteral("close");
    tree.setUpdatesEnabled(false);
    tree.clear();
    // Built detached and inserted whole, as the library tree is.
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
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (r.Deleted || !r.Matched) {
            continue;
        }
        const QString languageLower = r.Language.toLower();
        if (language == nullptr || languageLower != currentLanguageLower) {
            closeCategory();
            category = nullptr;
            currentLanguage = r.Language;
            currentLanguageLower = languageLower;
            const QString iconKey = QStringLiteral("lang::") + languageLower;
            language = tree.makeNode(currentLanguage, currentLanguage, LibraryTree::LangTag,
                                     tree.hasImage(iconKey) ? iconKey : close, QString(), true);
            languages.append(language);
            currentCategoryKeyLower.clear();
        }
        const QString categoryKey = currentLanguage + QStringLiteral(":::") + r.Category;
        const QString categoryKeyLower = categoryKey.toLower();
        if (category == nullptr || categoryKeyLower != currentCategoryKeyLower) {
            closeCategory();
            currentCategoryKeyLower = categoryKeyLower;
            category = tree.makeNode(categoryKey, r.Category, LibraryTree::CatTag, close,
                                     QStringLiteral("open"), true);
            language->addChild(category);
        }
        // The results tree shows every snippet plain, bookmarked or not.
        snippets.append(tree.makeNode(QLatin1Char('T') + QString::number(i), r.Title, LibraryTree::CodeTag,
                                      QStringLiteral("form"), QString(), false));
        ++count;
    }
    closeCategory();
    tree.addTopLevelItems(languages);
    tree.setUpdatesEnabled(true);
    return count;
}
