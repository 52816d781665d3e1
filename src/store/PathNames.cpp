#include "store/PathNames.h"

QString MergePathData(const QString& thePath, const QString& theFileName)
{
    if (thePath.endsWith(u'/') || thePath.endsWith(u'\\')) {
        return thePath + theFileName;
    }
    return thePath + u'/' + theFileName;
}
