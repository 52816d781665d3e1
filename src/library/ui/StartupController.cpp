#include "library/ui/StartupController.h"

#include "gui/CodeEditor.h"
#include "gui/Prompts.h"
#include "library/ui/LibraryStorage.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"
#include "library/VersionFiles.h"
#include "library/Workspace.h"
#include "settings/AppInfo.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"
#include "store/LibraryOrdering.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QWidget>

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr quint32 LightGrey = 240 | (240 << 8) | (240 << 16);

} // namespace

StartupController::StartupController(Workspace& ws, SettingsStore& settings, TreeController& treeController,
                                     LibraryTree& tree, CodeEditor& editor, QLabel& status,
                                     StartupMenus menus, QWidget& window, QObject* parent)
    : QObject(parent), m_ws(ws), m_settings(settings), m_treeController(treeController), m_tree(tree),
      m_editor(editor), m_status(status), m_menus(menus), m_window(window)
{
    addSettingsClient(this);
}

StartupController::Outcome StartupController::Form_Load(const QStringList& switches)
{
    m_traceOn = m_settings.getBool(QStringLiteral("zqTest"), false);
    m_clock.start();
    m_previousTick = 0;
    checkpoint(QStringLiteral("Start"));

    m_ws.SaveSettingsOnExit = true;

    const QString commandLine = switches.join(QLatin1Char(' '));
    if (commandLine == QLatin1String("clearx")) {
        m_settings.ClearRegistry();
        return Outcome::Quit;
    }
    if (commandLine == QLatin1String("clear")) {
        m_settings.ClearRegistry();
        Prompts::message(&m_window,
                         QStringLiteral("Registry settings were deleted for ") +
                             QLatin1String(AppInfo::Title) + QLatin1Char('.'),
                         QLatin1String(AppInfo::Title), Prompts::Icon::Information);
    }

    if (!takeLibraryLock()) {
        return Outcome::Quit;
    }

    VersionFiles::write(m_ws.programFolder, QCoreApplication::applicationFilePath());
    checkpoint(QStringLiteral("after update"));

    m_editor.setColourEntry(CodeEditor::Margins, LightGrey);
    m_editor.setColourEntry(CodeEditor::CaretLine, LightGrey);
    m_editor.setCaretLineVisible(true);

    emit loadingSettings();
    readSettings();
    checkpoint(QStringLiteral("after settings"));

    m_treeController.LoadIcons();
    checkpoint(QStringLiteral("after loadicons"));
    emit loadingLists();
    checkpoint(QStringLiteral("after loadlanguagelist"));

    LibraryStorage::load(&m_window, m_ws);
    checkpoint(QStringLiteral("after loadcodedatafromfile"));

    LibraryOrdering::SortCodeByLanguage(m_ws.codeArray);
    checkpoint(QStringLiteral("after sortcodebylanguage"));

    m_treeController.FillTreeView();
    checkpoint(QStringLiteral("after filltreeview"));
    emit treeFilled();
    checkpoint(QStringLiteral("after hideallbutonelanguage"));

    selectStartingNode();
    emit preparingViews();

    emit greetingDue();
    checkpoint(QStringLiteral("after downloadmessage"));

    m_ws.StartupDone = true;
    m_treeController.Tree_NodeClick(m_tree.currentItem());
    m_tree.scrollToItem(m_tree.currentItem());

    if (m_traceOn) {
        // Shown for reading only: the guard keeps it from being taken as an edit of the snippet, and
        // the editor stays read-only until a node is shown, so no keystroke can make it the snippet's code.
        m_ws.UpdateInProgress = true;
        m_editor.setText(m_trace + CrLf + QStringLiteral("End  ") +
                         QLocale::system().toString(m_totalSeconds, 'f', 3) + QStringLiteral(" seconds"));
        m_editor.setReadOnly(true);
        m_ws.UpdateInProgress = false;
    }
    return Outcome::Running;
}

void StartupController::readSettings()
{
    m_ws.options = AppSettings();
    m_ws.options.HTMLTemplate = AppSettings::defaultTemplate(m_ws.programFolder);
    m_ws.options.get(m_settings);
    // ApplySettings: the starting node of the library in use, then every controller's views.
    m_startingNode =
        m_ws.options.RFPrefix.isEmpty() ? m_ws.options.LocalStartingNode : m_ws.options.RemoteStartingNode;
    for (SettingsClient* client : m_clients) {
        client->applySettings(m_ws.options);
    }
    // The result and comparison lists always carry their date column.
    m_ws.options.TimeDisplay = true;
}

void StartupController::writeSettings()
{
    for (SettingsClient* client : m_clients) {
        client->collectSettings(m_ws.options);
    }
    m_ws.options.save(m_settings, windowInNormalState());
}

