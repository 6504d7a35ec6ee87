#pragma once

class QBoxLayout;
class QDialog;
class QPushButton;

// The foot of the edit dialogs: "Cancel" (BitBtn1) at the left closes the dialog,
// "Save" (BitBtn2) at the right is the default button; the caller connects it.
QPushButton *addSaveCancelButtons(QDialog *dialog, QBoxLayout *layout);
