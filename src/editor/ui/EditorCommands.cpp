#include "editor/ui/EditorCommands.h"

#include "editor/HexDump.h"
#include "editor/LineCommands.h"
#include "editor/ui/EditorController.h"
#include "editor/ui/FindReplaceDialog.h"
#include "gui/CodeEditor.h"
#include "gui/Prompts.h"
#include "gui/WindowContext.h"
#include "library/Workspace.h"
#include "store/LineEnds.h"
#include "store/TextCodec.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <Qsci/qsciprinter.h>

namespace {

// The names under which a macro keeps the line commands.
const QString SortAscending = QStringLiteral("SortAscending");
const QString SortDescending = QStringLiteral("SortDescending");
const QString Comment = QStringLiteral("Comment");
const QString UnComment = QStringLiteral("UnComment");

// The default printer, in colour or black on white; errors are not reported, as printing the
// editor's text is a quick copy on paper.
void printWithDefaultPrinter(CodeEditor& editor, bool colour, bool wordWrap)
{
    QsciPrinter printer(QPrinter::HighResolution);
    printer.setColorMode(colour ? QPrinter::Color : QPrinter::GrayScale);
    printer.setWrapMode(wordWrap ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
    editor.SendScintilla(QsciScintillaBase::SCI_SETPRINTCOLOURMODE,
                         colour ? QsciScintillaBase::SC_PRINT_COLOURONWHITE
                                : QsciScintillaBase::SC_PRINT_BLACKONWHITE);
    printer.printRange(&editor);
}

} // namespace

EditorCommands::EditorCommands(WindowContext& context, EditorController& controller, QObject* parent)
    : QObject(parent), m_context(context), m_controller(controller), m_editor(*context.views.txtCode),
      m_print(printWithDefaultPrinter)
{
    buildMenu();
}

EditorCommands::~EditorCommands() = default;

void EditorCommands::buildMenu()
{
    // The menu belongs to the editor and is shown by its right-button event over snippets only.
    m_menu = m_context.menus.codePopUp;
    auto item = [this](const char* name, const QString& caption, void (EditorCommands::*handler)(),
                       const QKeySequence& keys = {}) {
        QAction* action = m_menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        if (handler) {
            connect(action, &QAction::triggered, this, handler);
        }
        return action;
    };
    // Its command comes with the bookmarks.
    item("mnuRemoveBookmark", tr("&Remove Bookmark"), nullptr)->setEnabled(false);
    m_menu->addSeparator();
    item("mnuCMCut", tr("Cut"), &EditorCommands::mnuCMCut_Click, QKeySequence::Cut);
    item("mnuCMCopy", tr("Copy"), &EditorCommands::mnuCMCopy_Click, QKeySequence::Copy);
    item("mnuCMPaste", tr("&Paste"), &EditorCommands::mnuCMPaste_Click, QKeySequence::Paste);
    m_menu->addSeparator();
    QAction* find = item("mnuCMFind", tr("&Find .."), &EditorCommands::mnuCMFind_Click, QKeySequence::Find);
    QAction* replace = item("mnuCMReplace", tr("&Replace .."), &EditorCommands::mnuCMReplace_Click,
                            QKeySequence(Qt::CTRL | Qt::Key_H));
    m_menu->addSeparator();
    item("mnuCMUndo", tr("U&ndo"), &EditorCommands::mnuCMUndo_Click, QKeySequence::Undo);
    item("mnuCMRedo", tr("&Redo"), &EditorCommands::mnuCMRedo_Click, QKeySequence::Redo);
    m_menu->addSeparator();
    item("mnuCMComment", tr("&Comment"), &EditorCommands::mnuCMComment_Click);
    item("mnuCMUncomment", tr("UnCommen&t"), &EditorCommands::mnuCMUncomment_Click);
    m_menu->addSeparator();
    item("mnuCMLower", tr("&LowerCase"), &EditorCommands::mnuCMLower_Click);
    item("mnuCMUpper", tr("&UpperCase"), &EditorCommands::mnuCMUpper_Click);
    m_menu->addSeparator();
    item("mnuCMSortA", tr("Sort &Ascending"), &EditorCommands::mnuCMSortA_Click);
    item("mnuCMSortD", tr("Sort &Descending"), &EditorCommands::mnuCMSortD_Click);
    m_menu->addSeparator();
    item("mnuCMInsert", tr("Insert File .."), &EditorCommands::mnuCMInsert_Click);
    item("mnuCMHexView", tr("&Hex View"), &EditorCommands::HexView);
    m_menu->addSeparator();
    item("mnuCMPrintBW", tr("Print Black && White"), &EditorCommands::mnuCMPrintBW_Click);
    item("mnuCMPrintColor", tr("Print &Color"), &EditorCommands::mnuCMPrintColor_Click);

    // The editor handles its own clipboard and undo keys; find and replace need these.
    for (QAction* action : {find, replace}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_editor.addAction(action);
    }
    auto* findNext = new QAction(this);
    findNext->setObjectName(QStringLiteral("actFindNext"));
    findNext->setShortcut(QKeySequence::FindNext);
    findNext->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(findNext, &QAction::triggered, this, [this] { findDialog()->findNext(); });
    m_editor.addAction(findNext);
}

FindReplaceDialog* EditorCommands::findDialog()
{
    if (m_findDialog.isNull()) {
        m_findDialog = new FindReplaceDialog(m_editor, &m_context.window);
    }
    return m_findDialog;
}

void EditorCommands::mnuCMCut_Click()
{
    m_editor.cut();
}

void EditorCommands::mnuCMCopy_Click()
{
    m_editor.copy();
}

void EditorCommands::mnuCMPaste_Click()
{
    m_editor.paste();
}

void EditorCommands::mnuCMFind_Click()
{
    findDialog()->showFind();
}

void EditorCommands::mnuCMReplace_Click()
{
    findDialog()->showReplace();
}

void EditorCommands::mnuCMUndo_Click()
{
    m_editor.undo();
}

void EditorCommands::mnuCMRedo_Click()
{
    m_editor.redo();
}

void EditorCommands::editSelectedLines(const std::function<QStringList(const QStringList&)>& edit)
{
    if (m_editor.isReadOnly()) {
        return;
    }
    int lineFrom = -1;
    int indexFrom = -1;
    int lineTo = -1;
    int indexTo = -1;
    m_editor.getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    if (lineFrom < 0) {
        m_editor.getCursorPosition(&lineFrom, &indexFrom);
        lineTo = lineFrom;
    } else if (lineTo > lineFrom && indexTo == 0) {
        // A selection that ends at the start of a line does not take that line in.
        --lineTo;
    }
    // The lines change; the line ends between them stay where they are.
    QStringList lines;
    QStringList breaks;
    for (int line = lineFrom; line <= lineTo; ++line) {
        const int start = m_editor.positionFromLineIndex(line, 0);
        const int end = int(m_editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line));
        lines << m_editor.text(start, end);
        if (line < lineTo) {
            breaks << m_editor.text(end, m_editor.positionFromLineIndex(line + 1, 0));
        }
    }
    const QStringList edited = edit(lines);
    if (edited == lines) {
        return;
    }
    QString text;
    for (qsizetype i = 0; i < edited.size(); ++i) {
        text += edited[i];
        if (i < breaks.size()) {
            text += breaks[i];
        }
    }
    const int start = m_editor.positionFromLineIndex(lineFrom, 0);
    const int end = int(m_editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, lineTo));
    m_editor.beginUndoAction();
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETSEL, start, end);
    m_editor.replaceSelectedText(text);
    m_editor.endUndoAction();
    const int lastLength = int(m_editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, lineTo)) -
                           m_editor.positionFromLineIndex(lineTo, 0);
    m_editor.setSelection(lineFrom, 0, lineTo, lastLength);
}

