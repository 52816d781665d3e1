#include "store/MappedDatabase.h"

#include "store/Slices.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <thread>

bool MappedDatabase::open(const QString& path, bool countOnly, const Alongside& alongside)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const qint64 size = m_file.size();
    const uchar* mapped = size > 0 ? m_file.map(0, size) : nullptr;
    if (mapped) {
        m_bytes = QByteArrayView(reinterpret_cast<const char*>(mapped), size);
    } else {
        m_copy = m_file.readAll();
        if (m_file.error() != QFileDevice::NoError) {
            return false;
        }
        m_bytes = m_copy;
    }
    // Work alongside goes a few hundred KB at a time, so it finds the bytes still in the cache when
    // the walk has just read them.
    std::thread look;
    if (alongside) {
        look = std::thread([this, &alongside] {
            constexpr qsizetype Chunk = 256 * 1024;
            for (qsizetype from = 0; from < m_bytes.size(); from += Chunk) {
                alongside(m_bytes, from, std::min(m_bytes.size(), from + Chunk));
            }
        });
    }
    DatabaseFile::Walk walk;
    m_result = DatabaseFile::parseSpans(m_bytes, countOnly ? nullptr : &m_spans, walk);
    m_count = walk.records;
    m_lfMode = walk.lfMode;
    // Libraries are mostly ASCII, which the walk tells on the way: then only the bytes after the
    // end marker are left to check.
    const bool utf8 =
        walk.ascii ? TextCodec::isUtf8(m_bytes.sliced(walk.end)) : DatabaseFile::isUtf8(m_bytes, false, 0);
    if (look.joinable()) {
        look.join();
    }
    if (!utf8) {
        m_spans.clear();
        m_spans.shrink_to_fit();
        return false;
    }
    return true;
}

void MappedDatabase::walkPlaces()
{
    m_spans.clear();
    DatabaseFile::Walk walk;
    m_result = DatabaseFile::parseSpans(m_bytes, &m_spans, walk);
}

const DatabaseFile::Span& MappedDatabase::span(size_t index, Field field) const
{
    const DatabaseFile::RecordSpans& r = m_spans[index];
    switch (field) {
    case Title:
        return r.title;
    case Language:
        return r.language;
    case Category:
        return r.category;
    case Keywords:
        return r.keywords;
    case Date:
        return r.date;
    case Object:
        return r.objectName;
    case DText:
        return r.dText;
    case Code:
        return r.code;
    case HText:
        return r.hText;
    case AllFields:
        break;
    }
    Q_UNREACHABLE();
    return r.title;
}

QByteArrayView MappedDatabase::bytes(size_t index, Field field) const
{
    const DatabaseFile::Span& s = span(index, field);
    return m_bytes.sliced(s.begin, s.size);
}

QString MappedDatabase::text(size_t index, Field field) const
{
    return DatabaseFile::spanText(m_bytes, span(index, field), m_lfMode);
}

SnippetRecord MappedDatabase::record(size_t index, unsigned fields) const
{
    SnippetRecord r;
    const DatabaseFile::RecordSpans& s = m_spans[index];
    auto value = [&](Field field, QString& into) {
        if (fields & field) {
            into = text(index, field);
        }
    };
    value(Title, r.Title);
    value(Language, r.Language);
    value(Category, r.Category);
    value(Keywords, r.Keywords);
    value(Date, r.Date);
    value(DText, r.DText);
    if (fields & Code) {
        r.Code = DatabaseFile::spanCode(m_bytes, s.code, m_lfMode);
    }
    value(HText, r.HText);
    if (fields & Object) {
        r.ObjectName = text(index, Object);
        r.ObjectFlag = LeadingNumber(m_bytes.sliced(s.objectFlag.begin, s.objectFlag.size));
        r.ObjectStart = LeadingNumber(m_bytes.sliced(s.objectStart.begin, s.objectStart.size));
        r.ObjectLength = LeadingNumber(m_bytes.sliced(s.objectLength.begin, s.objectLength.size));
    }
    return r;
}

CodeArray MappedDatabase::records(unsigned fields) const
{
    CodeArray all(m_spans.size());
    runInSlices(all.size(), 20000, [&](size_t, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            all[i] = record(i, fields);
        }
    });
    return all;
}
