#pragma once

#include "editor/MacroScript.h"
#include "editor/MacroSlots.h"

#include <memory>
#include <QList>
#include <QObject>

class CodeEditor;
class EditorCommands;
class QAction;
class QsciMacro;
struct WindowContext;

// The editor's ten keyboard macros: "&Record Macro" starts and stops recording into the next slot,
// Ctrl+Shift+0 to 9 replays a slot, "C&lear Macros" empties them all. They are kept in the settings file.
// Keystrokes replay as typed, keyword capitalisation included; the line commands replay as commands.
class MacroRecorder : public QObject
{
    Q_OBJECT

public:
    MacroRecorder(WindowContext& context, EditorCommands& commands, QObject* parent = nullptr);
    ~MacroRecorder() override;

    void mnuRecordMacro_Click();
    void mnuClearMacro_Click();

    // Replays a slot in the code editor; an empty slot does nothing.
    void playMacro(int slot);

    // "save" writes every slot to the settings file; any other task reads them from it.
    void Macros(const QString& task);

    bool isRecording() const { return m_recording != nullptr; }
    const MacroSlots& macroSlots() const { return m_slots; }

private:
    void startKeys();
    void endKeys();
    void commandStarting(const QString& name);
    void stopRecording();
    void playKeys(CodeEditor& editor, const QString& keys);
    void updatePlayItems();

    WindowContext& m_context;
    EditorCommands& m_commands;
    MacroSlots m_slots;
    std::unique_ptr<QsciMacro> m_recording; // the keystrokes since the last command, while recording
    QList<MacroScript::Step> m_steps;       // what the recording holds before them
    int m_recordingSlot = -1;
    int m_lastRecorded = -1;
    QAction* m_mnuRecordMacro = nullptr;
    QList<QAction*> m_playItems;
};
