#pragma once

#include "sync/Comparison.h"

#include <optional>
#include <QAbstractTableModel>
#include <vector>

// The rows of "lstRemote" for a QTreeView: Language, Category, Title, ID and, when asked for, Date
// (never filled). Each row has a check box in its first column; rows whose title exists locally
// with other code are red. With nothing listed it holds one placeholder row.
class RemoteListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The role that gives a row's key ("R" + staged index, or "X") and a column's key ("lang", ...).
    static constexpr int KeyRole = Qt::UserRole;

    enum Column
    {
        LanguageColumn,
        CategoryColumn,
        TitleColumn,
        IdColumn,
        DateColumn
    };

    explicit RemoteListModel(QObject* parent = nullptr);

    // Whether the "Date" column exists.
    void setDateColumn(bool shown);

    // Replaces the rows, all unticked.
    void setRows(std::vector<Comparison::Row> rows);
    // Replaces the rows with the placeholder row: "<none>" and text in the title column.
    void setPlaceholder(const QString& text);
    void clear();

    const std::vector<Comparison::Row>& rows() const { return m_rows; }
    bool hasPlaceholder() const { return !m_placeholder.isNull(); }

    // The staged index in a row's "ID" column; none for the placeholder.
    std::optional<qsizetype> id(int row) const;
    QString key(int row) const;
    bool isRed(int row) const;
    QString text(int row, int column) const;

    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    // Ticks or clears every row, the placeholder included.
    void setAllChecked(bool checked);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void emitChecksChanged();

    std::vector<Comparison::Row> m_rows;
    std::vector<char> m_checked;
    QString m_placeholder; // null: no placeholder row
    bool m_dateColumn = false;
};
