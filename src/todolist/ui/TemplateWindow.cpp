#include "todolist/ui/TemplateWindow.h"

TemplateWindow::TemplateWindow(const PageContext &, QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(QStringLiteral("HTML-Template"));
    resize(788, 425);
}
