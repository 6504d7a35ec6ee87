#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <vector>

// The rows of one list of the project, for a report list. It holds no copy of the texts: a
// cell is asked for when it is painted, so a reset costs the same for ten rows or 100,000.
// It keeps each row's record identity, so a view can find its rows again after a change.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecordListModel)

public:
    struct Rows
    {
        std::function<int()> count;
        std::function<quint64(int row)> uid;
        // What a cell shows for a role (text, icon, tool tip); an invalid QVariant for nothing.
        std::function<QVariant(int row, int column, int role)> data;
    };

    RecordListModel(const QStringList &captions, Rows rows, QObject *parent = nullptr);

    // Takes the list as it is now, in one step.
    void reload();
    quint64 uidAt(int row) const { return m_uids[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QStringList m_captions;
    Rows m_rows;
    std::vector<quint64> m_uids;
};
