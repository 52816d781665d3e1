#include "objects/ObjectAnalysis.h"

#include "objects/ResourceFile.h"

namespace {

const QString Prefix = QStringLiteral("Resource File Analysis:     ");

} // namespace

namespace ObjectAnalysis {

Analysis analyze(const CodeArray& records, const QString& resourcePath)
{
    Analysis analysis;
    analysis.fileSize = ResourceFile::size(resourcePath);
    for (const SnippetRecord& r : records) {
        if (!r.Deleted && r.ObjectFlag == 1) {
            ++analysis.count;
            analysis.bytesUsed += r.ObjectLength;
        }
    }
    return analysis;
}

QString statusText(const Analysis& analysis)
{
    if (analysis.fileSize == 0) {
        return Prefix + QStringLiteral("File is empty. No objects stored.");
    }
    const double ratio = double(analysis.bytesUsed) / double(analysis.fileSize);
    return Prefix + QString::number(analysis.count) + QStringLiteral(" object(s) stored.    ") +
           QString::number(analysis.bytesUsed) + QStringLiteral(" of ") + QString::number(analysis.fileSize) +
           QStringLiteral("  bytes used in resource file.    ") + QString::number(ratio * 100, 'f', 2) +
           QStringLiteral("% utilization");
}

QString compactedText(const Analysis& analysis)
{
    // The analysis from its 28th character on keeps the last blank of its heading.
    return QStringLiteral("Resource File Compacted:     ") + statusText(analysis).mid(27);
}

} // namespace ObjectAnalysis
