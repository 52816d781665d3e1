#pragma once

#include "store/SnippetRecord.h"

#include <algorithm>
#include <initializer_list>
#include <QtGlobal>

// Records put in order by language lie all over memory, and a loop over a million of them waits on
// each record's texts in turn. Asking for a text some records ahead brings it close by its turn.
inline void prefetchForRead(const void* at)
{
#if defined(__GNUC__)
    __builtin_prefetch(at, 0);
#else
    Q_UNUSED(at);
#endif
}

// The same for data about to be written, such as the use count of a string about to be copied.
inline void prefetchForWrite(const void* at)
{
#if defined(__GNUC__)
    __builtin_prefetch(at, 1);
#else
    Q_UNUSED(at);
#endif
}

// A record's title, keywords and the first codeBytes bytes of its code, for a loop that reads them.
inline void prefetchTexts(const SnippetRecord& record, qsizetype codeBytes)
{
    prefetchForRead(record.Title.constData());
    prefetchForRead(record.Keywords.constData());
    const QByteArrayView code = record.Code.bytes();
    for (qsizetype at = 0; at < std::min(code.size(), codeBytes); at += 64) {
        prefetchForRead(code.data() + at);
    }
}

// The texts of a record that every record has its own of (the language is mostly shared), for a loop
// that reads or writes every field: title, category, keywords, date and the start of the code.
inline void prefetchFields(const SnippetRecord& record)
{
    for (const QString* text : {&record.Title, &record.Category, &record.Keywords, &record.Date}) {
        prefetchForRead(text->constData());
    }
    prefetchForRead(record.Code.bytes().data());
}
