#pragma once

#include <QByteArray>
#include <QString>

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

} // namespace ObjectExport
