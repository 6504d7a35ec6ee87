#pragma once

#include <QSyntaxHighlighter>

// Shows the links of a document as links while it is typed. The marks live in the layout
// only, so they neither reach the text's formats nor the undo history.
class LinkHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    LinkHighlighter(QTextDocument *document, const QColor &linkColour);

protected:
    void highlightBlock(const QString &text) override;

private:
    QTextCharFormat m_linkFormat;
};
