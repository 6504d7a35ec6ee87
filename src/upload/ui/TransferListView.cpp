#include "upload/ui/TransferListView.h"

#include "upload/TransferQueue.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLocale>
#include <QTimer>

namespace {

constexpr int RefreshMs = 250;

} // namespace

class TransferListModel : public QAbstractTableModel
{
public:
    enum Column { File, Size, State, Speed, Reason, ColumnCount };

    explicit TransferListModel(const TransferQueue &queue, QObject *parent) : QAbstractTableModel(parent), m_queue(queue) {}

    void refresh()
    {
        const quint64 version = m_queue.version();
        if (version == m_version)
            return;
        m_version = version;
        QList<TransferQueue::Row> rows = m_queue.rows();
        if (rows.size() != m_rows.size()) {
            beginResetModel();
            m_rows = std::move(rows);
            endResetModel();
            return;
        }
        m_rows = std::move(rows);
        if (!m_rows.isEmpty())
            emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, ColumnCount - 1), {Qt::DisplayRole});
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        const TransferQueue::Row &row = m_rows.at(index.row());
        if (role == Qt::TextAlignmentRole && (index.column() == Size || index.column() == Speed))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (role == Qt::ToolTipRole && index.column() == Reason)
            return row.reason;
        if (role != Qt::DisplayRole)
            return {};
        const QLocale locale;
        switch (index.column()) {
        case File:
            return row.path;
        case Size:
            return locale.formattedDataSize(row.size);
        case State:
            return transferStateName(row.state);
        case Speed:
            return row.state == TransferQueue::State::Sending && row.bytesPerSecond > 0
                ? locale.formattedDataSize(row.bytesPerSecond) + QStringLiteral("/s")
                : QString();
        case Reason:
            return row.reason;
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
            return {};
        return m_captions.at(section);
    }

    // The language's captions.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role) override
    {
        if (orientation != Qt::Horizontal || role != Qt::EditRole || section < 0 || section >= ColumnCount)
            return false;
        m_captions[section] = value.toString();
        emit headerDataChanged(orientation, section, section);
        return true;
    }

private:
    QStringList m_captions{QStringLiteral("File"), QStringLiteral("Size"), QStringLiteral("State"), QStringLiteral("Speed"),
                           QStringLiteral("Reason")};
    const TransferQueue &m_queue;
    QList<TransferQueue::Row> m_rows;
    quint64 m_version = ~quint64(0);
};

TransferListView::TransferListView(const TransferQueue &queue, QWidget *parent)
    : QTreeView(parent), m_model(new TransferListModel(queue, this))
{
    setObjectName(QStringLiteral("TransferList"));
    // It shares its page with the upload list: its own name tells a screen reader which is which.
    setAccessibleName(QStringLiteral("Transfers"));
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setStretchLastSection(true);
    setColumnWidth(TransferListModel::File, 300);
    for (const int column : {TransferListModel::Size, TransferListModel::State, TransferListModel::Speed})
        setColumnWidth(column, 90);
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TransferListView::refresh);
    timer->start(RefreshMs);
    refresh();
}

void TransferListView::refresh()
{
    m_model->refresh();
}
