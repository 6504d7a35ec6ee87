#pragma once

#include <QWidget>

class Localisation;
class Prompts;
class QButtonGroup;

// TForm2: the language chooser. A click on a language stores the choice and applies it at once.
class LanguageWindow : public QWidget
{
    Q_OBJECT

public:
    // `mainWindow` is the window whose texts, and whose dialogs' texts, the language sets.
    LanguageWindow(Localisation &localisation, Prompts &prompts, QWidget &mainWindow);

private:
    void choose(const QString &language);

    Localisation &m_localisation;
    Prompts &m_prompts;
    QWidget &m_mainWindow;
    QButtonGroup *m_choices = nullptr;
};
