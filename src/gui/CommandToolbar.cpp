#include "gui/CommandToolbar.h"

#include <QAction>
#include <QIcon>

namespace {

struct ButtonSpec
{
    const char* key;
    const char* tooltip; // nullptr: a separator
    const char* image;
    bool twoState;
};

constexpr ButtonSpec Buttons[] = {
    {"Remote", "Connect to Remote Database", "remoteyes", true},
    {"Save", "Save ", "save", false},
    {"Print", "Print Selected Snippet", "print", false},
    {"WordWrap", "Apply Word Wrap to Code", "word", true},
    {"Font", "Font (Quick Cycle)", "font2", false},
    {"Search", "Show Search Frame", "binoc", true},
    {"New", "New (of Selection Type)", "new", false},
    {"Delete", "Delete Selection (and Children)", "deleteblack", false},
    {"Sort", "Sort", "sort", false},
    {"Copy", "Copy Code to Clipboard", "copy", false},
    {"Expand", "Expand Selection", "open", false},
    {"Collapse", "Collapse Selection", "close", false},
    {"transfer", "Download Snippets From Zorbeth Server", "Transfer", true},
    {"drive", "Import Source Code From Local Files", "hd", true},
    {"Import", "Add Selected Snippets", "refresh", false},
    {"space", nullptr, nullptr, false},
    {"Add", "Add Object", "plus", false},
    {"Remove", "Remove Object", "minus", false},
    {"SaveAs", "Save Object to File", "save", false},
    {"Viewer", "Object Viewer", "view", false},
    {"SepFlag", nullptr, nullptr, false},
    {"Bookmark", "Set Bookmark", "flagred", false},
    {"UnBookmark", "Remove Bookmark", "flaggreen", false},
    {"SepMail", nullptr, nullptr, false},
    {"Email", "Email Author", "email", false},
};

} // namespace

CommandToolbar::CommandToolbar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setWindowTitle(tr("Toolbar"));
    setMovable(false);
    setIconSize(QSize(24, 24));
    for (const ButtonSpec& spec : Buttons) {
        const QString key = QString::fromLatin1(spec.key);
        QAction* action = nullptr;
        if (spec.tooltip == nullptr) {
            action = addSeparator();
        } else {
            action = addAction(QIcon(QStringLiteral(":/images/tb-%1.png").arg(QLatin1String(spec.image))),
                               QString::fromLatin1(spec.tooltip).trimmed());
            action->setToolTip(QString::fromLatin1(spec.tooltip));
            action->setCheckable(spec.twoState);
            connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        }
        action->setObjectName(key);
        action->setData(key);
        m_buttons.insert(key, action);
        refresh(key);
    }
}

QStringList CommandToolbar::keys()
{
    QStringList list;
    for (const ButtonSpec& spec : Buttons) {
        list << QString::fromLatin1(spec.key);
    }
    return list;
}

void CommandToolbar::setAvailable(const QString& key, bool available)
{
    if (available) {
        m_available.insert(key);
    } else {
        m_available.remove(key);
    }
    refresh(key);
}

void CommandToolbar::setCommand(const QString& key, std::function<void()> command)
{
    m_commands.insert(key, std::move(command));
    setAvailable(key, true);
}

void CommandToolbar::Toolbar1_ButtonClick(const QString& key)
{
    if (const auto command = m_commands.value(key)) {
        command();
    }
}

void CommandToolbar::setButtonEnabled(const QString& key, bool enabled)
{
    if (enabled) {
        m_unwanted.remove(key);
    } else {
        m_unwanted.insert(key);
    }
    refresh(key);
}

void CommandToolbar::refresh(const QString& key)
{
    if (QAction* action = m_buttons.value(key)) {
        action->setEnabled(m_available.contains(key) && !m_unwanted.contains(key));
    }
}
