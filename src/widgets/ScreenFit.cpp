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

QMargins frameOf(const QWidget *window)
{
    return {window->geometry().left() - window->frameGeometry().left(),
            window->geometry().top() - window->frameGeometry().top(),
            window->frameGeometry().right() - window->geometry().right(),
            window->frameGeometry().bottom() - window->geometry().bottom()};
}

// The title bar and borders the desktop draws around the window: known once it has been shown;
// before that, those of its parent's window, which the same desktop decorates alike.
QMargins expectedFrameOf(const QWidget *window)
{
    for (const QWidget *known = window; known; known = known->parentWidget() ? known->parentWidget()->window() : nullptr)
        if (const QMargins frame = frameOf(known); !frame.isNull())
            return frame;
    return {};
}

} // namespace

void fitOnScreen(QWidget *window, ScreenFitting fitting)
{
    const QScreen *screen = QGuiApplication::screenAt(window->frameGeometry().center());
    if (!screen)
        screen = window->screen();
    if (!screen || window->isMaximized() || window->isFullScreen())
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = expectedFrameOf(window);
    const QSize room = available.size().shrunkBy(frame);
    if (const QSize fitted = window->size().boundedTo(room); fitted != window->size())
        window->resize(fitted);
    if (fitting == ScreenFitting::SizeOnly)
        return;
    const QRect outer = window->geometry().marginsAdded(frame);
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
        // A window never placed is placed as it appears, and on screen: a dialog over its
        // parent, any other by the window manager. Moving it here would keep it where it was
        // made, in the screen's corner.
        if (widget->isWindow() && type != Qt::Popup && type != Qt::ToolTip)
            fitOnScreen(widget, widget->testAttribute(Qt::WA_Moved) ? ScreenFitting::SizeAndPlace : ScreenFitting::SizeOnly);
    }
    return QObject::eventFilter(watched, event);
}
