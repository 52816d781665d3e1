#include "app/ui/Prompts.h"

#include "app/AppInfo.h"

#include <QMessageBox>
#include <QQueue>

namespace {

struct ScriptState
{
    bool scripted = false;
    QQueue<Prompts::Answer> answers;
    QList<Prompts::Record> history;
};

ScriptState& state()
{
    static ScriptState s;
    return s;
}

QMessageBox::Icon toBoxIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompts::Icon::Critical:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toButton(Prompts::Answer answer)
{
    switch (answer) {
    case Prompts::Answer::Yes:
        return QMessageBox::Yes;
    case Prompts::Answer::No:
        return QMessageBox::No;
    case Prompts::Answer::Cancel:
        return QMessageBox::Cancel;
    case Prompts::Answer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

void Prompts::message(QWidget* parent, const QString& text, const QString& title, Icon icon)
{
    ask(parent, text, title, {Answer::Ok}, icon);
}

Prompts::Answer Prompts::question(QWidget* parent, const QString& text, const QString& title,
                                  const QList<Answer>& buttons, Icon icon)
{
    return ask(parent, text, title, buttons, icon);
}

Prompts::Answer Prompts::ask(QWidget* parent, const QString& text, const QString& title,
                             const QList<Answer>& buttons, Icon icon)
{
    const QString shownTitle = title.isEmpty() ? QString::fromLatin1(AppInfo::Title) : title;
    ScriptState& s = state();
    Answer answer = buttons.value(0, Answer::Ok);
    if (s.scripted) {
        if (!s.answers.isEmpty()) {
            answer = s.answers.dequeue();
        }
    } else {
        QMessageBox box(toBoxIcon(icon), shownTitle, text, QMessageBox::NoButton, parent);
        for (Answer b : buttons) {
            box.addButton(toButton(b));
        }
        box.setDefaultButton(toButton(answer));
        const int pressed = box.exec();
        for (Answer b : buttons) {
            if (toButton(b) == pressed) {
                answer = b;
            }
        }
    }
    if (s.scripted) {
        s.history.append({icon, shownTitle, text, answer});
    }
    return answer;
}

void Prompts::setScripted(bool scripted)
{
    state().scripted = scripted;
    state().answers.clear();
    state().history.clear();
}

void Prompts::queueAnswer(Answer answer)
{
    state().answers.enqueue(answer);
}

QList<Prompts::Record> Prompts::takeHistory()
{
    QList<Record> h;
    h.swap(state().history);
    return h;
}
