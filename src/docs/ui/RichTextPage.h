#pragma once

#include "project/Project.h"

#include <QWidget>

struct PageContext;

// TabSheet2 and TabSheet5: the description or the licence in a rich-text editor under its
// formatting tool bar. The project keeps the text; the formatting stays in the editor.
class RichTextPage : public QWidget
{
    Q_OBJECT

public:
    // list is ProjectList::Description or ProjectList::License.
    RichTextPage(const PageContext &context, ProjectList list, QWidget *parent = nullptr);
};
