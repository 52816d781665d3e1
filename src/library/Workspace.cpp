#include "library/Workspace.h"

#include "store/PathNames.h"

QString Workspace::databasePath() const
{
    if (databasePrefix.isEmpty()) {
        return MergePathData(programFolder, databaseFileName);
    }
    // A prefix normally ends with its separator; one that does not still names a folder.
    return MergePathData(databasePrefix, databaseFileName);
}
