#include "library/ui/SnippetEditing.h"

#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "store/DateStamp.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

SnippetEditing::SnippetEditing(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
    const SnippetViews& views = m_context.views;
    connect(views.txtTitle, &QLineEdit::textChanged, this, &SnippetEditing::txtTitle_Change);
    connect(views.txtKeywords, &QLineEdit::textChanged, this, &SnippetEditing::txtKeywords_Change);
    connect(views.txtCode, &CodeEditor::changed, this, &SnippetEditing::txtCode_Change);
    views.txtTitle->installEventFilter(this);
    views.txtKeywords->installEventFilter(this);

    m_mnuPopUpCodeMax = m_context.menus.codePopUp;
    views.txtCode->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(views.txtCode, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (LibraryTree::tag(m_context.tree.currentItem()) == LibraryTree::CodeTag) {
            m_mnuPopUpCodeMax->popup(m_context.views.txtCode->viewport()->mapToGlobal(at));
        }
    });

    m_context.menus.edit->addSeparator();
    QAction* copy =
        m_context.menus.edit->addAction(tr("&Copy Code to Clipboard"), this, &SnippetEditing::mnuCopy_Click);
    copy->setObjectName(QStringLiteral("mnuCopy"));
    m_context.toolbar.setCommand(QStringLiteral("Copy"), [this] { mnuCopy_Click(); });
}

SnippetRecord* SnippetEditing::editedRecord() const
{
    return m_context.ws.UpdateInProgress ? nullptr : m_context.treeController.selectedRecord();
}

void SnippetEditing::stamp(SnippetRecord& record)
{
    record.Date = DateStamp::now();
    // The date box is read-only, so showing the new date is no edit of its own.
    m_context.views.txtUpdate->setText(record.Date);
    m_context.ws.CodeChanged = true;
}

void SnippetEditing::txtTitle_Change()
{
    if (SnippetRecord* record = editedRecord()) {
        record->Title = m_context.views.txtTitle->text();
        m_context.tree.currentItem()->setText(0, record->Title);
        stamp(*record);
    }
}

void SnippetEditing::txtKeywords_Change()
{
    if (SnippetRecord* record = editedRecord()) {
        record->Keywords = m_context.views.txtKeywords->text();
        stamp(*record);
    }
}

void SnippetEditing::txtCode_Change()
{
    if (!m_context.ws.StartupDone || editedRecord() == nullptr) {
        return;
    }
    emit codeEdited();
    // Found again: whatever ran on the signal may have moved the selection.
    if (SnippetRecord* record = editedRecord()) {
        record->Code = m_context.views.txtCode->text();
        stamp(*record);
    }
}

void SnippetEditing::mnuCopy_Click()
{
    const CodeEditor* editor = m_context.views.txtCode;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(editor->hasSelectedText() ? editor->selectedText() : editor->text());
    m_context.status.setText(QStringLiteral("Contents of code textbox copied to clipboard"));
}

bool SnippetEditing::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        // Deferred, so a click that brought the focus does not put the caret over the selection.
        auto* box = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QObject::eventFilter(watched, event);
}
