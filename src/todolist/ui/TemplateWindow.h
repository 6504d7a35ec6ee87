#pragma once

#include <QWidget>

struct PageContext;

// TForm8: the changelog templates and what a changelog includes.
class TemplateWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TemplateWindow(const PageContext &context, QWidget *parent = nullptr);
};
