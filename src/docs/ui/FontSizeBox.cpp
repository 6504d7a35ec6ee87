#include "docs/ui/FontSizeBox.h"

#include "docs/FontSize.h"

#include <QLineEdit>

#include <algorithm>

namespace {

// The range of the arrows; a larger size can still be typed.
constexpr int lowestStep = FontSize::smallest;
constexpr int highestStep = 100;

} // namespace

FontSizeBox::FontSizeBox(QWidget *parent) : QAbstractSpinBox(parent)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    lineEdit()->setText(QString::number(m_shown));
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] { emit sizeEntered(text(), true); });
}

void FontSizeBox::showSize(int points)
{
    m_shown = points;
    lineEdit()->setText(QString::number(points));
    update(); // the arrows' enabled state follows the number
}

void FontSizeBox::enter(const QString &text)
{
    lineEdit()->setText(text);
    emit sizeEntered(text, false);
}

void FontSizeBox::stepBy(int steps)
{
    enter(QString::number(std::clamp(steppedFrom() + steps, lowestStep, highestStep)));
}

// The number in the box, or while it holds none, the size shown last.
int FontSizeBox::steppedFrom() const
{
    bool ok = false;
    const int typed = text().trimmed().toInt(&ok, 10);
    return ok ? typed : m_shown;
}

QAbstractSpinBox::StepEnabled FontSizeBox::stepEnabled() const
{
    const int points = steppedFrom();
    StepEnabled enabled = StepNone;
    if (points < highestStep)
        enabled |= StepUpEnabled;
    if (points > lowestStep)
        enabled |= StepDownEnabled;
    return enabled;
}

QSize FontSizeBox::sizeHint() const
{
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.rwidth() += fontMetrics().horizontalAdvance(QStringLiteral("0000"));
    return hint;
}
