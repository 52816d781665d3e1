#include "search/ui/ResultsModel.h"

#include "gui/BackgroundWork.h"

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsModel::setRows(ResultRows::Rows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ResultsModel::sortByColumn(int column)
{
    if (m_rows.empty()) {
        return;
    }
    // The order is found while the list repaints from the rows it shows; then they move.
    std::vector<size_t> order;
    runWhilePainting(m_rows.size(), [&] { order = m_sort.clickOrder(m_rows, column); });
    beginResetModel();
    m_sort.applyClick(m_rows, column, order);
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ResultRows::ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size())) {
        return {};
    }
    const ResultRows::Row& row = m_rows[size_t(index.row())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return row.text(index.column());
    }
    if (role == KeyRole) {
        return row.key();
    }
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ResultRows::ColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(ResultRows::Headings[size_t(section)]);
    }
    if (role == KeyRole) {
        return QString::fromLatin1(ResultRows::Keys[size_t(section)]);
    }
    return {};
}
