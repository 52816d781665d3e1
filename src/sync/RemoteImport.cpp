#include "sync/RemoteImport.h"

namespace RemoteImport {

qsizetype appendStaged(CodeArray& library, const CodeArray& staged, const std::vector<qsizetype>& ids)
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
        library.push_back(std::move(record));
        ++count;
    }
    return count;
}

QString importedStatus(qsizetype count, const QString& importFileName)
{
    QString text = QString::number(count) + QLatin1String(" remote source code snippets imported into local database");
    if (!importFileName.isEmpty()) {
        text += QLatin1String(".   Local file name:   ") + importFileName;
    }
    return text;
}

} // namespace RemoteImport
