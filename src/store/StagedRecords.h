#pragma once

#include "store/SnippetRecord.h"

#include <QString>

// Fills the staging array (the remote code array) from one source, the one way every loader of the
// comparison does it: reset to a single empty record, then each record found at the next index from
// 0 on. Cut-out and version-5 code gets CR LF between its lines whatever the file used, as the
// library has, so identical code compares identical.
class StagedRecords
{
public:
    // Resets staged to one empty record.
    explicit StagedRecords(CodeArray& staged);

    // Stores record at the next index, its code with CR LF line ends.
    void store(SnippetRecord record);

    // Takes the records of a library file as its own reader gave them (the library is read the same
    // way, so its code compares as it stands); one empty record when there are none.
    void adopt(CodeArray records);

    // Drops what was stored, since the source turned out unusable: nothing of it is staged.
    void discard();

    // Whether at least one record was stored.
    bool found() const { return m_count >= 0; }

private:
    CodeArray& m_staged;
    qsizetype m_count = -1;
};
