#include "import/VsCodeSnippets.h"

#include "import/ForeignText.h"
#include "store/LanguageIds.h"
#include "store/LineEnds.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonObject>

namespace VsCodeSnippets {

QString languageOfFile(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const QString base = name.left(name.indexOf(u'.'));
    return !base.isEmpty() && LanguageIds::isKnownId(base) ? LanguageIds::libraryName(base) : QString();
}

namespace {

// The snippet object with this name, which has a body, as a record.
SnippetRecord record(const QString& name, const QJsonObject& snippet, const QString& fileLanguage,
                     const QString& date)
{
    SnippetRecord r;
    r.Title = name;
    r.Code = withCrLf(ForeignText::joined(snippet.value(QLatin1String("body")), u"\n"));
    r.Keywords = ForeignText::joined(snippet.value(QLatin1String("prefix")), u" ");
    const QJsonValue description = snippet.value(QLatin1String("description"));
    if (description.isString()) {
        r.DText = withCrLf(description.toString());
    }
    r.Language = fileLanguage;
    if (r.Language.isEmpty()) {
        const QString scope = snippet.value(QLatin1String("scope")).toString();
        r.Language = LanguageIds::libraryName(scope.section(u',', 0, 0));
    }
    r.Category = QLatin1String(Category);
    r.Date = date;
    return r;
}

} // namespace

bool read(const JsoncReader::Document& document, const QString& fileName, const QString& date,
          CodeArray& records, QString* error)
{
    if (!document.json.isObject()) {
        if (error) {
            *error = QStringLiteral("it holds no VS Code snippets (the file is not one object of snippets)");
        }
        return false;
    }
    const QString fileLanguage = languageOfFile(fileName);
    // Qt's object cannot look up a member whose name begins with a byte-order mark: it shows the name
    // without the mark, and two members can then show one name. So the values are gathered by going
    // through the object, each name with every value shown under it.
    const QJsonObject snippets = document.json.object();
    QHash<QString, QList<QJsonObject>> byName;
    for (auto it = snippets.constBegin(); it != snippets.constEnd(); ++it) {
        byName[it.key()].append(it.value().toObject());
    }
    for (const QString& name : document.memberOrder) {
        for (const QJsonObject& snippet : byName.value(name)) {
            if (snippet.contains(QLatin1String("body"))) {
                records.push_back(record(name, snippet, fileLanguage, date));
            }
        }
    }
    return true;
}

} // namespace VsCodeSnippets
