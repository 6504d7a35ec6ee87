#pragma once

class QWidget;

// Shows `content` whole wherever there is room for it, and lets it scroll where the screen is
// too small (a small screen at a large scale), so that no field and no button below it is ever
// out of reach. Frameless, in the window's colours: where it fits, it looks as `content` alone.
QWidget *scrollingWhenShort(QWidget *content);
