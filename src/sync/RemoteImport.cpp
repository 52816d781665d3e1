#include "sync/RemoteImport.h"

#include "import/ForeignSnippets.h"

namespace RemoteImport {

qsizetype appendStaged(CodeArray& library, const CodeArray& staged, const std::vector<qsizetype>& ids,
                       Fields fields)
{
    qsizetype count = 0;
    for (const qsizetype id : ids) {
        if (id < 0 || id >= qsizetype(staged.size())) {
            continue;
        }
        const SnippetRecord& from = staged[size_t(id)];
        SnippetRecord record;
        record.Title = from.Title;
        record.Language = from.Language;
        record.Category = from.Category;
        record.Code = from.Code;
        record.Date = from.Date;
        if (fields == Fields::WithKeywords) {
            record.Keywords = from.Keywords;
            record.DText = from.DText;
        }
        library.push_back(std::move(record));
        ++count;
    }
    return count;
}

Fields fieldsFor(const QString& path)
{
    return !path.isEmpty() && ForeignSnippets::formatFor(path) != ForeignSnippets::Format::None
               ? Fields::WithKeywords
               : Fields::Basic;
}

QString importedStatus(qsizetype count, const QString& importFileName)
{
    QString text =
        QString::number(count) + QLatin1String(" remote source code snippets imported into local database");
    if (!importFileName.isEmpty()) {
        text += QLatin1String(".   Local file name:   ") + importFileName;
    }
    return text;
}

} // namespace RemoteImport