void EditorCommands::runRecorded(const QString& name, const std::function<void()>& command)
{
    emit commandStarting(name);
    command();
    emit commandFinished();
}

bool EditorCommands::replays(const QString& name)
{
    return name == SortAscending || name == SortDescending || name == Comment || name == UnComment;
}

bool EditorCommands::replay(const QString& name)
{
    if (name == SortAscending) {
        mnuCMSortA_Click();
    } else if (name == SortDescending) {
        mnuCMSortD_Click();
    } else if (name == Comment) {
        mnuCMComment_Click();
    } else if (name == UnComment) {
        mnuCMUncomment_Click();
    } else {
        return false;
    }
    return true;
}

void EditorCommands::mnuCMComment_Click()
{
    runRecorded(Comment, [this] {
        const LanguageDefinition& definition = m_controller.activeDefinition();
        if (!LineCommands::canComment(definition)) {
            m_context.status.setText(QStringLiteral("No comment marker is defined for this language"));
            return;
        }
        editSelectedLines([&](const QStringList& lines) { return LineCommands::comment(lines, definition); });
    });
}

void EditorCommands::mnuCMUncomment_Click()
{
    runRecorded(UnComment, [this] {
        const LanguageDefinition& definition = m_controller.activeDefinition();
        editSelectedLines(
            [&](const QStringList& lines) { return LineCommands::uncomment(lines, definition); });
    });
}

void EditorCommands::mnuCMLower_Click()
{
    m_editor.SendScintilla(QsciScintillaBase::SCI_LOWERCASE);
}

void EditorCommands::mnuCMUpper_Click()
{
    m_editor.SendScintilla(QsciScintillaBase::SCI_UPPERCASE);
}

void EditorCommands::mnuCMSortA_Click()
{
    runRecorded(SortAscending, [this] {
        editSelectedLines([](const QStringList& lines) { return LineCommands::sorted(lines, false); });
    });
}

void EditorCommands::mnuCMSortD_Click()
{
    runRecorded(SortDescending, [this] {
        editSelectedLines([](const QStringList& lines) { return LineCommands::sorted(lines, true); });
    });
}

void EditorCommands::mnuCMInsert_Click()
{
    if (m_editor.isReadOnly()) {
        return;
    }
    const int position = int(m_editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
    const QString path = Prompts::openFile(&m_context.window, QStringLiteral("Select File to Insert"),
                                           m_context.ws.programFolder, QStringLiteral("Text (*.txt)"));
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompts::message(&m_context.window,
                         QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()),
                         QStringLiteral("Insert File"), Prompts::Icon::Exclamation);
        return;
    }
    const QByteArray text = withCrLf(TextCodec::decode(file.readAll())).toUtf8();
    m_editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, position, text.constData());
}

void EditorCommands::HexView()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    emit hexViewRequested(HexDump::format(m_editor.text()));
    QApplication::restoreOverrideCursor();
}

void EditorCommands::print(bool colour)
{
    if (m_print) {
        m_print(m_editor, colour, m_controller.wordWrap());
    }
}

void EditorCommands::mnuCMPrintBW_Click()
{
    print(false);
}

void EditorCommands::mnuCMPrintColor_Click()
{
    print(true);
}
