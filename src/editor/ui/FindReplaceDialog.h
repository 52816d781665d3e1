#pragma once

#include <QDialog>

class CodeEditor;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The editor's find and replace dialog: modeless, searching the editor from its caret.
class FindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FindReplaceDialog(CodeEditor& editor, QWidget* parent = nullptr);

    // Shows the dialog for finding only, or with the replace row; the editor's selection fills the
    // search text.
    void showFind();
    void showReplace();

    // Selects the next match after the caret, wrapping round at the end; false when there is none.
    bool findNext();

    // Replaces the selected match, then finds the next one.
    bool replaceOne();

    // Replaces every match of the whole text as one change that one undo takes back; returns their number.
    int replaceAll();

private:
    void open(bool replacing);
    bool search(bool wrap, int line, int index);
    void report(const QString& text);

    CodeEditor& m_editor;
    QLineEdit* m_txtFind;
    QLineEdit* m_txtReplace;
    QLabel* m_lblReplace;
    QCheckBox* m_chkMatchCase;
    QCheckBox* m_chkWholeWord;
    QCheckBox* m_chkRegExp;
    QPushButton* m_cmdReplace;
    QPushButton* m_cmdReplaceAll;
    QLabel* m_lblStatus;
};
