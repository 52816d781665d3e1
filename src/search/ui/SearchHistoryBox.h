#pragma once

#include <QObject>
#include <QStringList>

class QComboBox;
class QWidget;
struct Workspace;

// The search box's history: read from "zorbethsearch.txt" into the drop-down, and rewritten with every
// term entered.
class SearchHistoryBox : public QObject
{
    Q_OBJECT

public:
    SearchHistoryBox(Workspace& ws, QComboBox& box, QWidget& window, QObject* parent = nullptr);

    QString path() const;

    // Fills the drop-down from the file, creating the file when it is missing; the first entry is shown.
    void LoadComboSearchList();

    // Puts the box's text at the top of the history, rewrites the file and shows the history again.
    void AddTextToComboSearchList();

    // "..clearlist": deletes the file and empties the drop-down.
    void clearList();

    const QStringList& history() const { return m_history; }

private:
    void showEntries(const QStringList& entries);

    Workspace& m_ws;
    QComboBox& m_box;
    QWidget& m_window;
    QStringList m_history;
    // Set when the file exists but could not be read; it is not overwritten then.
    bool m_unreadable = false;
};
