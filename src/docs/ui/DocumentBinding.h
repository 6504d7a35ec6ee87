#pragma once

#include "project/Project.h"

#include <QObject>

class QTextDocument;

// Keeps an editor's document and one text list of the project (description, licence or notes)
// in step: each paragraph is one line. Formatting stays in the editor; the project keeps text.
class DocumentBinding : public QObject
{
    Q_OBJECT

public:
    DocumentBinding(Project &project, ProjectList list, QTextDocument *document);

    static QStringList linesOf(const QTextDocument &document);

private:
    void showProjectText();
    const QStringList &projectLines() const;

    Project &m_project;
    ProjectList m_list;
    QTextDocument *m_document;
    bool m_updating = false;
};
