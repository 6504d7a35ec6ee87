#include "widgets/NamedPage.h"

#include <QVBoxLayout>
#include <QWidget>

QWidget *namedPage(const char *name, QWidget *content)
{
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return page;
}
