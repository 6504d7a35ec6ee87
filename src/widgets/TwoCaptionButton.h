#pragma once

#include <QToolButton>

// A button that stays down when pressed and says what pressing it again does: one caption
// while it is up ("Show"), another while it is down ("Hide").
class TwoCaptionButton : public QToolButton
{
    Q_OBJECT

public:
    TwoCaptionButton(const QString &upCaption, const QString &downCaption, QWidget *parent = nullptr);

    void setUpCaption(const QString &caption);
    void setDownCaption(const QString &caption);

private:
    void showCaption();

    QString m_upCaption;
    QString m_downCaption;
};
