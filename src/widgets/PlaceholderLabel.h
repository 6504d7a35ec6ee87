#pragma once

#include "widgets/ElidedLabel.h"

// A label that shows a placeholder (the language's "Project name") until it is given a text of
// its own; from then on a new placeholder changes nothing that shows.
class PlaceholderLabel : public ElidedLabel
{
    Q_OBJECT

public:
    explicit PlaceholderLabel(const QString &placeholder, QWidget *parent = nullptr);

    void setPlaceholder(const QString &placeholder);
    void setOwnText(const QString &text);

private:
    bool m_hasOwnText = false;
};
