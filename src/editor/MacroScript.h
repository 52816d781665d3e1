#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A recorded macro as a slot stores it: stretches of keystrokes in the editor's own macro text, and
// between them editor commands kept by name, so that they act on the text found at replay time.
// A macro of keystrokes only is stored as the bare editor text, as slots always were.
namespace MacroScript {

struct Step
{
    enum class Kind
    {
        Keys,   // editor macro text: "message wParam length [text]" groups joined by blanks
        Command // the name of an editor command
    };
    Kind kind = Kind::Keys;
    QString text;

    bool operator==(const Step&) const = default;
};

// The slot text of the steps; empty steps of keystrokes are left out.
QString toSlot(const QList<Step>& steps);

// The steps of a slot text; a slot of the older, bare form is one stretch of keystrokes.
QList<Step> fromSlot(const QString& slot);

// Splits editor macro text into its single messages, each again valid macro text.
QStringList messages(const QString& keys);

// The message number of a single message from messages().
unsigned messageNumber(const QString& message);

// The text a single message carries, decoded from its escapes; empty when it carries none.
QByteArray messageText(const QString& message);

} // namespace MacroScript