bool StartupController::windowInNormalState() const
{
    return !(m_window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void StartupController::applySettings(const AppSettings& settings)
{
    m_menus.mnuStartupNode->setChecked(settings.StartupNode);
    m_menus.mnuAutoSave->setChecked(settings.AutoSave);
    m_menus.mnuMessage->setChecked(settings.Message);
}

void StartupController::collectSettings(AppSettings& settings) const
{
    settings.StartupNode = m_menus.mnuStartupNode->isChecked();
    settings.AutoSave = m_menus.mnuAutoSave->isChecked();
    settings.Message = m_menus.mnuMessage->isChecked();
    settings.StartingNode = m_startingNode;
    (m_ws.databasePrefix.isEmpty() ? settings.LocalStartingNode : settings.RemoteStartingNode) =
        m_startingNode;
}

void StartupController::selectStartingNode()
{
    int position = m_startingNode;
    if (!m_menus.mnuStartupNode->isChecked() || position < 1 || position > m_tree.nodeCount()) {
        position = 1;
    }
    if (QTreeWidgetItem* node = m_tree.nodeAtPosition(position)) {
        const QSignalBlocker block(&m_tree);
        m_tree.setCurrentItem(node);
        m_tree.scrollToItem(node);
    }
}

bool StartupController::takeLibraryLock()
{
    QString holder;
    if (m_lock.acquire(QFileInfo(m_ws.databasePath()).absolutePath(), &holder)) {
        setReadOnly(false);
        return true;
    }
    const Prompts::Answer answer = Prompts::questionWithCaptions(
        &m_window, holder + QStringLiteral("\n\nOpen the library read-only (nothing can be saved), or quit?"),
        QLatin1String(AppInfo::Title),
        {{Prompts::Answer::Yes, QStringLiteral("Open Read-Only")},
         {Prompts::Answer::Cancel, QStringLiteral("Quit")}},
        Prompts::Icon::Exclamation);
    if (answer != Prompts::Answer::Yes) {
        return false;
    }
    setReadOnly(true);
    return true;
}

bool StartupController::moveLibraryLock(const QString& folder)
{
    if (m_lock.isHeld() && QFileInfo(m_lock.folder()) == QFileInfo(folder)) {
        return true;
    }
    LibraryLock next;
    QString holder;
    if (next.acquire(folder, &holder)) {
        m_lock = std::move(next);
        setReadOnly(false);
        return true;
    }
    const Prompts::Answer answer = Prompts::questionWithCaptions(
        &m_window,
        holder +
            QStringLiteral("\n\nOpen that library read-only (nothing can be saved), or stay with this one?"),
        QLatin1String(AppInfo::Title),
        {{Prompts::Answer::Yes, QStringLiteral("Open Read-Only")},
         {Prompts::Answer::Cancel, QStringLiteral("Stay")}},
        Prompts::Icon::Exclamation);
    if (answer != Prompts::Answer::Yes) {
        return false;
    }
    m_lock.release();
    setReadOnly(true);
    return true;
}

void StartupController::setReadOnly(bool readOnly)
{
    m_ws.readOnly = readOnly;
    m_window.setWindowTitle(readOnly ? QLatin1String(AppInfo::Title) + QStringLiteral(" (read-only)")
                                     : QLatin1String(AppInfo::Title));
}

bool StartupController::Form_QueryUnload()
{
    if (!m_ws.CodeChanged) {
        return true;
    }
    if (m_ws.readOnly) {
        return Prompts::question(
                   &m_window,
                   QStringLiteral("The library is open read-only, so the changes cannot be saved. "
                                  "Close and discard them?"),
                   QStringLiteral("Close Zorbeth"),
                   {Prompts::Answer::No, Prompts::Answer::Yes}) == Prompts::Answer::Yes;
    }
    if (m_menus.mnuAutoSave->isChecked()) {
        return LibraryStorage::save(&m_window, m_ws) || closeWithoutSaving();
    }
    switch (Prompts::question(&m_window, QStringLiteral("Save changes?"), QStringLiteral("Close Zorbeth"),
                              {Prompts::Answer::Yes, Prompts::Answer::No, Prompts::Answer::Cancel})) {
    case Prompts::Answer::Yes:
        return LibraryStorage::save(&m_window, m_ws) || closeWithoutSaving();
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

bool StartupController::closeWithoutSaving()
{
    // No keeps the window, and the changes with it, open.
    return Prompts::question(
               &m_window, QStringLiteral("The library could not be saved. Close without saving the changes?"),
               QStringLiteral("Close Zorbeth"), {Prompts::Answer::No, Prompts::Answer::Yes},
               Prompts::Icon::Exclamation) == Prompts::Answer::Yes;
}

void StartupController::Form_Unload()
{
    // A read-only window is a guest: the settings belong to the window that owns the library.
    if (!m_ws.readOnly) {
        if (!m_ws.ResultsInTree) {
            m_startingNode = m_tree.positionOf(m_tree.currentItem());
        }
        emit unloading();
        if (m_ws.SaveSettingsOnExit) {
            writeSettings();
        } else {
            m_settings.ClearRegistry();
        }
        QString error;
        if (!m_settings.sync(&error)) {
            Prompts::message(&m_window, error, QLatin1String(AppInfo::Title), Prompts::Icon::Exclamation);
        }
    }
    releaseLibraryLock();
}

void StartupController::checkpoint(const QString& name)
{
    if (m_traceOn) {
        Ticker(name);
    }
}

void StartupController::Ticker(const QString& checkpoint)
{
    ++m_step;
    const qint64 now = m_clock.elapsed();
    const double seconds = double(now - m_previousTick) / 1000.0;
    m_totalSeconds += seconds;
    m_previousTick = now;
    m_trace += QLatin1Char('-') + QString::number(m_step) + QStringLiteral("- ") +
               QLocale::system().toString(seconds, 'f', 3) + QStringLiteral(" seconds  ") + checkpoint + CrLf;
}
