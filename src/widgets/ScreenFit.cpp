#include "widgets/ScreenFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The position that keeps a span of `length` inside [first, first + room), as near to `start`
// as it can; a span longer than the room starts at the room's start.
int keptInside(int start, int length, int first, int room)
{
    return std::max(first, std::min(start, first + room - length));
}

} // namespace

void fitOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::screenAt(window->frameGeometry().center());
    if (!screen)
        screen = window->screen();
    if (!screen || window->isMaximized() || window->isFullScreen())
        return;
    const QRect available = screen->availableGeometry();
    // The title bar and borders, known once the window has been shown.
    const QMargins frame(window->geometry().left() - window->frameGeometry().left(),
                         window->geometry().top() - window->frameGeometry().top(),
                         window->frameGeometry().right() - window->geometry().right(),
                         window->frameGeometry().bottom() - window->geometry().bottom());
    const QSize room = available.size().shrunkBy(frame);
    if (const QSize fitting = window->size().boundedTo(room); fitting != window->size())
        window->resize(fitting);
    const QRect outer = window->frameGeometry();
    window->move(keptInside(outer.left(), outer.width(), available.left(), available.width()),
                 keptInside(outer.top(), outer.height(), available.top(), available.height()));
}

bool ScreenFit::eventFilter(QObject *watched, QEvent *event)
{
    // Shown, but not yet on screen: the fit is the first geometry the desktop sees.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        const Qt::WindowType type = widget->windowType();
        // Menus and tooltips place themselves.
        if (widget->isWindow() && type != Qt::Popup && type != Qt::ToolTip)
            fitOnScreen(widget);
    }
    return QObject::eventFilter(watched, event);
}
