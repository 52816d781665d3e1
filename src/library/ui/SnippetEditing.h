#pragma once

#include <QObject>

class QMenu;
class QTreeWidgetItem;
struct SnippetRecord;
struct WindowContext;

// Writes edits of title, keywords and code into the selected snippet's record.
class SnippetEditing : public QObject
{
    Q_OBJECT

public:
    explicit SnippetEditing(WindowContext& context, QObject* parent = nullptr);

    void txtTitle_Change();
    void txtKeywords_Change();
    void txtCode_Change();

    // Puts the editor's selection, or its whole text when nothing is selected, on the clipboard.
    void mnuCopy_Click();

    // The editor's right-button menu "mnuPopUpCodeMax", shown over snippets only; the editor fills it.
    QMenu* codeContextMenu() const { return m_mnuPopUpCodeMax; }

signals:
    // The code of a snippet was typed: the colouring goes first, before the record takes the text.
    void codeEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The record of the selected snippet node, or nullptr when the selection is no snippet.
    // Dates the record's change, shows the date and marks the library changed.
    void stamp(SnippetRecord& record);
    SnippetRecord* editedRecord() const;

    WindowContext& m_context;
    QMenu* m_mnuPopUpCodeMax = nullptr;
};
