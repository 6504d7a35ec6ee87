#include "upload/ui/PromptHostTrust.h"

#include "platform/Prompts.h"
#include "upload/ui/WindowThreadQuestion.h"

bool PromptHostTrust::trust(const QString &question, const QString &)
{
    return askOnWindowThread(m_progress, [&prompts = m_prompts, question] { return prompts.question(question); }, false);
}
