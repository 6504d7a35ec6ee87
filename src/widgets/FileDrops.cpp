#include "widgets/FileDrops.h"

#include "widgets/CommandRunner.h"

#include <QAbstractScrollArea>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

class FileDropFilter : public QObject
{
public:
    FileDropFilter(QWidget *viewport, Prompts &prompts, std::function<void(const QStringList &)> dropped)
        : QObject(viewport), m_prompts(prompts), m_dropped(std::move(dropped))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (droppedPaths(drag->mimeData()).isEmpty())
                return false;
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QStringList paths = droppedPaths(drop->mimeData());
            if (paths.isEmpty())
                return false;
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            QMetaObject::invokeMethod(
                this, [this, paths] { runCommand(m_prompts, [this, &paths] { m_dropped(paths); }); },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    Prompts &m_prompts;
    std::function<void(const QStringList &)> m_dropped;
};

} // namespace

QStringList droppedPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(QDir::cleanPath(url.toLocalFile())));
    return paths;
}

void acceptFileDrops(QAbstractScrollArea *list, Prompts &prompts, std::function<void(const QStringList &)> dropped)
{
    QWidget *viewport = list->viewport();
    viewport->setAcceptDrops(true);
    viewport->installEventFilter(new FileDropFilter(viewport, prompts, std::move(dropped)));
}
