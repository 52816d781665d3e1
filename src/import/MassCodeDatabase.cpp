#include "import/MassCodeLibrary.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// What a massCode library holds, table by table, in the columns read here.
const QList<std::pair<QString, QStringList>> Schema{
    {"folders", {"id", "name", "parentId"}},
    {"tags", {"id", "name"}},
    {"snippets", {"id", "name", "description", "folderId", "isFavorites", "isDeleted", "updatedAt"}},
    {"snippet_contents", {"snippetId", "label", "value", "language"}},
    {"snippet_tags", {"snippetId", "tagId"}},
};

// "database is locked" and "busy" are what SQLite says while massCode holds its write lock.
bool isLock(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6") ||
           error.databaseText().contains(QLatin1String("locked"), Qt::CaseInsensitive);
}

class Reader
{
public:
    explicit Reader(QSqlDatabase db) : m_db(std::move(db)) {}

    bool read(MassCodeLibrary::Library& library)
    {
        return checkSchema() && readFolders(library) && readTags(library) && readSnippets(library);
    }

    QString error;

private:
    bool run(QSqlQuery& query, const QString& sql)
    {
        query.setForwardOnly(true);
        if (query.exec(sql)) {
            return true;
        }
        fail(query.lastError());
        return false;
    }

    void fail(const QSqlError& e)
    {
        error = isLock(e) ? QStringLiteral("the library is locked by another program (is massCode running?); "
                                           "close it and try again")
                          : QStringLiteral("it is no massCode library (") + e.databaseText() + u')';
    }

    bool checkSchema()
    {
        for (const auto& [table, columns] : Schema) {
            QSqlQuery query(m_db);
            if (!run(query, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
                return false;
            }
            QStringList present;
            while (query.next()) {
                present.append(query.value(1).toString());
            }
            for (const QString& column : columns) {
                if (!present.contains(column)) {
                    error = present.isEmpty()
                                ? QStringLiteral("it is no massCode library (no table \"%1\")").arg(table)
                                : QStringLiteral("it is no massCode library (no column \"%1\" in \"%2\")")
                                      .arg(column, table);
                    return false;
                }
            }
        }
        return true;
    }

    bool readFolders(MassCodeLibrary::Library& library)
    {
        QSqlQuery q(m_db);
        if (!run(q, QStringLiteral("SELECT id, name, parentId FROM folders"))) {
            return false;
        }
        while (q.next()) {
            library.folders.insert(q.value(0).toString(), {q.value(1).toString(), q.value(2).toString()});
        }
        return true;
    }

    bool readTags(MassCodeLibrary::Library& library)
    {
        QSqlQuery q(m_db);
        if (!run(q, QStringLiteral("SELECT id, name FROM tags"))) {
            return false;
        }
        while (q.next()) {
            library.tagNames.insert(q.value(0).toString(), q.value(1).toString());
        }
        return true;
    }

    // Fragments and tags come in their rows' order, which is the order massCode shows them in.
    bool readSnippets(MassCodeLibrary::Library& library)
    {
        QHash<QString, qsizetype> indexOf;
        QSqlQuery q(m_db);
        if (!run(q,
                 QStringLiteral("SELECT id, name, description, folderId, isFavorites, isDeleted, updatedAt "
                                "FROM snippets ORDER BY id"))) {
            return false;
        }
        while (q.next()) {
            MassCodeLibrary::Snippet s;
            s.name = q.value(1).toString();
            s.description = q.value(2).toString();
            s.folderId = q.value(3).toString();
            s.favourite = q.value(4).toLongLong() != 0;
            s.deleted = q.value(5).toLongLong() != 0;
            s.updatedAt = q.value(6).toLongLong();
            indexOf.insert(q.value(0).toString(), library.snippets.size());
            library.snippets.append(std::move(s));
        }
        QSqlQuery fragments(m_db);
        if (!run(fragments,
                 QStringLiteral(
                     "SELECT snippetId, label, value, language FROM snippet_contents ORDER BY rowid"))) {
            return false;
        }
        while (fragments.next()) {
            const auto it = indexOf.constFind(fragments.value(0).toString());
            if (it != indexOf.constEnd()) {
                library.snippets[*it].fragments.append({fragments.value(1).toString(),
                                                        fragments.value(3).toString(),
                                                        fragments.value(2).toString()});
            }
        }
        QSqlQuery tags(m_db);
        if (!run(tags, QStringLiteral("SELECT snippetId, tagId FROM snippet_tags ORDER BY rowid"))) {
            return false;
        }
        while (tags.next()) {
            const auto it = indexOf.constFind(tags.value(0).toString());
            if (it != indexOf.constEnd()) {
                library.snippets[*it].tagIds.append(tags.value(1).toString());
            }
        }
        return true;
    }

    QSqlDatabase m_db;
};

} // namespace

namespace MassCodeLibrary {

bool fromDatabase(const QString& path, Library& library, QString* error)
{
    // Each read has a connection of its own, so two imports (or a test beside the window) never
    // share one; it is removed once every query on it is gone.
    const QString connection =
        QStringLiteral("massCode-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        if (!db.isValid()) {
            why = QStringLiteral("the SQLite driver of Qt is missing (package libqt6sql6-sqlite)");
        } else {
            db.setDatabaseName(QFileInfo(path).absoluteFilePath());
            // Read-only: the import never changes another program's library. A short wait rides
            // out a write massCode is just finishing; a held lock is reported.
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1500"));
            if (!db.open()) {
                why = QStringLiteral("it cannot be opened (") + db.lastError().databaseText() + u')';
            } else {
                Reader reader(db);
                Library read;
                ok = reader.read(read);
                if (ok) {
                    library = std::move(read);
                } else {
                    why = reader.error;
                }
                db.close();
            }
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok && error) {
        *error = why;
    }
    return ok;
}

} // namespace MassCodeLibrary
