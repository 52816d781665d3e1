#include "editor/ui/MacroRecorder.h"

#include "settings/SettingsStore.h"
#include "gui/WindowContext.h"
#include "editor/ui/CodeEditor.h"
#include "library/ui/StartupController.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <Qsci/qscimacro.h>

namespace {

QString shortcutText(int slot)
{
    return QStringLiteral("Ctrl+Shift+%1").arg(slot);
}

} // namespace

MacroRecorder::MacroRecorder(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
    QMenu* menu = m_context.menus.actions;
    menu->addSeparator();
    m_mnuRecordMacro = menu->addAction(tr("&Record Macro"), this, &MacroRecorder::mnuRecordMacro_Click);
    m_mnuRecordMacro->setObjectName(QStringLiteral("mnuRecordMacro"));
    m_mnuRecordMacro->setCheckable(true);
    QAction* clear = menu->addAction(tr("C&lear Macros"), this, &MacroRecorder::mnuClearMacro_Click);
    clear->setObjectName(QStringLiteral("mnuClearMacro"));

    QMenu* play = menu->addMenu(tr("&Play Macro"));
    play->setObjectName(QStringLiteral("mnuPlayMacro"));
    for (int slot = 0; slot < MacroSlots::Count; ++slot) {
        QAction* item = play->addAction(tr("Slot &%1").arg(slot), this, [this, slot] { playMacro(slot); });
        item->setObjectName(QStringLiteral("mnuPlayMacro%1").arg(slot));
        item->setShortcut(QKeySequence(shortcutText(slot)));
        // The shortcuts work while the menu is closed.
        m_context.window.addAction(item);
        m_playItems.append(item);
    }
    updatePlayItems();

    connect(&m_context.startup, &StartupController::loadingSettings, this,
            [this] { Macros(QStringLiteral("get")); });
    connect(&m_context.startup, &StartupController::unloading, this,
            [this] { Macros(QStringLiteral("save")); });
}

MacroRecorder::~MacroRecorder() = default;

void MacroRecorder::mnuRecordMacro_Click()
{
    if (m_recording) {
        stopRecording();
        return;
    }
    m_recordingSlot = m_slots.nextSlot(m_lastRecorded);
    m_recording = std::make_unique<QsciMacro>(m_context.views.txtCode);
    m_recording->startRecording();
    m_mnuRecordMacro->setChecked(true);
    m_context.status.setText(
        QStringLiteral("Recording macro %1 ... choose Record Macro again to stop").arg(m_recordingSlot));
}

void MacroRecorder::stopRecording()
{
    m_recording->endRecording();
    const QString macro = m_recording->save();
    m_recording.reset();
    m_mnuRecordMacro->setChecked(false);
    if (macro.isEmpty()) {
        m_context.status.setText(QStringLiteral("Nothing was recorded"));
        return;
    }
    m_slots.setSlot(m_recordingSlot, macro);
    m_lastRecorded = m_recordingSlot;
    updatePlayItems();
    m_context.status.setText(QStringLiteral("Macro %1 recorded: %2 plays it")
                                 .arg(m_recordingSlot)
                                 .arg(shortcutText(m_recordingSlot)));
}

void MacroRecorder::mnuClearMacro_Click()
{
    if (m_recording) {
        m_recording->endRecording();
        m_recording.reset();
        m_mnuRecordMacro->setChecked(false);
    }
    m_slots.clear();
    m_lastRecorded = -1;
    updatePlayItems();
}

void MacroRecorder::playMacro(int slot)
{
    CodeEditor* editor = m_context.views.txtCode;
    if (m_recording || m_slots.isEmpty(slot) || editor->isReadOnly()) {
        return;
    }
    QsciMacro macro(editor);
    if (!macro.load(m_slots.slot(slot))) {
        m_context.status.setText(QStringLiteral("Macro %1 cannot be played").arg(slot));
        return;
    }
    editor->beginUndoAction();
    macro.play();
    editor->endUndoAction();
}

void MacroRecorder::Macros(const QString& task)
{
    if (task == QLatin1String("save")) {
        if (m_recording) {
            stopRecording();
        }
        m_slots.save(m_context.settings);
        return;
    }
    m_slots.load(m_context.settings);
    updatePlayItems();
}

void MacroRecorder::updatePlayItems()
{
    for (int slot = 0; slot < m_playItems.size(); ++slot) {
        m_playItems[slot]->setEnabled(!m_slots.isEmpty(slot));
    }
}
