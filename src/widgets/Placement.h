#pragma once

#include "widgets/ScreenFit.h"

#include <QWidget>

// Centres a top-level window on the window of its parent, as the to-do windows appear, and
// keeps it on the screen: at a large scale the centred window could reach past its edges.
inline void centreOnParentWindow(QWidget *window)
{
    if (const QWidget *parent = window->parentWidget())
        window->move(parent->window()->frameGeometry().center() - window->rect().center());
    fitOnScreen(window);
}
