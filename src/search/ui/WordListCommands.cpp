#include "search/ui/WordListCommands.h"

#include "gui/BackgroundWork.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/Workspace.h"
#include "search/SearchScope.h"
#include "search/ui/SearchHistoryBox.h"
#include "search/WordLists.h"

#include <QComboBox>
#include <QLabel>
#include <QStringListModel>

WordListCommands::WordListCommands(WindowContext& context, QComboBox& box, SearchHistoryBox& history,
                                   std::function<SearchScope()> scope, QObject* parent)
    : QObject(parent), m_context(context), m_box(box), m_history(history), m_scope(std::move(scope)),
      m_words(new QStringListModel(&box))
{
    // A word list of a large library holds a million words: a plain list model takes them in one
    // step, where the standard model makes an item of each. The history goes in item by item, as
    // into any model.
    m_box.setModel(m_words);
}

WordLists::WordList WordListCommands::collect(WordLists::WordList (*list)(const CodeArray&,
                                                                          const SearchScope&))
{
    const WaitCursor wait;
    const CodeArray& records = m_context.ws.codeArray;
    const SearchScope scope = m_scope();
    WordLists::WordList words;
    // A large library's list takes a while: made beside the window, which keeps repainting.
    runWhilePainting(records.size(), [&] { words = list(records, scope); });
    return words;
}

void WordListCommands::optAll_Click()
{
    const WordLists::WordList list = collect(&WordLists::allWords);
    showWords(list.words);
    m_context.status.setText(WordLists::allWordsStatus(list));
}

void WordListCommands::optKeys_Click()
{
    const WordLists::WordList list = collect(&WordLists::keyWords);
    showWords(list.words);
    m_context.status.setText(WordLists::keyWordsStatus(list));
}

void WordListCommands::optUser_Click()
{
    m_history.LoadComboSearchList();
}

void WordListCommands::showWords(const QStringList& words)
{
    m_box.clear();
    m_words->setStringList(words);
    if (!words.isEmpty()) {
        // Showing the first word is no choice of the user's: it must not start a search.
        m_context.ws.UpdateInProgress = true;
        m_box.setCurrentIndex(0);
        m_context.ws.UpdateInProgress = false;
    }
}
