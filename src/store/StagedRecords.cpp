#include "store/StagedRecords.h"

#include "store/LineEnds.h"

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
