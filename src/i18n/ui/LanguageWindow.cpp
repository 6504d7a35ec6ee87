#include "i18n/ui/LanguageWindow.h"

#include "widgets/CommandRunner.h"
#include "i18n/Localisation.h"
#include "i18n/ui/LanguageApplier.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

LanguageWindow::LanguageWindow(Localisation &localisation, Prompts &prompts, QWidget &mainWindow)
    : QWidget(&mainWindow, Qt::Window), m_localisation(localisation), m_prompts(prompts), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Language"));

    auto *group = new QGroupBox(QStringLiteral("Language"));
    group->setObjectName(QStringLiteral("RadioGroup1"));
    auto *choices = new QVBoxLayout(group);
    m_choices = new QButtonGroup(this);
    // Nothing is selected: the window does not say which language is active.
    for (const QString &language : m_localisation.languages()) {
        auto *choice = new QRadioButton(QString(language).replace(QLatin1Char('&'), QStringLiteral("&&")), group);
        choice->setObjectName(language);
        m_choices->addButton(choice);
        choices->addWidget(choice);
    }
    choices->addStretch(1);
    connect(m_choices, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton *choice) { choose(choice->objectName()); });

    // Many languages scroll rather than grow the window.
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(group);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // The choices take the focus, not the area around them.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    resize(468, 250);
}

void LanguageWindow::choose(const QString &language)
{
    // Stored first: a choice that cannot be stored applies nothing.
    runCommand(m_prompts, [this, &language] {
        m_localisation.choose(language);
        loadAndApplyLanguage(m_localisation, m_mainWindow);
    });
}
