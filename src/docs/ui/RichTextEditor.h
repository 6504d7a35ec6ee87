#pragma once

#include "docs/Links.h"

#include <QTextEdit>

#include <optional>

class Launcher;

// A document editor whose links open with the desktop's program when clicked, with either
// mouse button: pressed and released on the same link.
class RichTextEditor : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichTextEditor(Launcher &launcher, QWidget *parent = nullptr);

    // The link under a point of the viewport, with its start in the document.
    std::optional<Link> linkAt(const QPoint &point) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    Launcher &m_launcher;
    std::optional<Link> m_pressedLink;
};
