#include "editor/ui/FindReplaceDialog.h"

#include "gui/CodeEditor.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindReplaceDialog::FindReplaceDialog(CodeEditor& editor, QWidget* parent) : QDialog(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("frmFindReplace"));
    setModal(false);

    m_txtFind = new QLineEdit;
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtReplace = new QLineEdit;
    m_txtReplace->setObjectName(QStringLiteral("txtReplace"));
    m_lblReplace = new QLabel(tr("Replace &with:"));
    m_lblReplace->setBuddy(m_txtReplace);
    auto* lblFind = new QLabel(tr("Fi&nd what:"));
    lblFind->setBuddy(m_txtFind);

    m_chkMatchCase = new QCheckBox(tr("Match &case"));
    m_chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_chkWholeWord = new QCheckBox(tr("Whole w&ord"));
    m_chkWholeWord->setObjectName(QStringLiteral("chkWholeWord"));
    m_chkRegExp = new QCheckBox(tr("Regular e&xpression"));
    m_chkRegExp->setObjectName(QStringLiteral("chkRegExp"));

    auto* cmdFindNext = new QPushButton(tr("&Find Next"));
    cmdFindNext->setObjectName(QStringLiteral("cmdFindNext"));
    cmdFindNext->setDefault(true);
    m_cmdReplace = new QPushButton(tr("&Replace"));
    m_cmdReplace->setObjectName(QStringLiteral("cmdReplace"));
    m_cmdReplaceAll = new QPushButton(tr("Replace &All"));
    m_cmdReplaceAll->setObjectName(QStringLiteral("cmdReplaceAll"));
    auto* cmdClose = new QPushButton(tr("Close"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    m_lblStatus = new QLabel;
    m_lblStatus->setObjectName(QStringLiteral("lblFindStatus"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFind, 0, 0);
    grid->addWidget(m_txtFind, 0, 1);
    grid->addWidget(cmdFindNext, 0, 2);
    grid->addWidget(m_lblReplace, 1, 0);
    grid->addWidget(m_txtReplace, 1, 1);
    grid->addWidget(m_cmdReplace, 1, 2);
    grid->addWidget(m_chkMatchCase, 2, 1);
    grid->addWidget(m_cmdReplaceAll, 2, 2);
    grid->addWidget(m_chkWholeWord, 3, 1);
    grid->addWidget(cmdClose, 3, 2);
    grid->addWidget(m_chkRegExp, 4, 1);
    grid->addWidget(m_lblStatus, 5, 0, 1, 3);

    connect(cmdFindNext, &QPushButton::clicked, this, &FindReplaceDialog::findNext);
    connect(m_cmdReplace, &QPushButton::clicked, this, &FindReplaceDialog::replaceOne);
    connect(m_cmdReplaceAll, &QPushButton::clicked, this, &FindReplaceDialog::replaceAll);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void FindReplaceDialog::showFind()
{
    open(false);
}

void FindReplaceDialog::showReplace()
{
    open(true);
}

void FindReplaceDialog::open(bool replacing)
{
    setWindowTitle(replacing ? tr("Replace") : tr("Find"));
    for (QWidget* w : {static_cast<QWidget*>(m_lblReplace), static_cast<QWidget*>(m_txtReplace),
                       static_cast<QWidget*>(m_cmdReplace), static_cast<QWidget*>(m_cmdReplaceAll)}) {
        w->setVisible(replacing);
    }
    const QString selected = m_editor.selectedText();
    if (!selected.isEmpty() && !selected.contains(u'\n') && !selected.contains(u'\r')) {
        m_txtFind->setText(selected);
    }
    m_txtFind->selectAll();
    m_lblStatus->clear();
    show();
    raise();
    activateWindow();
    m_txtFind->setFocus();
}

bool FindReplaceDialog::search(bool wrap, int line, int index)
{
    const QString expr = m_txtFind->text();
    if (expr.isEmpty()) {
        return false;
    }
    return m_editor.findFirst(expr, m_chkRegExp->isChecked(), m_chkMatchCase->isChecked(),
                              m_chkWholeWord->isChecked(), wrap, true, line, index);
}

void FindReplaceDialog::report(const QString& text)
{
    m_lblStatus->setText(text);
}

bool FindReplaceDialog::findNext()
{
    const bool found = search(true, -1, -1);
    report(found ? QString() : tr("\"%1\" was not found.").arg(m_txtFind->text()));
    return found;
}

bool FindReplaceDialog::replaceOne()
{
    int lineFrom = -1;
    int indexFrom = -1;
    int lineTo = -1;
    int indexTo = -1;
    m_editor.getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    if (lineFrom >= 0 && !m_editor.isReadOnly()) {
        // Only a selection that is itself a match is replaced.
        int foundFrom = -1;
        int foundIndexFrom = -1;
        int foundTo = -1;
        int foundIndexTo = -1;
        if (search(false, lineFrom, indexFrom)) {
            m_editor.getSelection(&foundFrom, &foundIndexFrom, &foundTo, &foundIndexTo);
            if (foundFrom == lineFrom && foundIndexFrom == indexFrom && foundTo == lineTo &&
                foundIndexTo == indexTo) {
                m_editor.replace(m_txtReplace->text());
            }
        }
    }
    return findNext();
}

int FindReplaceDialog::replaceAll()
{
    const QString expr = m_txtFind->text();
    if (expr.isEmpty()) {
        return 0;
    }
    if (m_editor.isReadOnly()) {
        report(tr("The text cannot be changed."));
        return 0;
    }
    const bool regExp = m_chkRegExp->isChecked();
    int flags = 0;
    flags |= m_chkMatchCase->isChecked() ? QsciScintillaBase::SCFIND_MATCHCASE : 0;
    flags |= m_chkWholeWord->isChecked() ? QsciScintillaBase::SCFIND_WHOLEWORD : 0;
    flags |= regExp ? QsciScintillaBase::SCFIND_REGEXP : 0;
    const QByteArray pattern = expr.toUtf8();
    const QByteArray replacement = m_txtReplace->text().toUtf8();

    // The search runs on the target, away from the view, from the start to the end of the text.
    int count = 0;
    int start = 0;
    m_editor.beginUndoAction();
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, flags);
    while (start <= m_editor.length()) {
        m_editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, start);
        m_editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, m_editor.length());
        const int found = int(m_editor.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, pattern.size(),
                                                     pattern.constData()));
        if (found < 0) {
            break;
        }
        const bool empty = int(m_editor.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND)) == found;
        const int written = int(m_editor.SendScintilla(regExp ? QsciScintillaBase::SCI_REPLACETARGETRE
                                                              : QsciScintillaBase::SCI_REPLACETARGET,
                                                       replacement.size(), replacement.constData()));
        ++count;
        start = found + written;
        // An empty match moves on by one character, or the same place would match again.
        if (empty) {
            if (start >= m_editor.length()) {
                break;
            }
            start = int(m_editor.SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, start));
        }
    }
    m_editor.endUndoAction();
    report(tr("%n replaced.", nullptr, count));
    return count;
}
