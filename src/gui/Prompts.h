#pragma once

#include <optional>
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

class QWidget;

// Every message box and question of the program goes through here, so tests can answer them.
class Prompts
{
public:
    enum class Icon
    {
        None,
        Information,
        Exclamation,
        Critical,
        Question
    };
    enum class Answer
    {
        Ok,
        Yes,
        No,
        Cancel
    };

    // One prompt as it was put to the user.
    struct Record
    {
        Icon icon;
        QString title;
        QString text;
        Answer answer;
    };

    // Shows a message with an OK button.
    static void message(QWidget* parent, const QString& text, const QString& title, Icon icon = Icon::None);

    // Shows a long text, such as a list, in a box of at most two thirds of the screen that scrolls
    // the text, so its buttons stay within reach; the first button is the default.
    static Answer longMessage(QWidget* parent, const QString& text, const QString& title,
                              const QList<Answer>& buttons, Icon icon = Icon::None);

    // Asks a question with the given buttons; the first button is the default.
    static Answer question(QWidget* parent, const QString& text, const QString& title,
                           const QList<Answer>& buttons, Icon icon = Icon::Question);

    // A button that gives answer but reads caption.
    struct Button
    {
        Answer answer;
        QString caption;
    };

    // Asks a question whose buttons say what they do; the first button is the default.
    static Answer questionWithCaptions(QWidget* parent, const QString& text, const QString& title,
                                       const QList<Button>& buttons, Icon icon = Icon::Question);

    // The open-file dialog: a file name, or an empty one when cancelled. filter is like "Text (*.txt)".
    static QString openFile(QWidget* parent, const QString& title, const QString& folder,
                            const QString& filter);

    // The save-file dialog, which asks before replacing a file: a file name, or an empty one when
    // cancelled. Scripted answers come from the same queue as openFile's.
    static QString saveFile(QWidget* parent, const QString& title, const QString& folder,
                            const QString& filter);

    // The folder browser, showing folders only: a folder, or an empty name when cancelled.
    static QString chooseFolder(QWidget* parent, const QString& title, const QString& folder);

    // An input box with one line of text, filled with value; nothing when cancelled.
    static std::optional<QString> inputText(QWidget* parent, const QString& prompt, const QString& title,
                                            const QString& value);

    // The font dialog, without a preselected font; nothing when cancelled.
    static std::optional<QFont> chooseFont(QWidget* parent);

    // The colour dialog, without a preset colour; nothing when cancelled.
    static std::optional<QColor> chooseColour(QWidget* parent);

    // Qt's file, font and colour dialogs remember recent folders and custom colours in a file of
    // their own ("QtProject.conf"): it is kept in folder rather than in the user's configuration.
    static void keepDialogStateIn(const QString& folder);

    // Scripted answers of the dialogs above; with none queued a dialog is cancelled.
    static void queueFile(const QString& path);
    static void queueFolder(const QString& path);
    static void queueText(const QString& text);
    static void queueFont(const QFont& font);
    static void queueColour(const QColor& colour);

    // Scripted mode shows nothing: answers come from the queue, else the default button.
    static void setScripted(bool scripted);
    static void queueAnswer(Answer answer);
    static QList<Record> takeHistory();

private:
    static Answer ask(QWidget* parent, const QString& text, const QString& title,
                      const QList<Button>& buttons, Icon icon);
};
