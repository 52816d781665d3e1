#pragma once

#include "store/SnippetRecord.h"

#include <QByteArray>
#include <QString>

// What the kill driver changes between two saves, shared with the test that checks its files.
namespace KillEdits {

// The n-th change of a run (n from 1): a line added to the code of one snippet.
inline void apply(CodeArray& records, int n)
{
    SnippetRecord& r = records[size_t((qsizetype(n) * 7919) % qsizetype(records.size()))];
    r.Code = r.Code.toString() + QStringLiteral("\r\n// edit %1").arg(n);
}

// The bytes an object named name holds, so any object can be checked against its name.
inline QByteArray objectBytes(const QString& name)
{
    const QByteArray unit = name.toUtf8() + '|';
    return unit.repeated(4000 / unit.size() + 1).left(4000);
}

} // namespace KillEdits
