#pragma once

#include <QObject>

class QWidget;

enum class ScreenFitting { SizeAndPlace, SizeOnly };

// Shrinks a top-level window that is larger than the free area of its screen (beside the
// desktop's panels) to that area, and moves it inside, so no part of it lies off screen; at a
// large scale the windows' usual sizes can exceed a small screen.
void fitOnScreen(QWidget *window, ScreenFitting fitting = ScreenFitting::SizeAndPlace);

// Fits every window the application shows on its screen as it appears. Installed on the
// application object.
class ScreenFit : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
