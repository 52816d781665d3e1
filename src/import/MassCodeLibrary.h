#pragma once

#include "store/SnippetRecord.h"

#include <QHash>
#include <QJsonDocument>
#include <QList>
#include <QString>
#include <QStringList>

// massCode's library, as its "db.json" or its SQLite "massCode.db" holds it, and the records the
// local import stages from it.
namespace MassCodeLibrary {

struct Fragment
{
    QString label;
    QString language;
    QString value;
};

struct Snippet
{
    QString name;
    QString description;
    QString folderId;
    QStringList tagIds;
    bool favourite = false;
    bool deleted = false;
    qint64 updatedAt = 0; // milliseconds since 1970; 0 when the file does not say
    QList<Fragment> fragments;
};

struct Folder
{
    QString name;
    QString parentId;
};

struct Library
{
    QHash<QString, Folder> folders;
    QHash<QString, QString> tagNames;
    QList<Snippet> snippets; // in file (or id) order
};

inline constexpr char NoFolder[] = "Inbox";
inline constexpr char Untitled[] = "Untitled snippet";

// True when a JSON document has massCode's shape: an object with "folders" and "snippets" arrays.
bool isLibrary(const QJsonDocument& document);

// Reads a document that isLibrary accepted.
Library fromJson(const QJsonDocument& document);

// Reads a "massCode.db", opened read-only. False with error when it cannot be opened, is locked by a
// running massCode, or is no massCode library.
bool fromDatabase(const QString& path, Library& library, QString* error);

// Appends one record per fragment of every snippet not in the trash, dated by the snippet's own
// last change (importDate when the file gives none).
void stage(const Library& library, const QString& importDate, CodeArray& records);

} // namespace MassCodeLibrary
