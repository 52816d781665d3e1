#include "import/MassCodeLibrary.h"

#include "import/ForeignText.h"
#include "store/DateStamp.h"
#include "store/LanguageIds.h"
#include "store/LineEnds.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

namespace {

// A whole number of a JSON value; 0 for anything else or beyond what a double holds exactly, so a
// hostile file cannot push a conversion out of range.
qint64 wholeNumber(const QJsonValue& value)
{
    const double d = value.toDouble();
    return d >= -9007199254740992.0 && d <= 9007199254740992.0 ? qint64(d) : 0;
}

// Ids are strings in db.json; numbers are read too, so a hand-edited file still links up.
QString idOf(const QJsonValue& value)
{
    return value.isDouble() ? QString::number(wholeNumber(value)) : value.toString();
}

// The folder's name after its parents' names, joined by "/". A parent that points back into the
// chain ends it, so a damaged file cannot loop.
QString folderPath(const MassCodeLibrary::Library& library, const QString& folderId)
{
    QStringList names;
    QSet<QString> seen;
    QString id = folderId;
    while (!id.isEmpty() && !seen.contains(id)) {
        const auto it = library.folders.constFind(id);
        if (it == library.folders.constEnd()) {
            break;
        }
        seen.insert(id);
        names.prepend(it->name);
        id = it->parentId;
    }
    return names.isEmpty() ? QString::fromLatin1(MassCodeLibrary::NoFolder) : names.join(u'/');
}

} // namespace

namespace MassCodeLibrary {

bool isLibrary(const QJsonDocument& document)
{
    const QJsonObject o = document.object();
    return document.isObject() && o.value(QLatin1String("folders")).isArray() &&
           o.value(QLatin1String("snippets")).isArray();
}

Library fromJson(const QJsonDocument& document)
{
    Library library;
    const QJsonObject root = document.object();
    for (const QJsonValue& value : root.value(QLatin1String("folders")).toArray()) {
        const QJsonObject f = value.toObject();
        library.folders.insert(
            idOf(f.value(QLatin1String("id"))),
            {f.value(QLatin1String("name")).toString(), idOf(f.value(QLatin1String("parentId")))});
    }
    for (const QJsonValue& value : root.value(QLatin1String("tags")).toArray()) {
        const QJsonObject t = value.toObject();
        library.tagNames.insert(idOf(t.value(QLatin1String("id"))),
                                t.value(QLatin1String("name")).toString());
    }
    for (const QJsonValue& value : root.value(QLatin1String("snippets")).toArray()) {
        const QJsonObject s = value.toObject();
        Snippet snippet;
        snippet.name = s.value(QLatin1String("name")).toString();
        snippet.description = s.value(QLatin1String("description")).toString();
        snippet.folderId = idOf(s.value(QLatin1String("folderId")));
        for (const QJsonValue& tag : s.value(QLatin1String("tagsIds")).toArray()) {
            snippet.tagIds.append(idOf(tag));
        }
        snippet.favourite = s.value(QLatin1String("isFavorites")).toBool();
        snippet.deleted = s.value(QLatin1String("isDeleted")).toBool();
        snippet.updatedAt = wholeNumber(s.value(QLatin1String("updatedAt")));
        for (const QJsonValue& content : s.value(QLatin1String("content")).toArray()) {
            const QJsonObject c = content.toObject();
            snippet.fragments.append({c.value(QLatin1String("label")).toString(),
                                      c.value(QLatin1String("language")).toString(),
                                      c.value(QLatin1String("value")).toString()});
        }
        library.snippets.append(std::move(snippet));
    }
    return library;
}

void stage(const Library& library, const QString& importDate, CodeArray& records)
{
    for (const Snippet& s : library.snippets) {
        if (s.deleted) {
            continue;
        }
        const QString name = s.name.isEmpty() ? QString::fromLatin1(Untitled) : s.name;
        QStringList keywords;
        for (const QString& id : s.tagIds) {
            const auto tag = library.tagNames.constFind(id);
            if (tag != library.tagNames.constEnd()) {
                keywords.append(*tag);
            }
        }
        if (s.favourite) {
            keywords.append(QStringLiteral("bookmark"));
        }
        const QString category = folderPath(library, s.folderId);
        const QString date =
            s.updatedAt != 0 ? DateStamp::format(QDateTime::fromMSecsSinceEpoch(s.updatedAt)) : importDate;
        for (const Fragment& fragment : s.fragments) {
            SnippetRecord r;
            r.Title = s.fragments.size() > 1 ? name + QLatin1String(" - ") + fragment.label : name;
            r.Language = LanguageIds::libraryName(fragment.language);
            r.Category = category;
            r.Keywords = keywords.join(u' ');
            r.Date = date;
            r.DText = withCrLf(s.description);
            r.Code = withCrLf(fragment.value);
            records.push_back(std::move(r));
        }
    }
}

} // namespace MassCodeLibrary
