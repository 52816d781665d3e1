#pragma once

#include "search/ResultRows.h"

#include <QAbstractTableModel>

// The rows of "lstResults" for a QTreeView: Language, Category, Title, ID and Date.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The role that gives a row's own key ("I" + number) and a column's key ("lang", "cat", ...).
    static constexpr int KeyRole = Qt::UserRole;

    explicit ResultsModel(QObject* parent = nullptr);

    const ResultRows::Rows& rows() const { return m_rows; }
    void setRows(ResultRows::Rows rows);

    // Sorts by the clicked column with that column's own direction (lstResults_ColumnClick).
    void sortByColumn(int column);
    bool nextAscending(int column) const { return m_sort.nextAscending(column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    ResultRows::Rows m_rows;
    ResultRows::ColumnSort m_sort;
};
