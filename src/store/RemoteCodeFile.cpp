#include "store/RemoteCodeFile.h"

#include "store/DatabaseFile.h"
#include "store/LibraryOrdering.h"
#include "store/StagedRecords.h"

namespace RemoteCodeFile {

bool LoadRemoteCodeDataFromFile(const QString& fullFileName, CodeArray& staged, QString* error)
{
    DatabaseFile::ReadResult result = DatabaseFile::read(fullFileName);
    if (!result.opened || !result.complete) {
        // Half a server copy would list most of its snippets as missing from the library.
        staged.clear();
        if (error) {
            *error = !result.opened ? QStringLiteral("%1: %2").arg(fullFileName, result.error)
                                    : QStringLiteral("%1 ends before its end marker: it is cut off or is "
                                                     "not a library file, so nothing of it is compared.")
                                          .arg(fullFileName);
        }
        return false;
    }
    StagedRecords staging(staged);
    staging.adopt(std::move(result.records));
    return staging.found();
}

void SortRemoteCodeByLanguage(CodeArray& staged)
{
    LibraryOrdering::SortCodeByLanguage(staged);
}

} // namespace RemoteCodeFile
