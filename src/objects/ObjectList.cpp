#include "objects/ObjectList.h"

#include "objects/ResourceFile.h"

#include <QDir>
#include <QStringList>

namespace {

// Titles named in the warning; a longer list would not fit a message box.
constexpr qsizetype NamedTitles = 20;

} // namespace

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

QString outsideWarning(const CodeArray& records, const QString& resourcePath)
{
    const qint64 fileSize = ResourceFile::size(resourcePath);
    QStringList titles;
    qsizetype count = 0;
    for (const SnippetRecord& r : records) {
        if (r.Deleted || r.ObjectFlag != 1 ||
            ResourceFile::inRange(r.ObjectStart, r.ObjectLength, fileSize)) {
            continue;
        }
        if (++count <= NamedTitles) {
            titles << QStringLiteral("%1 (%2)").arg(r.Title, r.ObjectName);
        }
    }
    if (count == 0) {
        return {};
    }
    if (count > NamedTitles) {
        titles << QStringLiteral("... and %1 more").arg(count - NamedTitles);
    }
    return QStringLiteral("The attachments of %1 snippet(s) lie outside the resource file %2 (%3 bytes): it "
                          "does not belong to this library or was cut short. They cannot be shown or "
                          "saved; every other attachment is unaffected.\n\n")
               .arg(count)
               .arg(QDir::toNativeSeparators(resourcePath))
               .arg(fileSize) +
           titles.join(u'\n');
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
