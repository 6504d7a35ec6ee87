#pragma once

#include <QAbstractSpinBox>

// The size box of a format tool bar: a number of points, typed and confirmed with Enter or
// stepped by the arrows. It takes any text, so that a wrong one can be reported, not swallowed.
class FontSizeBox : public QAbstractSpinBox
{
    Q_OBJECT

public:
    explicit FontSizeBox(QWidget *parent = nullptr);

    // Shows a size without applying it.
    void showSize(int points);
    // Puts the text in the box and applies it to the selection, as typing it does; the focus
    // stays where it is.
    void enter(const QString &text);

    void stepBy(int steps) override;
    QSize sizeHint() const override;

Q_SIGNALS:
    // byEnterKey: the user typed the size and pressed Enter, and is done with the box.
    void sizeEntered(const QString &text, bool byEnterKey);

protected:
    StepEnabled stepEnabled() const override;

private:
    int steppedFrom() const;

    int m_shown = 10;
};
