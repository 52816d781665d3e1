#include "sync/ui/RemoteListModel.h"

#include <QColor>

namespace {

const char* const Headers[] = {"Language", "Category", "Title", "ID", "Date"};
const char* const ColumnKeys[] = {"lang", "cat", "title", "id", "date"};

} // namespace

RemoteListModel::RemoteListModel(QObject* parent) : QAbstractTableModel(parent) {}

void RemoteListModel::setDateColumn(bool shown)
{
    beginResetModel();
    m_dateColumn = shown;
    endResetModel();
}

void RemoteListModel::setRows(std::vector<Comparison::Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_checked.assign(m_rows.size(), 0);
    m_placeholder = QString();
    endResetModel();
}

void RemoteListModel::setPlaceholder(const QString& text)
{
    beginResetModel();
    m_rows.clear();
    m_checked.assign(1, 0);
    m_placeholder = text.isNull() ? QStringLiteral("") : text;
    endResetModel();
}

void RemoteListModel::clear()
{
    setRows({});
}

std::optional<qsizetype> RemoteListModel::id(int row) const
{
    if (hasPlaceholder() || row < 0 || row >= int(m_rows.size())) {
        return std::nullopt;
    }
    return m_rows[size_t(row)].id;
}

QString RemoteListModel::key(int row) const
{
    if (const auto i = id(row)) {
        return QStringLiteral("R") + QString::number(*i);
    }
    return hasPlaceholder() && row == 0 ? QString::fromLatin1(Comparison::PlaceholderKey) : QString();
}

bool RemoteListModel::isRed(int row) const
{
    return id(row) && m_rows[size_t(row)].red;
}

QString RemoteListModel::text(int row, int column) const
{
    if (hasPlaceholder()) {
        if (row != 0) {
            return {};
        }
        return column == LanguageColumn ? QString::fromLatin1(Comparison::PlaceholderText)
               : column == TitleColumn  ? m_placeholder
                                        : QString();
    }
    if (row < 0 || row >= int(m_rows.size())) {
        return {};
    }
    const Comparison::Row& r = m_rows[size_t(row)];
    switch (column) {
    case LanguageColumn:
        return r.language;
    case CategoryColumn:
        return r.category;
    case TitleColumn:
        return r.title;
    case IdColumn:
        return QString::number(r.id);
    default:
        return {};
    }
}

bool RemoteListModel::isChecked(int row) const
{
    return row >= 0 && row < int(m_checked.size()) && m_checked[size_t(row)];
}

void RemoteListModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= int(m_checked.size()) || bool(m_checked[size_t(row)]) == checked) {
        return;
    }
    m_checked[size_t(row)] = checked;
    const QModelIndex cell = index(row, LanguageColumn);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void RemoteListModel::setAllChecked(bool checked)
{
    std::fill(m_checked.begin(), m_checked.end(), char(checked));
    emitChecksChanged();
}

void RemoteListModel::emitChecksChanged()
{
    if (!m_checked.empty()) {
        emit dataChanged(index(0, LanguageColumn), index(int(m_checked.size()) - 1, LanguageColumn),
                         {Qt::CheckStateRole});
    }
}

int RemoteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_checked.size());
}

int RemoteListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (m_dateColumn ? 5 : 4);
}

QVariant RemoteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
    case Qt::CheckStateRole:
        if (index.column() == LanguageColumn) {
            return isChecked(row) ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    case Qt::ForegroundRole:
        if (isRed(row)) {
            return QColor(255, 0, 0);
        }
        return {};
    case KeyRole:
        return key(row);
    default:
        return {};
    }
}

bool RemoteListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != LanguageColumn) {
        return false;
    }
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags RemoteListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == LanguageColumn) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

QVariant RemoteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(Headers[section]);
    }
    if (role == KeyRole) {
        return QString::fromLatin1(ColumnKeys[section]);
    }
    return {};
}
