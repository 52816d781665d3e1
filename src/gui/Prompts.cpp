#include "gui/Prompts.h"

#include "gui/ScreenFit.h"
#include "gui/TitleFit.h"
#include "settings/AppInfo.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QQueue>
#include <QScreen>
#include <QSettings>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

struct ScriptState
{
    bool scripted = false;
    QQueue<Prompts::Answer> answers;
    QList<Prompts::Record> history;
    QQueue<QString> files;
    QQueue<QString> folders;
    QQueue<QString> texts;
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

// A dialog asked for during a long step shows the ordinary arrow, not the step's wait cursor.
class PlainCursor
{
public:
    PlainCursor() : m_pushed(QGuiApplication::overrideCursor() != nullptr)
    {
        if (m_pushed) {
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~PlainCursor()
    {
        if (m_pushed) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    PlainCursor(const PlainCursor&) = delete;
    PlainCursor& operator=(const PlainCursor&) = delete;

private:
    bool m_pushed;
};

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

Prompts::Answer Prompts::longMessage(QWidget* parent, const QString& text, const QString& title,
                                     const QList<Answer>& buttons, Icon icon)
{
    if (state().scripted) {
        return question(parent, text, title, buttons, icon);
    }
    QDialog box(parent);
    box.setObjectName(QStringLiteral("frmLongMessage"));
    box.setWindowTitle(title.isEmpty() ? QString::fromLatin1(AppInfo::Title) : title);
    auto* picture = new QLabel;
    if (icon != Icon::None) {
        // A message box knows the style's picture for each icon at the right size.
        QMessageBox probe;
        probe.setIcon(toBoxIcon(icon));
        picture->setPixmap(probe.iconPixmap());
    }
    picture->setAlignment(Qt::AlignTop);
    auto* view = new QPlainTextEdit(text);
    view->setObjectName(QStringLiteral("txtLongMessage"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttonBox = new QDialogButtonBox;
    Answer answer = buttons.value(0, Answer::Ok);
    for (Answer b : buttons) {
        QPushButton* button = buttonBox->addButton(QDialogButtonBox::StandardButton(toButton(b)));
        button->setDefault(b == answer);
        QObject::connect(button, &QPushButton::clicked, &box, [&box, &answer, b] {
            answer = b;
            box.done(QDialog::Accepted);
        });
    }
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(view, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(row, 1);
    layout->addWidget(buttonBox);

    // As large as the text needs, up to two thirds of the screen; the text scrolls beyond that.
    const QWidget* owner = parent ? parent->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : box.screen();
    const QSize limit = screen ? screen->availableGeometry().size() * 2 / 3 : QSize(640, 480);
    const QFontMetrics metrics(view->font());
    const QStringList lines = text.split(u'\n');
    int textWidth = 0;
    for (const QString& line : lines) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    }
    const QSize wanted =
        box.sizeHint() - view->sizeHint() +
        QSize(textWidth + 4 * metrics.averageCharWidth(), int(lines.size() + 2) * metrics.lineSpacing());
    box.resize(wanted.expandedTo(QSize(TitleFit::widthFor(box, box.windowTitle()), 0))
                   .boundedTo(limit)
                   .expandedTo(box.minimumSizeHint()));
    ScreenFit::placeOver(box, owner);
    // Escape and the close button leave the last button's answer, as with a message box's Cancel.
    const PlainCursor arrow;
    if (box.exec() != QDialog::Accepted && !buttons.isEmpty()) {
        answer = buttons.contains(Answer::Cancel) ? Answer::Cancel : buttons.last();
    }
    return answer;
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
        // A message box takes the width of its text; a row as wide as the title keeps that whole.
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
            const QMargins margins = grid->contentsMargins();
            const int width = TitleFit::widthFor(box, shownTitle) - margins.left() - margins.right();
            grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                          grid->rowCount(), 0, 1, grid->columnCount());
        }
        const PlainCursor arrow;
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
    const PlainCursor arrow;
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

QString Prompts::chooseFolder(QWidget* parent, const QString& title, const QString& folder)
{
    const QString path = choose(state().folders, [&]() -> std::optional<QString> {
                             return QFileDialog::getExistingDirectory(parent, title, folder);
                         }).value_or(QString());
    recordDialog(title, folder, !path.isEmpty());
    return path;
}

std::optional<QString> Prompts::inputText(QWidget* parent, const QString& prompt, const QString& title,
                                          const QString& value)
{
    const std::optional<QString> text = choose(state().texts, [&]() -> std::optional<QString> {
        QInputDialog box(parent);
        box.setWindowTitle(title);
        box.setLabelText(prompt);
        box.setTextValue(value);
        // Wide enough for the whole title, and for the value it starts with (a long snippet title).
        const QFontMetrics metrics(box.font());
        const QScreen* screen = box.screen();
        const int valueWidth = std::min(metrics.horizontalAdvance(value) + 6 * metrics.averageCharWidth(),
                                        screen ? screen->availableGeometry().width() * 2 / 3 : 640);
        // The dialog sizes itself from its layout, so the text field carries the width.
        const QMargins margins = box.layout() ? box.layout()->contentsMargins() : QMargins();
        if (auto* field = box.findChild<QLineEdit*>()) {
            field->setMinimumWidth(
                std::max(TitleFit::widthFor(box, title) - margins.left() - margins.right(), valueWidth));
        }
        if (box.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return box.textValue();
    });
    recordDialog(title, prompt, text.has_value());
    return text;
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

void Prompts::keepDialogStateIn(const QString& folder)
{
    // Qt's dialogs keep their state in the user scope of the organisation "QtProject" (native format
    // on Unix, an INI file): setting that scope's folder puts "QtProject.conf" beside our files.
    // The settings store names its own file, so it is not affected.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

void Prompts::queueFile(const QString& path)
{
    state().files.enqueue(path);
}

void Prompts::queueFolder(const QString& path)
{
    state().folders.enqueue(path);
}

void Prompts::queueText(const QString& text)
{
    state().texts.enqueue(text);
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
    state().folders.clear();
    state().texts.clear();
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
