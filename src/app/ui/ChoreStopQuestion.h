#pragma once

#include <QString>

#include <functional>

class ChoreEndReport;
class ChoreRunner;
class Prompts;

// What a command that ends the open project (Exit, New project, Open project) asks while a
// chore runs, and the stopping of the chore when the user agrees.
class ChoreStopQuestion
{
public:
    // `cancelling` shows that the chore is being stopped.
    ChoreStopQuestion(ChoreRunner &runner, Prompts &prompts, ChoreEndReport &endReport,
                      std::function<void()> cancelling)
        : m_runner(runner), m_prompts(prompts), m_endReport(endReport), m_cancelling(std::move(cancelling))
    {
    }

    // True when no chore runs, or when the user answered yes to `question` and the chore has
    // stopped; its end then shows no box, since the user asked for it. The window stays live
    // meanwhile.
    bool stopFirst(const QString &question);

private:
    ChoreRunner &m_runner;
    Prompts &m_prompts;
    ChoreEndReport &m_endReport;
    std::function<void()> m_cancelling;
    bool m_stopping = false;
};
