#pragma once

#include <QWidget>

// Centres a top-level window on the window of its parent, as the to-do windows appear.
inline void centreOnParentWindow(QWidget *window)
{
    if (const QWidget *parent = window->parentWidget())
        window->move(parent->window()->frameGeometry().center() - window->rect().center());
}
