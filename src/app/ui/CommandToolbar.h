#pragma once

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

    // What the selected node asks for this button; the button follows when its command is built.
    void setButtonEnabled(const QString& key, bool enabled);
    bool isWanted(const QString& key) const { return !m_unwanted.contains(key); }

signals:
    // Toolbar1_ButtonClick: the key of the clicked button.
    void buttonClicked(const QString& key);

private:
    void refresh(const QString& key);

    QHash<QString, QAction*> m_buttons;
    QSet<QString> m_available;
    QSet<QString> m_unwanted;
};
