#pragma once

#include "store/SnippetRecord.h"

#include <array>
#include <QString>
#include <vector>

// The rows of the result list "lstResults": what FillListView puts in, the column sort and the
// titles copied to the clipboard.
namespace ResultRows {

enum Column
{
    LanguageColumn = 0,
    CategoryColumn = 1,
    TitleColumn = 2,
    IdColumn = 3,
    DateColumn = 4,
    ColumnCount = 5
};

// The column headings and the columns' keys, in column order.
inline const std::array<const char*, ColumnCount> Headings = {"Language", "Category", "Title", "ID", "Date"};
inline const std::array<const char*, ColumnCount> Keys = {"lang", "cat", "title", "id", "date"};

// One row, a copy of a matched record's texts as they were when the list was filled.
struct Row
{
    QString language;
    QString category;
    QString title;
    QString date;
    qsizetype index = 0;  // the record's index: the ID column shows its node key "T" + index
    qsizetype rowKey = 0; // the row's own key is "I" + rowKey

    // The key of the snippet's tree node.
    QString id() const { return QLatin1Char('T') + QString::number(index); }
    QString key() const { return QLatin1Char('I') + QString::number(rowKey); }
    QString text(int column) const;
};

using Rows = std::vector<Row>;

// The rows of the matched, non-deleted records in array order; in the one-language view only those
// whose language, lower-cased, is filterLanguage.
Rows FillListView(const CodeArray& records, bool oneLanguageView, const QString& filterLanguage);

// The lower-cased key a column sorts on: language:::category:::title, category:::title, title or date.
QString sortKey(const Row& row, int column);

// The titles of all rows, in list order, with CR LF between them.
QString CopyTitles(const Rows& rows);

// The column sort with a direction per column: the first click on a column sorts ascending, the next
// descending, and so on, each column on its own. Keys compare by character code; rows with equal
// keys keep their order. The ID column does not sort. Every click numbers the row keys by position.
class ColumnSort
{
public:
    // Sorts the rows by the clicked column; an empty list is left alone.
    void lstResults_ColumnClick(Rows& rows, int column);

    // The two halves of a click, so that the order can be found while the rows are still shown:
    // the rows' present positions in the order the click gives (empty to keep the order, as the ID
    // column does), which only reads the rows; then the rows put in that order and numbered, and
    // the column's direction turned for its next click.
    std::vector<size_t> clickOrder(const Rows& rows, int column) const;
    void applyClick(Rows& rows, int column, const std::vector<size_t>& order);

    // Whether the next click on the column sorts ascending.
    bool nextAscending(int column) const;

private:
    std::array<bool, ColumnCount> m_descendingNext{};
};

} // namespace ResultRows
