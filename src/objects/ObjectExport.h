#pragma once

#include "store/SnippetRecord.h"

#include <QByteArray>
#include <QString>

struct Workspace;

// Writes an object out into a folder the user chose.
namespace ObjectExport {

struct Written
{
    bool ok = false;
    QString path; // the file written, or that would have been
    QString error;
};

// Writes bytes as the file name in folder, replacing any file of that name whole. The bytes go to a
// temporary file in the folder that is then renamed over the name, so a symbolic link standing at the
// name is replaced, never followed. name must already be a plain file name (SafeNames::fileName).
Written writeInFolder(const QString& folder, const QString& name, const QByteArray& bytes);

struct Extracted
{
    enum class Outcome
    {
        Written,
        Refused,    // the name cannot be used, or would replace one of the program's own files
        ReadFailed, // the object could not be read from the resource file
        WriteFailed
    };
    Outcome outcome = Outcome::Refused;
    QString path; // the file written, or that would have been
    QString error;
};

// Saves the object of record, read from the resource file at resourcePath, into folder under its
// stored name made plain: the one way an object leaves the library, for the window and the command
// line alike. Refuses, before reading anything, a name that cannot be used and a file the program
// keeps (ProgramFiles). buffer receives the object's bytes when they could be read.
Extracted extract(const Workspace& ws, const QString& resourcePath, const SnippetRecord& record,
                  const QString& folder, QByteArray& buffer);

} // namespace ObjectExport
