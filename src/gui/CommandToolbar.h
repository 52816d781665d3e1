#pragma once

#include <functional>
#include <QHash>
#include <QSet>
#include <QToolBar>

// The main toolbar: every button by its key, in order, with its tooltip and picture.
// A button is enabled only when its command exists and the selected node allows it.
class CommandToolbar : public QToolBar
{
    Q_OBJECT

public:
    explicit CommandToolbar(QWidget* parent = nullptr);

    // The keys of all buttons and separators, left to right.
    static QStringList keys();

    QAction* button(const QString& key) const { return m_buttons.value(key); }

    // Marks the command behind a key as built, so the selection may enable its button.
    void setAvailable(const QString& key, bool available);

    // Gives a key its command: Toolbar1_ButtonClick runs it, and the button becomes available.
    void setCommand(const QString& key, std::function<void()> command);

    // Runs the command of the clicked key; unknown keys and separators do nothing.
    void Toolbar1_ButtonClick(const QString& key);

    // What the selected node asks for this button; the button follows when its command is built.
    void setButtonEnabled(const QString& key, bool enabled);
    bool isWanted(const QString& key) const { return !m_unwanted.contains(key); }

private:
    void refresh(const QString& key);

    QHash<QString, QAction*> m_buttons;
    QHash<QString, std::function<void()>> m_commands;
    QSet<QString> m_available;
    QSet<QString> m_unwanted;
};
