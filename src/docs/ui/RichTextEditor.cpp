#include "docs/ui/RichTextEditor.h"

#include "docs/ui/LinkHighlighter.h"
#include "platform/Launcher.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include <utility>

RichTextEditor::RichTextEditor(Launcher &launcher, QWidget *parent) : QTextEdit(parent), m_launcher(launcher)
{
    new LinkHighlighter(document(), palette().color(QPalette::Link));
    viewport()->setMouseTracking(true);
}

std::optional<Link> RichTextEditor::linkAt(const QPoint &point) const
{
    const QPoint inDocument = point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int position = document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
    if (position < 0)
        return std::nullopt;
    const QTextBlock block = document()->findBlock(position);
    const qsizetype offset = position - block.position();
    for (Link link : linksIn(block.text())) {
        if (offset >= link.start && offset < link.start + link.length) {
            link.start += block.position();
            return link;
        }
    }
    return std::nullopt;
}

void RichTextEditor::mousePressEvent(QMouseEvent *event)
{
    m_pressedLink = linkAt(event->position().toPoint());
    QTextEdit::mousePressEvent(event);
}

void RichTextEditor::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    const std::optional<Link> pressed = std::exchange(m_pressedLink, std::nullopt);
    if (pressed && pressed == linkAt(event->position().toPoint()))
        m_launcher.open(pressed->target);
}

void RichTextEditor::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    const bool overLink = event->buttons() == Qt::NoButton && linkAt(event->position().toPoint());
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

// A right click on a link opens the link instead of the menu; the keyboard still gets it.
void RichTextEditor::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse && linkAt(event->pos()))
        return;
    QTextEdit::contextMenuEvent(event);
}
