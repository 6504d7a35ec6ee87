#pragma once

#include "project/Project.h"

#include <QObject>

class QTextDocument;

// Keeps an editor's document and one text list of the project (description, licence or notes)
// in step: each paragraph is one line. The formatting of the description and the licence goes
// to the project when it is saved and comes back from a loaded one where it fits the text.
class DocumentBinding : public QObject
{
    Q_OBJECT

public:
    DocumentBinding(Project &project, ProjectList list, QTextDocument *document);

    static QStringList linesOf(const QTextDocument &document);

private:
    void showProjectText();
    void showProjectFormatting();
    bool isFormatted() const;
    const QStringList &projectLines() const;

    Project &m_project;
    ProjectList m_list;
    QTextDocument *m_document;
    bool m_updating = false;
};
