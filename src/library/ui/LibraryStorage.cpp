#include "library/ui/LibraryStorage.h"

#include "gui/Prompts.h"
#include "library/LibraryFile.h"

#include <QDir>

namespace LibraryStorage {

void load(QWidget* parent, Workspace& ws)
{
    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(ws);
    if (!outcome.saveError.isEmpty()) {
        Prompts::message(parent, outcome.saveError, QString(), Prompts::Icon::Critical);
    }
    if (!outcome.message.isEmpty()) {
        Prompts::message(parent, outcome.message, outcome.messageTitle, Prompts::Icon::Exclamation);
    }
    if (!outcome.encodingMessage.isEmpty()) {
        Prompts::message(parent, outcome.encodingMessage, QLatin1String(LibraryFile::LoadTitle),
                         Prompts::Icon::Information);
    }
    if (outcome.copyKept) {
        // No is the default: saving leaves the unread rest in the copy only.
        const Prompts::Answer answer = Prompts::question(
            parent,
            QStringLiteral("Save the %1 complete snippets now? The copy %2 keeps the rest of the file.")
                .arg(ws.codeArray.size())
                .arg(QDir::toNativeSeparators(outcome.setAsidePath)),
            QLatin1String(LibraryFile::LoadTitle), {Prompts::Answer::No, Prompts::Answer::Yes});
        if (answer == Prompts::Answer::Yes) {
            save(parent, ws);
        }
    }
}

bool save(QWidget* parent, Workspace& ws)
{
    QString error;
    QList<qsizetype> mended;
    const bool saved = LibraryFile::SaveCodeArrayToFile(ws, &error, &mended);
    if (!saved) {
        Prompts::message(parent, error, QString(), Prompts::Icon::Critical);
        return false;
    }
    ws.CodeChanged = false;
    if (!mended.isEmpty()) {
        QStringList titles;
        for (qsizetype index : mended) {
            titles << ws.codeArray[size_t(index)].Title;
        }
        Prompts::message(parent,
                         QStringLiteral("Some text could not be stored as typed and was adjusted: line breaks in "
                                        "one-line fields became blanks, and code lines beginning with \"----E\" "
                                        "got a leading blank.\n\nSnippets adjusted:\n") +
                             titles.join(QLatin1Char('\n')),
                         QStringLiteral("Save Code Data"), Prompts::Icon::Information);
    }
    return true;
}

} // namespace LibraryStorage
