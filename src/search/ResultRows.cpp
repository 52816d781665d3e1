#include "search/ResultRows.h"

#include "search/SearchScope.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <thread>

namespace ResultRows {

namespace {

const QString KeyJoin = QStringLiteral(":::");
const QString CrLf = QStringLiteral("\r\n");

// A row's sort key where the sort looks first: its first four UTF-16 units packed so that comparing
// the numbers orders as comparing the strings does (a shorter string pads with 0, the least unit);
// only equal prefixes compare the whole keys, kept together in one buffer. A million keys sorted
// as strings on the heap spend most of their time waiting for memory.
struct SortEntry
{
    quint64 prefix;
    qsizetype offset;
    qsizetype length;
    size_t row;
};

quint64 prefixOf(QStringView key)
{
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 4; ++i) {
        prefix = (prefix << 16) | (i < key.size() ? key[i].unicode() : 0u);
    }
    return prefix;
}

// The rows' order sorted on the column's keys, equal keys in their present order.
std::vector<size_t> sortedOrder(const Rows& rows, int column, bool ascending)
{
    std::u16string keys;
    std::vector<SortEntry> entries;
    entries.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const QString key = sortKey(rows[i], column);
        entries.push_back({prefixOf(key), qsizetype(keys.size()), key.size(), i});
        keys.append(reinterpret_cast<const char16_t*>(key.utf16()), size_t(key.size()));
    }
    const std::u16string_view all(keys);
    auto keyOf = [&all](const SortEntry& e) { return all.substr(size_t(e.offset), size_t(e.length)); };
    // QString orders by UTF-16 units as these views do.
    auto before = [&](const SortEntry& a, const SortEntry& b) {
        if (a.prefix != b.prefix) {
            return ascending ? a.prefix < b.prefix : b.prefix < a.prefix;
        }
        const int c = keyOf(a).compare(keyOf(b));
        if (c != 0) {
            return ascending ? c < 0 : c > 0;
        }
        return a.row < b.row;
    };
    // Two halves at once on a large list, then merged.
    const auto middle = entries.begin() + std::ptrdiff_t(entries.size() / 2);
    if (entries.size() >= 65536) {
        std::thread first([&] { std::sort(entries.begin(), middle, before); });
        std::sort(middle, entries.end(), before);
        first.join();
        std::inplace_merge(entries.begin(), middle, entries.end(), before);
    } else {
        std::sort(entries.begin(), entries.end(), before);
    }
    std::vector<size_t> order;
    order.reserve(entries.size());
    for (const SortEntry& e : entries) {
        order.push_back(e.row);
    }
    return order;
}

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
    if (rows.empty() || column < 0 || column >= ColumnCount) {
        return;
    }
    if (column != IdColumn) {
        const bool ascending = !m_descendingNext[size_t(column)];
        const std::vector<size_t> order = sortedOrder(rows, column, ascending);
        Rows sorted;
        sorted.reserve(rows.size());
        for (size_t i : order) {
            sorted.push_back(std::move(rows[i]));
        }
        rows = std::move(sorted);
        m_descendingNext[size_t(column)] = ascending;
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
