#include "docs/ui/DocumentBinding.h"

#include <QTextBlock>
#include <QTextDocument>

DocumentBinding::DocumentBinding(Project &project, ProjectList list, QTextDocument *document)
    : QObject(document), m_project(project), m_list(list), m_document(document)
{
    connect(&m_project, &Project::listChanged, this, [this](ProjectList changed) {
        if (changed == m_list && !m_updating)
            showProjectText();
    });
    connect(m_document, &QTextDocument::contentsChanged, this, [this] {
        if (m_updating)
            return;
        m_updating = true;
        const QStringList lines = linesOf(*m_document);
        if (m_list == ProjectList::Description)
            m_project.setDescription(lines);
        else if (m_list == ProjectList::License)
            m_project.setLicense(lines);
        else
            m_project.setNotes(lines);
        // Also a change of formatting alone, which the lines do not show.
        m_project.markModified();
        m_updating = false;
    });
    if (isFormatted()) {
        connect(&m_project, &Project::formattingReplaced, this, &DocumentBinding::showProjectFormatting);
        connect(&m_project, &Project::formattingWanted, this,
                [this] { m_project.keepFormatting(m_list, m_document->toHtml()); });
    }
    showProjectText();
    showProjectFormatting();
}

bool DocumentBinding::isFormatted() const
{
    return m_list == ProjectList::Description || m_list == ProjectList::License;
}

void DocumentBinding::showProjectFormatting()
{
    if (!isFormatted())
        return;
    const DocumentFormatting &formatting = m_project.formatting();
    const QString &html = m_list == ProjectList::License ? formatting.license : formatting.description;
    if (html.isEmpty())
        return;
    // Only where it fits: a project file whose text was edited elsewhere keeps that text.
    QTextDocument formatted;
    formatted.setHtml(html);
    if (linesOf(formatted) != projectLines())
        return;
    m_updating = true;
    m_document->setHtml(html);
    m_updating = false;
}

QStringList DocumentBinding::linesOf(const QTextDocument &document)
{
    if (document.isEmpty())
        return {};
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines += block.text().split(QChar::LineSeparator);
    return lines;
}

const QStringList &DocumentBinding::projectLines() const
{
    const ProjectData &data = m_project.data();
    return m_list == ProjectList::Description ? data.description
           : m_list == ProjectList::License   ? data.license
                                              : data.notes;
}

void DocumentBinding::showProjectText()
{
    m_updating = true;
    m_document->setPlainText(projectLines().join(QLatin1Char('\n')));
    m_updating = false;
}
