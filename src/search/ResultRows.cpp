#include "search/ResultRows.h"

#include "search/SearchScope.h"
#include "store/KeyOrder.h"


namespace ResultRows {

namespace {

const QString KeyJoin = QStringLiteral(":::");
const QString CrLf = QStringLiteral("\r\n");

} // namespace

QString Row::text(int column) const
{
    switch (column) {
    case LanguageColumn:
        return language;
    case CategoryColumn:
        return category;
    case TitleColumn:
        return title;
    case IdColumn:
        return id();
    case DateColumn:
        return date;
    default:
        return {};
    }
}

Rows FillListView(const CodeArray& records, bool oneLanguageView, const QString& filterLanguage)
{
    Rows rows;
    const SearchScope filter(filterLanguage, false, true);
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (r.Deleted || !r.Matched) {
            continue;
        }
        if (oneLanguageView && !filter.isSearchLanguage(r.Language)) {
            continue;
        }
        rows.push_back({r.Language, r.Category, r.Title, r.Date, qsizetype(i), qsizetype(i)});
    }
    return rows;
}

QString sortKey(const Row& row, int column)
{
    switch (column) {
    case LanguageColumn:
        return (row.language + KeyJoin + row.category + KeyJoin + row.title).toLower();
    case CategoryColumn:
        return (row.category + KeyJoin + row.title).toLower();
    case TitleColumn:
        return row.title.toLower();
    case DateColumn:
        return row.date.toLower();
    default:
        return {};
    }
}

QString CopyTitles(const Rows& rows)
{
    QString text;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            text += CrLf;
        }
        text += rows[i].title;
    }
    return text;
}

void ColumnSort::lstResults_ColumnClick(Rows& rows, int column)
{
    applyClick(rows, column, clickOrder(rows, column));
}

std::vector<size_t> ColumnSort::clickOrder(const Rows& rows, int column) const
{
    if (rows.empty() || column < 0 || column >= ColumnCount || column == IdColumn) {
        return {};
    }
    return sortedKeyOrder(
        rows.size(), [&](size_t i) { return sortKey(rows[i], column); }, !m_descendingNext[size_t(column)]);
}

void ColumnSort::applyClick(Rows& rows, int column, const std::vector<size_t>& order)
{
    if (rows.empty() || column < 0 || column >= ColumnCount) {
        return;
    }
    if (column != IdColumn && order.size() == rows.size()) {
        applyOrder(rows, order);
        m_descendingNext[size_t(column)] = !m_descendingNext[size_t(column)];
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].rowKey = qsizetype(i);
    }
}

bool ColumnSort::nextAscending(int column) const
{
    return column >= 0 && column < ColumnCount && !m_descendingNext[size_t(column)];
}

} // namespace ResultRows
