#pragma once

#include "library/Workspace.h"

#include <QString>

// Loading and saving the workspace's library file, with the safety rules around them.
namespace LibraryFile {

inline constexpr char PlaceholderMessage[] =
    "The code file was not found or was empty. A single record was added to avoid processing problems.";
inline constexpr char PlaceholderTitle[] = "Error Loading Code Data";
inline constexpr char SaveErrorMessage[] = "Error saving code array.";
inline constexpr char LoadTitle[] = "Load Code Data";
inline constexpr char ReadOnlyMessage[] =
    "The library is open read-only because another program is using it; nothing was saved.";

// What a save does when another program changed the library file since it was loaded or saved.
enum class OnDiskChange
{
    Refuse,   // save nothing and say so
    Overwrite // the user chose to replace the other version
};

struct LoadOutcome
{
    bool placeholderAdded = false; // no record was read: the placeholder stands in
    QString setAsidePath;          // where a damaged or unreadable file was kept, if anywhere
    bool incomplete = false;       // records were read but the end marker was missing
    bool damaged = false;          // the file holds records that could not be read
    bool copyKept = false;         // a whole copy of an incomplete or damaged file is kept aside
    QString message;               // what to tell the user (empty when all went well)
    QString messageTitle;
    QString saveError;          // the placeholder could not be saved
    qsizetype nonUtf8Bytes = 0; // bytes read as Windows-1252
    QString encodingMessage;    // says so, when there were any
};

// Replaces the code array with the records of the database file and updates the location text.
LoadOutcome LoadCodeDataFromFile(Workspace& ws);

// Writes the code array to the database file. Values the format cannot hold are mended first;
// their record indexes are added to mended. Returns false with error set when the save failed,
// was refused (blocked, read-only, or the file changed on disk and change is Refuse).
bool SaveCodeArrayToFile(Workspace& ws, QString* error = nullptr, QList<qsizetype>* mended = nullptr,
                         OnDiskChange change = OnDiskChange::Refuse);

// True when another program replaced the library file since this workspace loaded or saved it.
bool changedOnDisk(const Workspace& ws);

// Writes the code array beside the library file under a new name marked with reason, leaving the
// library file as it is; path receives the name written. Returns false with error set on failure.
bool SaveCodeArrayAside(Workspace& ws, const QString& reason, QString* path, QString* error = nullptr,
                        QList<qsizetype>* mended = nullptr);

// The text shown for where the library lives: the full path and "  <local>", or "  <remote>".
QString databaseLocationText(const Workspace& ws);

// A name beside the given file that does not exist yet, for keeping a file that could not be read.
QString setAsideName(const QString& path, const QString& reason);

// A copy of path kept earlier under setAsideName(path, reason) with the same bytes, or an empty string.
QString identicalCopy(const QString& path, const QString& reason);

} // namespace LibraryFile
