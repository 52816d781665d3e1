#include "objects/ObjectList.h"

#include "objects/ResourceFile.h"

namespace ObjectList {

std::vector<Entry> inUse(const CodeArray& records, qint64 fileSize)
{
    std::vector<Entry> entries;
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (r.Deleted || r.ObjectFlag != 1) {
            continue;
        }
        entries.push_back({qsizetype(i), r.Title, r.ObjectName, r.ObjectStart, r.ObjectLength,
                           ResourceFile::inRange(r.ObjectStart, r.ObjectLength, fileSize)});
    }
    return entries;
}

Names names(const CodeArray& records)
{
    Names names;
    for (const SnippetRecord& r : records) {
        if (!r.Deleted && !r.ObjectName.trimmed().isEmpty()) {
            names.text += r.ObjectName + QStringLiteral("\r\n");
            ++names.count;
        }
    }
    return names;
}

QString statusText(const Names& names)
{
    return names.count > 0 ? QStringLiteral("Objects:  ") + QString::number(names.count)
                           : QStringLiteral("Object List:  No objects found.");
}

QString messageText(const Names& names)
{
    return names.count > 0 ? QStringLiteral("Objects:  ") + QString::number(names.count) +
                                 QStringLiteral(" found\r\n") + names.text
                           : QStringLiteral("Objects:  None found.");
}

} // namespace ObjectList
