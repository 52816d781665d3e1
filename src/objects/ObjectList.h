#pragma once

#include "store/SnippetRecord.h"

#include <QString>
#include <vector>

// The objects the library holds, for the list command and for checks.
namespace ObjectList {

struct Entry
{
    qsizetype index = 0; // in the code array
    QString title;
    QString name;
    qint64 start = 0;
    qint64 length = 0;
    bool valid = false; // the object lies wholly inside the resource file
};

// Every record not deleted whose object flag is 1, in code-array order, checked against a resource
// file of fileSize bytes.
std::vector<Entry> inUse(const CodeArray& records, qint64 fileSize);

// What to tell the user when the library's objects do not all lie inside the resource file at
// resourcePath (a library that came without its own resource file, or a file cut short): the snippets
// affected, by title. Empty when every object lies inside.
QString outsideWarning(const CodeArray& records, const QString& resourcePath);

struct Names
{
    qsizetype count = 0;
    QString text; // each name followed by CR LF
};

// The object names of the records not deleted whose name is not blank, in code-array order.
Names names(const CodeArray& records);

// The status-bar text and the message of the object list.
QString statusText(const Names& names);
QString messageText(const Names& names);

} // namespace ObjectList
