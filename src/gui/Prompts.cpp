#include "gui/Prompts.h"

#include "settings/AppInfo.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

namespace {

struct ScriptState
{
    bool scripted = false;
    QQueue<Prompts::Answer> answers;
    QList<Prompts::Record> history;
    QQueue<QString> files;
    QQueue<QFont> fonts;
    QQueue<QColor> colours;
};

ScriptState& state()
{
    static ScriptState s;
    return s;
}

// A dialog other than a message box, as the history records it.
void recordDialog(const QString& title, const QString& text, bool confirmed)
{
    ScriptState& s = state();
    if (s.scripted) {
        s.history.append(
            {Prompts::Icon::None, title, text, confirmed ? Prompts::Answer::Ok : Prompts::Answer::Cancel});
    }
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
    ask(parent, text, title, {{Answer::Ok, QString()}}, icon);
}

Prompts::Answer Prompts::question(QWidget* parent, const QString& text, const QString& title,
                                  const QList<Answer>& buttons, Icon icon)
{
    QList<Button> plain;
    for (Answer b : buttons) {
        plain.append({b, QString()});
    }
    return ask(parent, text, title, plain, icon);
}

Prompts::Answer Prompts::questionWithCaptions(QWidget* parent, const QString& text, const QString& title,
                                              const QList<Button>& buttons, Icon icon)
{
    return ask(parent, text, title, buttons, icon);
}

Prompts::Answer Prompts::ask(QWidget* parent, const QString& text, const QString& title,
                             const QList<Button>& buttons, Icon icon)
{
    const QString shownTitle = title.isEmpty() ? QString::fromLatin1(AppInfo::Title) : title;
    ScriptState& s = state();
    Answer answer = buttons.isEmpty() ? Answer::Ok : buttons.first().answer;
    if (s.scripted) {
        if (!s.answers.isEmpty()) {
            answer = s.answers.dequeue();
        }
    } else {
        QMessageBox box(toBoxIcon(icon), shownTitle, text, QMessageBox::NoButton, parent);
        for (const Button& b : buttons) {
            QPushButton* button = box.addButton(toButton(b.answer));
            if (!b.caption.isEmpty()) {
                button->setText(b.caption);
            }
        }
        box.setDefaultButton(toButton(answer));
        const int pressed = box.exec();
        for (const Button& b : buttons) {
            if (toButton(b.answer) == pressed) {
                answer = b.answer;
            }
        }
    }
    if (s.scripted) {
        s.history.append({icon, shownTitle, text, answer});
    }
    return answer;
}

namespace {

// The next queued answer while scripted, else what the real dialog gives; none when cancelled.
template <typename T, typename Dialog> std::optional<T> choose(QQueue<T>& queued, Dialog dialog)
{
    if (state().scripted) {
        return queued.isEmpty() ? std::nullopt : std::optional<T>(queued.dequeue());
    }
    return dialog();
}

} // namespace

QString Prompts::openFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    const QString path = choose(state().files, [&]() -> std::optional<QString> {
                             return QFileDialog::getOpenFileName(parent, title, folder, filter);
                         }).value_or(QString());
    recordDialog(title, filter, !path.isEmpty());
    return path;
}

QString Prompts::saveFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    const QString path = choose(state().files, [&]() -> std::optional<QString> {
                             return QFileDialog::getSaveFileName(parent, title, folder, filter);
                         }).value_or(QString());
    recordDialog(title, filter, !path.isEmpty());
    return path;
}

std::optional<QFont> Prompts::chooseFont(QWidget* parent)
{
    const std::optional<QFont> font = choose(state().fonts, [&]() -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, parent);
        return ok ? std::optional<QFont>(chosen) : std::nullopt;
    });
    recordDialog(QStringLiteral("Font"), font ? font->family() : QString(), font.has_value());
    return font;
}

std::optional<QColor> Prompts::chooseColour(QWidget* parent)
{
    const std::optional<QColor> colour = choose(state().colours, [&]() -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(QColor(), parent);
        return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
    });
    recordDialog(QStringLiteral("Colour"), colour ? colour->name() : QString(), colour.has_value());
    return colour;
}

void Prompts::queueFile(const QString& path)
{
    state().files.enqueue(path);
}

void Prompts::queueFont(const QFont& font)
{
    state().fonts.enqueue(font);
}

void Prompts::queueColour(const QColor& colour)
{
    state().colours.enqueue(colour);
}

void Prompts::setScripted(bool scripted)
{
    state().scripted = scripted;
    state().answers.clear();
    state().history.clear();
    state().files.clear();
    state().fonts.clear();
    state().colours.clear();
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
