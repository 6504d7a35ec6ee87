#include "app/ui/ChoreEndPrompts.h"

#include "app/ui/DesktopNotifier.h"

#include <QColor>

void ChoreEndPrompts::finishAnnouncement()
{
    announce(QString());
}

void ChoreEndPrompts::message(const QString &text)
{
    announce(text);
    m_prompts.message(text);
}

void ChoreEndPrompts::error(const QString &text)
{
    announce(text);
    m_prompts.error(text);
}

void ChoreEndPrompts::warning(const QString &text)
{
    announce(text);
    m_prompts.warning(text);
}

std::optional<QColor> ChoreEndPrompts::pickColour()
{
    return m_prompts.pickColour();
}

void ChoreEndPrompts::announce(const QString &body)
{
    if (const std::optional<QString> summary = std::exchange(m_summary, std::nullopt))
        DesktopNotifier::notify(*summary, body);
}
