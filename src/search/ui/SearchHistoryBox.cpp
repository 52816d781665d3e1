#include "search/ui/SearchHistoryBox.h"

#include "gui/Prompts.h"
#include "library/Workspace.h"
#include "search/SearchHistory.h"
#include "store/PathNames.h"

#include <QComboBox>
#include <QFile>

SearchHistoryBox::SearchHistoryBox(Workspace& ws, QComboBox& box, QWidget& window, QObject* parent)
    : QObject(parent), m_ws(ws), m_box(box), m_window(window)
{}

QString SearchHistoryBox::path() const
{
    return MergePathData(m_ws.programFolder, QLatin1String(SearchHistory::FileName));
}

void SearchHistoryBox::LoadComboSearchList()
{
    const SearchHistory::LoadResult loaded = SearchHistory::LoadComboSearchList(path());
    m_unreadable = !loaded.error.isEmpty() && QFile::exists(path());
    if (!loaded.error.isEmpty()) {
        Prompts::message(&m_window, QStringLiteral("%1: %2").arg(path(), loaded.error),
                         QStringLiteral("Load Search List"), Prompts::Icon::Exclamation);
    }
    m_history = loaded.entries;
    showEntries(m_history);
}

void SearchHistoryBox::AddTextToComboSearchList()
{
    // The history is kept apart from the drop-down, which may be showing a word list instead.
    m_history = SearchHistory::withTerm(m_box.currentText(), m_history);
    QString error;
    if (!m_unreadable && !SearchHistory::write(path(), m_history, &error)) {
        Prompts::message(&m_window, QStringLiteral("%1: %2").arg(path(), error),
                         QStringLiteral("Save Search List"), Prompts::Icon::Exclamation);
    }
    showEntries(m_history);
}

void SearchHistoryBox::clearList()
{
    QFile::remove(path());
    m_unreadable = false;
    m_history.clear();
    m_box.clear();
}

void SearchHistoryBox::showEntries(const QStringList& entries)
{
    m_box.clear();
    m_box.addItems(entries);
    if (!entries.isEmpty()) {
        m_box.setCurrentIndex(0);
    }
}
