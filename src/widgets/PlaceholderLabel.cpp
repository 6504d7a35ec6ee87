#include "widgets/PlaceholderLabel.h"

PlaceholderLabel::PlaceholderLabel(const QString &placeholder, QWidget *parent) : ElidedLabel(placeholder, parent) {}

void PlaceholderLabel::setPlaceholder(const QString &placeholder)
{
    if (!m_hasOwnText)
        setText(placeholder);
}

void PlaceholderLabel::setOwnText(const QString &text)
{
    m_hasOwnText = true;
    setText(text);
}
