#pragma once

#include <functional>
#include <QObject>
#include <QPointer>
#include <QStringList>

class CodeEditor;
class EditorController;
class FindReplaceDialog;
class QMenu;
struct WindowContext;

// The editor's right-button menu "mnuPopUpCodeMax": clipboard, find and replace, undo, comments,
// case, sorting, inserting a file, the hex view and printing. Every change goes through the editor,
// so the snippet's record follows as it does for typing.
class EditorCommands : public QObject
{
    Q_OBJECT

public:
    // Prints the editor's text in colour or in black and white, wrapping long lines or not.
    using PrintFunction = std::function<void(CodeEditor& editor, bool colour, bool wordWrap)>;

    EditorCommands(WindowContext& context, EditorController& controller, QObject* parent = nullptr);
    ~EditorCommands() override;

    void mnuCMCut_Click();
    void mnuCMCopy_Click();
    void mnuCMPaste_Click();
    void mnuCMFind_Click();
    void mnuCMReplace_Click();
    void mnuCMUndo_Click();
    void mnuCMRedo_Click();
    void mnuCMComment_Click();
    void mnuCMUncomment_Click();
    void mnuCMLower_Click();
    void mnuCMUpper_Click();
    void mnuCMSortA_Click();
    void mnuCMSortD_Click();
    void mnuCMInsert_Click();
    void mnuCMPrintBW_Click();
    void mnuCMPrintColor_Click();

    // Asks for the hex dump of the editor's text to be shown in the viewer window.
    void HexView();

    // Runs a command a macro recorded by name; false for a name no command has.
    bool replay(const QString& name);
    static bool replays(const QString& name);

    QMenu* menu() const { return m_menu; }
    FindReplaceDialog* findDialog();

    // Replaces the printing, which goes to the default printer; tests record instead.
    void setPrintFunction(PrintFunction print) { m_print = std::move(print); }

signals:
    // A command that a macro keeps by name starts and ends: its edit is not recorded as keystrokes.
    void commandStarting(const QString& name);
    void commandFinished();
    // HexView made the dump; the shell shows it in the object viewer.
    void hexViewRequested(const QString& dump);

private:
    void buildMenu();
    void runRecorded(const QString& name, const std::function<void()>& command);
    void print(bool colour);
    // Runs edit on the whole lines the selection touches (the caret's line without one).
    void editSelectedLines(const std::function<QStringList(const QStringList&)>& edit);

    WindowContext& m_context;
    EditorController& m_controller;
    CodeEditor& m_editor;
    QMenu* m_menu = nullptr;
    QPointer<FindReplaceDialog> m_findDialog;
    PrintFunction m_print;
};
