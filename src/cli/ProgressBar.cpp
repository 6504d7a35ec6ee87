#include "cli/ProgressBar.h"

#include "chores/ChoreRunner.h"
#include "cli/Output.h"

namespace {

constexpr int kBarWidth = 30;
constexpr int kLineWidth = 79;

} // namespace

ProgressBar::ProgressBar(ChoreRunner &runner, QObject *parent) : QObject(parent)
{
    if (!Output::errorIsTerminal())
        return;
    connect(&runner, &ChoreRunner::progressed, this, &ProgressBar::draw);
    connect(&runner, &ChoreRunner::finished, this, &ProgressBar::clear);
}

void ProgressBar::draw(const ChoreProgress::Snapshot &snapshot)
{
    QString text;
    if (snapshot.total > 0) {
        const qint64 done = std::min(snapshot.done, snapshot.total);
        const int filled = static_cast<int>(done * kBarWidth / snapshot.total);
        text = QStringLiteral("[%1%2] %3/%4 ")
                   .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char(' ')))
                   .arg(done)
                   .arg(snapshot.total);
    }
    text += snapshot.status;
    if (text.size() > kLineWidth)
        text = text.left(kLineWidth - 1) + QChar(0x2026);
    Output::overwriteErrorLine(text);
    m_drawn = true;
}

void ProgressBar::clear()
{
    if (m_drawn)
        Output::overwriteErrorLine(QString());
    m_drawn = false;
}
