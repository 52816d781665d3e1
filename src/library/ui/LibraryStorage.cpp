#include "library/ui/LibraryStorage.h"

#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "library/LibraryFile.h"

#include <QDir>

namespace LibraryStorage {

namespace {

LoadStep afterLoad = nullptr;

} // namespace

void setLoadStep(LoadStep step)
{
    afterLoad = step;
}

void load(QWidget* parent, Workspace& ws)
{
    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(ws);
    QString stepError;
    if (afterLoad && !afterLoad(ws, &stepError)) {
        Prompts::message(parent, stepError, QLatin1String(LibraryFile::LoadTitle),
                         Prompts::Icon::Exclamation);
    }
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
    if (outcome.copyKept && !ws.readOnly) {
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

bool save(QWidget* parent, Workspace& ws, QString* keptAside)
{
    // A large library takes seconds to write; a question or message on the way shows the arrow.
    const WaitCursor wait;
    const QString title = QStringLiteral("Save Code Data");
    QString error;
    QList<qsizetype> mended;
    bool saved = false;
    if (ws.saveBlockedReason.isEmpty() && !ws.readOnly && LibraryFile::changedOnDisk(ws)) {
        const QString path = QDir::toNativeSeparators(ws.databasePath());
        const Prompts::Answer answer = Prompts::questionWithCaptions(
            parent,
            QStringLiteral("The library file %1 was changed by another program after Zorbeth loaded or last "
                           "saved it.\n\nOverwrite it with this library, or keep the other version and save "
                           "this library beside it?")
                .arg(path),
            title,
            {{Prompts::Answer::No, QStringLiteral("Keep Other Version")},
             {Prompts::Answer::Yes, QStringLiteral("Overwrite")}},
            Prompts::Icon::Exclamation);
        if (answer == Prompts::Answer::Yes) {
            saved =
                LibraryFile::SaveCodeArrayToFile(ws, &error, &mended, LibraryFile::OnDiskChange::Overwrite);
        } else {
            QString aside;
            saved = LibraryFile::SaveCodeArrayAside(ws, QStringLiteral("mine"), &aside, &error, &mended);
            if (saved) {
                Prompts::message(parent,
                                 QStringLiteral("The library file %1 was left as the other program saved it. "
                                                "This library was saved as %2.")
                                     .arg(path, QDir::toNativeSeparators(aside)),
                                 title, Prompts::Icon::Information);
                if (keptAside) {
                    *keptAside = aside;
                }
            }
        }
    } else {
        saved = LibraryFile::SaveCodeArrayToFile(ws, &error, &mended);
    }
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
        Prompts::message(
            parent,
            QStringLiteral("Some text could not be stored as typed and was adjusted: line breaks in "
                           "one-line fields became blanks, and code lines beginning with \"----E\" "
                           "got a leading blank.\n\nSnippets adjusted:\n") +
                titles.join(QLatin1Char('\n')),
            title, Prompts::Icon::Information);
    }
    return true;
}

bool saveOrDiscard(QWidget* parent, Workspace& ws, const QString& title)
{
    switch (Prompts::question(parent, QStringLiteral("Save changes?"), title,
                              {Prompts::Answer::Yes, Prompts::Answer::No, Prompts::Answer::Cancel})) {
    case Prompts::Answer::Yes:
        return save(parent, ws);
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

} // namespace LibraryStorage
