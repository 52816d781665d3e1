#pragma once

#include <QByteArray>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QUuid>

// Snippet files of other tools as the tests write them, with the records the local import should
// stage from each. A staged record reads "Title|Language|Category|Keywords|Date|DText|Code"; the
// date "NOW" stands for the import time.
namespace ForeignFixtures {

// VS Code: comments of both kinds, trailing commas, string and array bodies and prefixes, a member
// that is no snippet, comment-like text inside strings, and line ends of every system.
inline const QByteArray PythonJson =
    "\xEF\xBB\xBF// Python snippets\n"
    "{\n"
    "  \"Zeta print\": {\n"
    "    \"prefix\": [\"pr\", \"print\",],\n"
    "    \"body\": [\"print(${1:x})\", \"# done\"],\n"
    "    \"description\": \"Print a value\", // why\n"
    "  },\n"
    "  /* a block comment, with \"quotes\" and a , before } */\n"
    "  \"Alpha main\": {\n"
    "    \"prefix\": \"main\",\n"
    "    \"body\": \"if __name__ == '__main__':\\n    main()\\r\\nend\\rx\",\n"
    "    \"description\": [\"not a string\"],\n"
    "    \"scope\": \"javascript\"\n"
    "  },\n"
    "  \"No body\": { \"prefix\": \"nb\" },\n"
    "  \"Url\": { \"body\": \"http://example.org/*x*/,}\" },\n"
    "}\n";

inline const QStringList PythonJsonRecords{
    "Zeta print|Python|VS Code|pr print|NOW|Print a value|print(${1:x})\r\n# done",
    "Alpha main|Python|VS Code|main|NOW||if __name__ == '__main__':\r\n    main()\r\nend\r\nx",
    "Url|Python|VS Code||NOW||http://example.org/*x*/,}",
};

// A file for several languages: the language comes from "scope".
inline const QByteArray GlobalSnippets =
    "{\n"
    "  \"Log\": { \"scope\": \"typescript, javascript\", \"body\": "
    "[\"console.log($1);\"], \"prefix\": [\"log\"] },\n"
    "  \"Shell\": { \"scope\": \"shellscript\", \"body\": \"echo hi\" },\n"
    "  \"Odd\": { \"scope\": \"fortran\", \"body\": \"end\" },\n"
    "  \"Plain\": { \"body\": [] },\n"
    "}\n";

inline const QStringList GlobalSnippetsRecords{
    "Log|TypeScript|VS Code|log|NOW||console.log($1);",
    "Shell|Bash|VS Code||NOW||echo hi",
    "Odd|Fortran|VS Code||NOW||end",
    "Plain|Text|VS Code||NOW||",
};

// massCode: a library with nested folders, tags, a favourite, a snippet of two fragments without a
// name, one in the trash and one whose folder is gone. Tags are listed in an order that differs
// from their ids', and times are given for UTC.
inline const QByteArray MassCodeJson = R"json({
  "folders": [
    {"id": "f2", "name": "Python", "parentId": "f1"},
    {"id": "f1", "name": "Work", "parentId": null}
  ],
  "tags": [{"id": "t1", "name": "util"}, {"id": "t2", "name": "io"}],
  "snippets": [
    {"id": "s1", "name": "Read file", "folderId": "f2", "tagsIds": ["t2", "t1"], "isFavorites": true,
     "isDeleted": false, "description": "Reads a file", "updatedAt": 1700000000000,
     "content": [{"label": "Fragment 1", "language": "python", "value": "with open(p) as f:\n    f.read()"}]},
    {"id": "s2", "name": "", "folderId": null, "tagsIds": [], "isFavorites": false, "isDeleted": false,
     "description": null, "updatedAt": 1600000000000,
     "content": [{"label": "Script", "language": "javascript", "value": "a();\r\nb();"},
                 {"label": "Style", "language": "css", "value": "p {}"}]},
    {"id": "s3", "name": "Thrown away", "folderId": "f1", "tagsIds": [], "isFavorites": false,
     "isDeleted": true, "description": "", "updatedAt": 1600000000000,
     "content": [{"label": "Fragment 1", "language": "go", "value": "x"}]},
    {"id": "s4", "name": "Lost folder", "folderId": "gone", "tagsIds": ["t1", "t9"], "isFavorites": false,
     "isDeleted": false, "description": "two\nlines", "updatedAt": 1500000000000,
     "content": [{"label": "Fragment 1", "language": "plain_text", "value": "plain"}]}
  ]
})json";

