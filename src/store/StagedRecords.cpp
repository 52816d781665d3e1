#include "store/StagedRecords.h"

StagedRecords::StagedRecords(CodeArray& staged) : m_staged(staged)
{
    m_staged.assign(1, SnippetRecord{});
}

void StagedRecords::store(SnippetRecord record)
{
    record.Code = withCrLf(std::move(record.Code));
    ++m_count;
    m_staged.resize(size_t(m_count) + 1);
    m_staged[size_t(m_count)] = std::move(record);
}

void StagedRecords::adopt(CodeArray records)
{
    m_count = qsizetype(records.size()) - 1;
    m_staged = std::move(records);
    if (m_staged.empty()) {
        m_staged.assign(1, SnippetRecord{});
    }
}

void StagedRecords::discard()
{
    m_count = -1;
    m_staged.assign(1, SnippetRecord{});
}

QString withCrLf(QString text)
{
    // Most code already has CR LF throughout: then the text is returned without a copy.
    qsizetype bare = 0;
    const qsizetype n = text.size();
    const QChar* p = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r') {
            if (i + 1 < n && p[i + 1] == u'\n') {
                ++i;
            } else {
                ++bare;
            }
        } else if (p[i] == u'\n') {
            ++bare;
        }
    }
    if (bare == 0) {
        return text;
    }
    QString fixed;
    fixed.reserve(n + bare);
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r' || p[i] == u'\n') {
            if (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n') {
                ++i;
            }
            fixed += QLatin1String("\r\n");
        } else {
            fixed += p[i];
        }
    }
    return fixed;
}
