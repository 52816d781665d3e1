#pragma once

#include "search/WordLists.h"

#include <functional>
#include <QObject>

class QComboBox;
class QStringListModel;
class QRadioButton;
class SearchHistoryBox;
class SearchScope;
struct WindowContext;

// The option buttons "User", "Keys" and "All" beside the search box: what its drop-down offers.
class WordListCommands : public QObject
{
    Q_OBJECT

public:
    // scope gives the records a word list draws from, as a search would.
    WordListCommands(WindowContext& context, QComboBox& box, SearchHistoryBox& history,
                     std::function<SearchScope()> scope, QObject* parent = nullptr);

    // Every distinct word of keywords, titles and code.
    void optAll_Click();
    // Every distinct keyword.
    void optKeys_Click();
    // The search history.
    void optUser_Click();

private:
    // One of the lists, with the wait cursor; a large library's is made while the window repaints.
    WordLists::WordList collect(WordLists::WordList (*list)(const CodeArray&, const SearchScope&));
    void showWords(const QStringList& words);

    WindowContext& m_context;
    QComboBox& m_box;
    SearchHistoryBox& m_history;
    std::function<SearchScope()> m_scope;
    QStringListModel* m_words; // the box's model
};
