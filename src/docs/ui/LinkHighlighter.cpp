#include "docs/ui/LinkHighlighter.h"

#include "docs/Links.h"

LinkHighlighter::LinkHighlighter(QTextDocument *document, const QColor &linkColour)
    : QSyntaxHighlighter(document)
{
    m_linkFormat.setForeground(linkColour);
    m_linkFormat.setFontUnderline(true);
}

void LinkHighlighter::highlightBlock(const QString &text)
{
    for (const Link &link : linksIn(text))
        setFormat(int(link.start), int(link.length), m_linkFormat);
}
