#include "widgets/CloseOnEscape.h"

#include <QShortcut>
#include <QWidget>

void closeOnEscape(QWidget *window)
{
    auto *escape = new QShortcut(Qt::Key_Escape, window);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}
