#include "app/ui/ProjectDrops.h"

#include "chores/ChoreRunner.h"
#include "widgets/FileDrops.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QWidget>

namespace {

// The project file among dropped paths, if there is one.
QString droppedProject(const QMimeData *mime)
{
    for (const QString &path : droppedPaths(mime))
        if (path.endsWith(QLatin1String(".dev"), Qt::CaseInsensitive) && QFileInfo(path).isFile())
            return path;
    return {};
}

} // namespace

ProjectDrops::ProjectDrops(QWidget &window, const ChoreRunner &runner, std::function<void(const QString &)> open)
    : QObject(&window), m_runner(runner), m_open(std::move(open))
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool ProjectDrops::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedProject(drop->mimeData());
    if (path.isEmpty() || m_runner.isRunning())
        return QObject::eventFilter(watched, event);
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // Once the drag is over: opening may ask about unsaved changes.
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(this, [this, path] { m_open(path); }, Qt::QueuedConnection);
    return true;
}
