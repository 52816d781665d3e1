#include "objects/ViewerTypes.h"

#include "objects/SafeNames.h"
#include "store/PathNames.h"
#include "store/TextCodec.h"

#include <QFile>

namespace ViewerTypes {

Lists load(const QString& programFolder)
{
    Lists lists;
    QFile file(MergePathData(programFolder, QLatin1String(ListFileName)));
    if (!file.open(QIODevice::ReadOnly)) {
        return lists;
    }
    const QString text = TextCodec::decode(file.readAll());
    const QList<QStringView> lines = TextCodec::splitLines(text);
    if (lines.size() > 0) {
        lists.text = lines[0].toString();
    }
    if (lines.size() > 1) {
        lists.image = lines[1].toString();
    }
    return lists;
}

QString extensionOf(const QString& objectName)
{
    return objectName.right(4);
}

Kind kindOf(const QString& extension, const Lists& lists)
{
    if (lists.text.contains(extension, Qt::CaseInsensitive)) {
        return Kind::Text;
    }
    if (lists.image.contains(extension, Qt::CaseInsensitive)) {
        return Kind::Image;
    }
    return Kind::Binary;
}

QString workingFile(Kind kind, const QString& extension)
{
    if (kind == Kind::Text) {
        return QLatin1String(TextWorkingFile);
    }
    // The lists are the user's free text, so an ending taken from a stored name may still hold a
    // separator or a control character.
    const QString name = QStringLiteral("zqTempObject") + extension;
    return SafeNames::fileName(name) == name ? name : QString();
}

} // namespace ViewerTypes
