#pragma once

#include <QTreeView>

class TransferQueue;
class TransferListModel;

// The transfer list under the uploads: one row per file a deploy sends, waits to send, leaves
// as it is or removes, with its size, state, speed and, for a failed one, the reason. It
// follows the queue while a run goes on and keeps the last run's rows until the next.
class TransferListView : public QTreeView
{
    Q_OBJECT

public:
    TransferListView(const TransferQueue &queue, QWidget *parent = nullptr);

    // Reads the queue again at once, rather than at the next tick.
    void refresh();

private:
    TransferListModel *m_model;
};
