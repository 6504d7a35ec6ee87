#pragma once

class QWidget;

// Escape closes `window`, as it closes a dialog.
void closeOnEscape(QWidget *window);
