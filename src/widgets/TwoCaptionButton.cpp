#include "widgets/TwoCaptionButton.h"

TwoCaptionButton::TwoCaptionButton(const QString &upCaption, const QString &downCaption, QWidget *parent)
    : QToolButton(parent), m_upCaption(upCaption), m_downCaption(downCaption)
{
    setCheckable(true);
    connect(this, &QToolButton::toggled, this, &TwoCaptionButton::showCaption);
    showCaption();
}

void TwoCaptionButton::setUpCaption(const QString &caption)
{
    m_upCaption = caption;
    showCaption();
}

void TwoCaptionButton::setDownCaption(const QString &caption)
{
    m_downCaption = caption;
    showCaption();
}

void TwoCaptionButton::showCaption()
{
    setText(isChecked() ? m_downCaption : m_upCaption);
}