inline const QStringList MassCodeRecords{
    "Read file|Python|Work/Python|io util bookmark|2023-11-14 22:13:20|Reads a file|with open(p) as "
    "f:\r\n    f.read()",
    "Untitled snippet - Script|JavaScript|Inbox||2020-09-13 12:26:40||a();\r\nb();",
    "Untitled snippet - Style|CSS|Inbox||2020-09-13 12:26:40||p {}",
    "Lost folder|Text|Inbox|util|2017-07-14 02:40:00|two\r\nlines|plain",
};

// The same library as massCode keeps it in SQLite, staged in id order (rows are inserted out of
// it), with the tags in the order of their snippet_tags rows, which differs from their ids'.
inline bool writeMassCodeDb(const QString& path)
{
    const QStringList statements{
        "CREATE TABLE folders (id INTEGER PRIMARY KEY, name TEXT, parentId INTEGER, createdAt INTEGER)",
        "CREATE TABLE tags (id INTEGER PRIMARY KEY, name TEXT)",
        "CREATE TABLE snippets (id INTEGER PRIMARY KEY, name TEXT, description TEXT, folderId INTEGER, "
        "isFavorites INTEGER, isDeleted INTEGER, createdAt INTEGER, updatedAt INTEGER)",
        "CREATE TABLE snippet_contents (id INTEGER PRIMARY KEY, snippetId INTEGER, label TEXT, value TEXT, "
        "language TEXT)",
        "CREATE TABLE snippet_tags (snippetId INTEGER, tagId INTEGER)",
        "INSERT INTO folders VALUES (1, 'Work', NULL, 0), (2, 'Python', 1, 0)",
        "INSERT INTO tags VALUES (1, 'util'), (2, 'io')",
        "INSERT INTO snippets VALUES (4, 'Lost folder', 'two\nlines', 99, 0, 0, 0, 1500000000000)",
        "INSERT INTO snippets VALUES (1, 'Read file', 'Reads a file', 2, 1, 0, 0, 1700000000000)",
        "INSERT INTO snippets VALUES (2, '', NULL, NULL, 0, 0, 0, 1600000000000)",
        "INSERT INTO snippets VALUES (3, 'Thrown away', '', 1, 0, 1, 0, 1600000000000)",
        "INSERT INTO snippet_contents VALUES (1, 1, 'Fragment 1', 'with open(p) as f:\n    f.read()', "
        "'python')",
        "INSERT INTO snippet_contents VALUES (2, 2, 'Script', 'a();' || char(13, 10) || 'b();', "
        "'javascript')",
        "INSERT INTO snippet_contents VALUES (3, 2, 'Style', 'p {}', 'css')",
        "INSERT INTO snippet_contents VALUES (4, 3, 'Fragment 1', 'x', 'go')",
        "INSERT INTO snippet_contents VALUES (5, 4, 'Fragment 1', 'plain', 'plain_text')",
        "INSERT INTO snippet_tags VALUES (1, 2), (4, 1), (1, 1)",
    };
    const QString connection = QUuid::createUuid().toString();
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            ok = ok && query.exec(sql);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

// pet: tags as an array, a command of several lines, an output, a table without tags.
inline const QByteArray PetToml = "# pet snippets\n"
                                  "[[snippets]]\n"
                                  "  description = \"ping google\"\n"
                                  "  command = \"ping 8.8.8.8\"\n"
                                  "  tag = [\"network\", \"google\"]\n"
                                  "  output = \"\"\"\n"
                                  "PING 8.8.8.8\n"
                                  "64 bytes\"\"\"\n"
                                  "\n"
                                  "[[snippets]]\n"
                                  "  description = \"loop\"\n"
                                  "  command = \"\"\"for f in *; do\r\n  echo $f\r\ndone\"\"\"\n";

inline const QStringList PetRecords{
    "ping google|Bash|pet|network google|NOW|PING 8.8.8.8\r\n64 bytes|ping 8.8.8.8",
    "loop|Bash|pet||NOW||for f in *; do\r\n  echo $f\r\ndone",
};

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace ForeignFixtures
