#include "widgets/ElidedLabel.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QtMath>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {}

QSize ElidedLabel::minimumSizeHint() const
{
    // Rounded up: the text is cut where its exact width passes the room.
    const int whole = std::min(qCeil(QFontMetricsF(font()).horizontalAdvance(text())), m_wholeWidth);
    const int margins = contentsMargins().left() + contentsMargins().right();
    return {std::max(fontMetrics().horizontalAdvance(QStringLiteral("…")), whole) + margins,
            QLabel::minimumSizeHint().height()};
}

QString ElidedLabel::elidedText() const
{
    return fontMetrics().elidedText(text(), m_elideMode, contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, elidedText());
}

bool ElidedLabel::event(QEvent *event)
{
    // The whole text, only where it is cut.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (elidedText() != text())
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}
