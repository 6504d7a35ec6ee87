#pragma once

#include <QWidget>

class QListWidget;

// TInfoForm: the about box, with name, version, logo, links and a slowly scrolling list of credits.
class InfoForm : public QWidget
{
    Q_OBJECT

public:
    explicit InfoForm(QWidget *parent = nullptr);

private:
    void openLink(const QString &link);
    void scrollCredits();

    QListWidget *m_credits;
};
