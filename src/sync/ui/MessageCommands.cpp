#include "sync/ui/MessageCommands.h"

#include "gui/Prompts.h"
#include "gui/WindowContext.h"
#include "library/ui/StartupController.h"
#include "library/Workspace.h"
#include "sync/DailyMessage.h"
#include "sync/ui/NetworkState.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QThread>
#include <QWidget>

namespace {

// The message is a nicety: a slow server must not keep its thread (or a closing window) waiting.
HttpDownload::Options messageOptions()
{
    HttpDownload::Options options;
    options.connectTimeoutSeconds = 3;
    options.totalTimeoutSeconds = 5;
    return options;
}

} // namespace

MessageCommands::MessageCommands(WindowContext& context, const StartupMenus& menus, QObject* parent)
    : QObject(parent), m_context(context), m_mnuMessage(*menus.mnuMessage)
{
    connect(&m_mnuMessage, &QAction::triggered, this, &MessageCommands::mnuMessage_Click);

    QAction* address = m_context.menus.options->addAction(tr("Server &Address..."), this,
                                                          &MessageCommands::mnuServerAddress_Click);
    address->setObjectName(QStringLiteral("mnuServerAddress"));

    QMenu* help = m_context.menus.help;
    auto* update = new QAction(tr("Online &Update"), help);
    update->setObjectName(QStringLiteral("mnuOnlineUpdate"));
    connect(update, &QAction::triggered, this, &MessageCommands::mnuOnlineUpdate_Click);
    QAction* before = nullptr;
    for (QAction* action : help->actions()) {
        if (action->objectName() == QLatin1String("mnuAbout")) {
            before = action;
        }
    }
    help->insertAction(before, update);

    connect(&m_context.startup, &StartupController::greetingDue, this, &MessageCommands::showGreeting);
}

MessageCommands::~MessageCommands()
{
    stopFetch();
}

void MessageCommands::showGreeting()
{
    stopFetch();
    const bool option = m_mnuMessage.isChecked();
    const bool connected = option && NetworkState::Connected();
    if (option && connected) {
        fetchMessage();
        return;
    }
    m_context.status.setText(DailyMessage::greeting(option, connected, [] { return QString(); }));
}

void MessageCommands::mnuMessage_Click()
{
    // The menu item has already turned its mark over.
    showGreeting();
}

void MessageCommands::fetchMessage()
{
    const QString serverUrl = m_context.ws.options.ServerURL.trimmed();
    const QString folder = m_context.ws.programFolder;
    if (serverUrl.isEmpty()) {
        // No server: the answer is known without the network.
        m_context.status.setText(DailyMessage::DownloadMessage(serverUrl, folder));
        return;
    }
    const QString statusWhenStarted = m_context.status.text();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancel;
    m_fetch.reset(QThread::create([this, serverUrl, folder, cancel, statusWhenStarted] {
        const QString text = DailyMessage::DownloadMessage(serverUrl, folder, cancel.get(), messageOptions());
        if (!cancel->load()) {
            QMetaObject::invokeMethod(
                this, [this, text, statusWhenStarted] { showFetched(text, statusWhenStarted); },
                Qt::QueuedConnection);
        }
    }));
    m_fetch->start();
}

void MessageCommands::showFetched(const QString& text, const QString& statusWhenStarted)
{
    if (m_fetch) {
        m_fetch->wait();
        m_fetch.reset();
    }
    // A message that arrives after the user has put other news in the status bar stays unshown.
    if (m_context.status.text() == statusWhenStarted) {
        m_context.status.setText(text);
    }
    emit messageFetched(text);
}

void MessageCommands::stopFetch()
{
    if (!m_fetch) {
        return;
    }
    m_cancel->store(true);
    m_fetch->wait();
    m_fetch.reset();
}

void MessageCommands::mnuServerAddress_Click()
{
    const std::optional<QString> entered = Prompts::inputText(
        &m_context.window,
        tr("Address of the team's web server, the folder that holds \"files/\" (empty: no server):"),
        tr("Server Address"), m_context.ws.options.ServerURL);
    if (!entered) {
        return;
    }
    m_context.ws.options.ServerURL = entered->trimmed();
    m_context.status.setText(m_context.ws.options.ServerURL.isEmpty()
                                 ? tr("No server address is set.")
                                 : tr("Server address: %1").arg(m_context.ws.options.ServerURL));
}

void MessageCommands::mnuOnlineUpdate_Click()
{
    const QString command = m_context.ws.options.UpdaterCommand.trimmed();
    if (command.isEmpty()) {
        QApplication::beep();
        m_context.status.setText(tr("No updater is configured (setting \"UpdaterCommand\")."));
        return;
    }
    if (Prompts::question(&m_context.window,
                          QStringLiteral("Zorbeth will close to check for online updates!"),
                          QStringLiteral("Online Update"), {Prompts::Answer::Ok, Prompts::Answer::Cancel},
                          Prompts::Icon::Information) != Prompts::Answer::Ok) {
        return;
    }
    QStringList arguments = QProcess::splitCommand(command);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (program.isEmpty() || !QProcess::startDetached(program, arguments, m_context.ws.programFolder)) {
        QApplication::beep();
        m_context.status.setText(tr("The updater could not be started: %1").arg(command));
        return;
    }
    m_context.window.close();
}
