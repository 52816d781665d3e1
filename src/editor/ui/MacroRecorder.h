#pragma once

#include "editor/MacroSlots.h"

#include <memory>
#include <QList>
#include <QObject>

class QAction;
class QsciMacro;
struct WindowContext;

// The editor's ten keyboard macros: "&Record Macro" starts and stops recording into the next slot,
// Ctrl+Shift+0 to 9 replays a slot, "C&lear Macros" empties them all. They are kept in the settings file.
class MacroRecorder : public QObject
{
    Q_OBJECT

public:
    explicit MacroRecorder(WindowContext& context, QObject* parent = nullptr);
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
    void stopRecording();
    void updatePlayItems();

    WindowContext& m_context;
    MacroSlots m_slots;
    std::unique_ptr<QsciMacro> m_recording;
    int m_recordingSlot = -1;
    int m_lastRecorded = -1;
    QAction* m_mnuRecordMacro = nullptr;
    QList<QAction*> m_playItems;
};
