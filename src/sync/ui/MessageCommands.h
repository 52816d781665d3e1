#pragma once

#include <atomic>
#include <memory>
#include <QObject>
#include <QString>

class QAction;
class QThread;
struct StartupMenus;
struct WindowContext;

// The daily message in the status bar, the address of the team's web server, and the online update.
class MessageCommands : public QObject
{
    Q_OBJECT

public:
    // menus.mnuMessage is the message option this class answers to.
    MessageCommands(WindowContext& context, const StartupMenus& menus, QObject* parent = nullptr);
    ~MessageCommands() override;

    // The greeting at start-up; the daily message is fetched without holding up the window.
    void showGreeting();

    // Turns the message option over and shows the resulting greeting or message.
    void mnuMessage_Click();

    // Asks for the server's address ("ServerURL"); empty means there is no server.
    void mnuServerAddress_Click();

    // Starts the configured updater and closes the window through its normal closing.
    void mnuOnlineUpdate_Click();

    // True while a daily message is being fetched.
    bool fetching() const { return m_fetch != nullptr; }

signals:
    // A fetch of the daily message ended; its text was shown unless the status bar had moved on.
    void messageFetched(const QString& text);

private:
    void fetchMessage();
    void showFetched(const QString& text, const QString& statusWhenStarted);
    void stopFetch();

    WindowContext& m_context;
    QAction& m_mnuMessage;
    std::unique_ptr<QThread> m_fetch;
    std::shared_ptr<std::atomic<bool>> m_cancel;
};
