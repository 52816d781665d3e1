#include "search/ResultRows.h"

#include "search/SearchScope.h"
#include "store/KeyOrder.h"
#include "store/Prefetch.h"
#include "store/TextCodec.h"

namespace ResultRows {

namespace {

// Rows whose texts are asked for before their turn, as far ahead as this.
constexpr size_t Ahead = 8;

constexpr QStringView KeyJoin = u":::";
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
    // Room for every record: pages never written are never taken, and a million rows moved at each
    // growth would cost more than filling them.
    rows.reserve(records.size());
    const SearchScope filter(filterLanguage, false, true);
    for (size_t i = 0; i < records.size(); ++i) {
        if (i + Ahead < records.size()) {
            // Copying a string counts one more use of it: the count is written.
            prefetchForWrite(records[i + Ahead].Title.constData());
            prefetchForWrite(records[i + Ahead].Date.constData());
        }
        const SnippetRecord& r = records[i];
        if (r.Deleted || !r.Matched) {
            continue;
        }
        if (oneLanguageView && !filter.isSearchLanguage(r.Language)) {
            continue;
        }
        rows.push_back({r.Language, r.Category, r.Title, r.Date, qsizetype(i), qsizetype(i)});
    }
    if (rows.size() * 4 < rows.capacity()) {
        rows.shrink_to_fit();
    }
    return rows;
}

QString sortKey(const Row& row, int column)
{
    switch (column) {
    case LanguageColumn:
        return TextCodec::lowerJoined({row.language, KeyJoin, row.category, KeyJoin, row.title});
    case CategoryColumn:
        return TextCodec::lowerJoined({row.category, KeyJoin, row.title});
    case TitleColumn:
        return TextCodec::lowerJoined({row.title});
    case DateColumn:
        return TextCodec::lowerJoined({row.date});
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
    // Keys are asked for in turn: the text of a row a few further on is asked for early.
    const auto text = column == DateColumn ? &Row::date : &Row::title;
    auto keyOf = [&](size_t i) {
        if (i + Ahead < rows.size()) {
            prefetchForRead((rows[i + Ahead].*text).constData());
        }
        return sortKey(rows[i], column);
    };
    return sortedKeyOrder(rows.size(), keyOf, !m_descendingNext[size_t(column)]);
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
