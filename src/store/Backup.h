#pragma once

#include <QString>

// Backup and restore of the database file: a copy beside it under the same name plus ".old".
// Only complete libraries are copied, and every copy goes through a safe save, so neither the
// backup nor the database is ever replaced by a damaged or half-written file.
namespace Backup {

enum class Status
{
    Done,
    SourceMissing, // the file to copy does not exist
    NotALibrary,   // the file to copy cannot be read or ends before its end marker
    WriteFailed    // the copy could not be written; the target is unchanged
};

struct Result
{
    Status status = Status::Done;
    QString error; // what went wrong, for the user; empty when done
    bool ok() const { return status == Status::Done; }
};

// The backup of a database file: the same path followed by ".old".
QString backupPath(const QString& databasePath);

// Copies the database file to its backup, replacing an older backup.
Result backup(const QString& databasePath);

// Copies the backup over the database file.
Result restore(const QString& databasePath);

// Copies source to target when source is a complete library; target stays whole on any failure.
Result copyLibrary(const QString& source, const QString& target);

} // namespace Backup
