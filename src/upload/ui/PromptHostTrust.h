#pragma once

#include "upload/HostTrust.h"

class ChoreProgress;
class Prompts;

// Asks the user in the window whether to trust a server, for a run on the chore's worker: the
// question goes to the window's thread, and the worker waits for the answer, or for a cancel,
// which says no.
class PromptHostTrust : public HostTrust
{
public:
    PromptHostTrust(Prompts &prompts, const ChoreProgress &progress) : m_prompts(prompts), m_progress(progress) {}

    bool trust(const QString &question, const QString &fingerprint) override;

private:
    Prompts &m_prompts;
    const ChoreProgress &m_progress;
};
