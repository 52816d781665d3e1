#include "editor/ui/MacroRecorder.h"

#include "editor/ui/EditorCommands.h"
#include "gui/CodeEditor.h"
#include "gui/WindowContext.h"
#include "library/ui/StartupController.h"
#include "settings/SettingsStore.h"

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

MacroRecorder::MacroRecorder(WindowContext& context, EditorCommands& commands, QObject* parent)
    : QObject(parent), m_context(context), m_commands(commands)
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

    connect(&m_commands, &EditorCommands::commandStarting, this, &MacroRecorder::commandStarting);
    connect(&m_commands, &EditorCommands::commandFinished, this, [this] {
        if (m_recording) {
            m_recording->startRecording();
        }
    });
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
    m_steps.clear();
    m_recording = std::make_unique<QsciMacro>(m_context.views.txtCode);
    m_recording->startRecording();
    m_mnuRecordMacro->setChecked(true);
    m_context.status.setText(
        QStringLiteral("Recording macro %1 ... choose Record Macro again to stop").arg(m_recordingSlot));
}

void MacroRecorder::endKeys()
{
    m_recording->endRecording();
    m_steps.append({MacroScript::Step::Kind::Keys, m_recording->save()});
}

void MacroRecorder::commandStarting(const QString& name)
{
    // The command's own edit is left out of the keystrokes; recording resumes once it has finished.
    if (m_recording) {
        endKeys();
        m_steps.append({MacroScript::Step::Kind::Command, name});
    }
}

void MacroRecorder::stopRecording()
{
    endKeys();
    const QString macro = MacroScript::toSlot(m_steps);
    m_steps.clear();
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
        m_steps.clear();
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
    const QList<MacroScript::Step> steps = MacroScript::fromSlot(m_slots.slot(slot));
    const bool playable =
        !steps.isEmpty() && std::all_of(steps.begin(), steps.end(), [editor](const auto& step) {
            return step.kind == MacroScript::Step::Kind::Command ? EditorCommands::replays(step.text)
                                                                 : QsciMacro(editor).load(step.text);
        });
    if (!playable) {
        m_context.status.setText(QStringLiteral("Macro %1 cannot be played").arg(slot));
        return;
    }
    editor->beginUndoAction();
    for (const MacroScript::Step& step : steps) {
        if (step.kind == MacroScript::Step::Kind::Command) {
            m_commands.replay(step.text);
        } else {
            playKeys(*editor, step.text);
        }
    }
    editor->endUndoAction();
}

void MacroRecorder::playKeys(CodeEditor& editor, const QString& keys)
{
    // Typed text is replayed a character at a time, so that each one completes a keyword as typing does.
    for (const QString& message : MacroScript::messages(keys)) {
        const unsigned number = MacroScript::messageNumber(message);
        const QString typed = number == QsciScintillaBase::SCI_REPLACESEL
                                  ? QString::fromUtf8(MacroScript::messageText(message))
                                  : QString();
        if (!typed.isEmpty()) {
            for (const char32_t character : typed.toUcs4()) {
                const QByteArray bytes = QString::fromUcs4(&character, 1).toUtf8();
                editor.SendScintilla(QsciScintillaBase::SCI_REPLACESEL, 0UL, bytes.constData());
                editor.keywordTyped(int(character));
            }
            continue;
        }
        QsciMacro single(&editor);
        single.load(message);
        single.play();
        if (number == QsciScintillaBase::SCI_NEWLINE) {
            editor.keywordTyped('\n');
        }
    }
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
