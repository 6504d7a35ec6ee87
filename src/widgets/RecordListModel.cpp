#include "widgets/RecordListModel.h"

RecordListModel::RecordListModel(const QStringList &captions, Rows rows, QObject *parent)
    : QAbstractTableModel(parent), m_captions(captions), m_rows(std::move(rows))
{
    reload();
}

void RecordListModel::reload()
{
    beginResetModel();
    const int count = m_rows.count();
    m_uids.resize(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        m_uids[static_cast<size_t>(row)] = m_rows.uid(row);
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_uids.size());
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return m_rows.data(index.row(), index.column(), role);
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size())
        return m_captions[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool RecordListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    const bool caption = role == Qt::DisplayRole || role == Qt::EditRole;
    if (orientation != Qt::Horizontal || !caption || section < 0 || section >= m_captions.size())
        return false;
    m_captions[section] = value.toString();
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}
