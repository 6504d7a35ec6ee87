#pragma once

#include <QLabel>

// A one-line label that never asks for the width of its text: where the room is too small,
// it shows the start of the text and "…" (or, eliding in the middle, its start and end), and the
// whole text as its tool tip. A long text thus never widens the window.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(const QString &text, QWidget *parent = nullptr);

    // Keeps a text up to `pixels` wide whole: the label's minimum width is its text's, up to that.
    void setWholeWidth(int pixels) { m_wholeWidth = pixels; }
    // Where the "…" goes: Qt::ElideMiddle keeps a path's file name in sight.
    void setElideMode(Qt::TextElideMode mode) { m_elideMode = mode; }
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QString elidedText() const;

    int m_wholeWidth = 0;
    Qt::TextElideMode m_elideMode = Qt::ElideRight;
};
