#include "search/ui/WordListCommands.h"

#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/Workspace.h"
#include "search/SearchScope.h"
#include "search/ui/SearchHistoryBox.h"
#include "search/WordLists.h"

#include <QComboBox>
#include <QLabel>

WordListCommands::WordListCommands(WindowContext& context, QComboBox& box, SearchHistoryBox& history,
                                   std::function<SearchScope()> scope, QObject* parent)
    : QObject(parent), m_context(context), m_box(box), m_history(history), m_scope(std::move(scope))
{}

void WordListCommands::optAll_Click()
{
    const WaitCursor wait;
    const WordLists::WordList list = WordLists::allWords(m_context.ws.codeArray, m_scope());
    showWords(list.words);
    m_context.status.setText(WordLists::allWordsStatus(list));
}

void WordListCommands::optKeys_Click()
{
    const WaitCursor wait;
    const WordLists::WordList list = WordLists::keyWords(m_context.ws.codeArray, m_scope());
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
    m_box.addItems(words);
    if (!words.isEmpty()) {
        // Showing the first word is no choice of the user's: it must not start a search.
        m_context.ws.UpdateInProgress = true;
        m_box.setCurrentIndex(0);
        m_context.ws.UpdateInProgress = false;
    }
}
