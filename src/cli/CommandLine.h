#pragma once

#include "project/Error.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A command line that cannot be run as written: exit status 2, with a hint to --help.
class UsageError : public Error
{
public:
    using Error::Error;
};

// What the user asked for, checked: every option belongs to the command and every value is
// one the command knows.
struct Invocation
{
    enum class Action { Run, ShowHelp, ShowVersion };

    Action action = Action::Run;
    // The help text to show for ShowHelp: the tool's or one command's.
    QString helpText;

    QString projectPath;
    QString command;
    // The word after a command that has several ("move" in "secrets move").
    QString subcommand;
    bool json = false;
    bool dryRun = false;
    // zip and release: SHA256SUMS beside the archives.
    bool checksums = false;
    // clean --delete: past the trash.
    bool deletePermanently = false;
    // To-do status codes from --status; empty when not given.
    QList<int> statuses;
    // html, plain or markdown.
    QString format = QStringLiteral("html");
    // -o FILE; empty for standard output.
    QString outputPath;
    // Fingerprints of servers to trust, from --trust-host.
    QStringList trustedHosts;
    // backup --keep N: the finished backups to keep, 0 for all; without it, the user's setting.
    std::optional<int> keep;
    // upload --jobs N: connections at once for a folder entry; without it, the user's setting.
    std::optional<int> jobs;
};

// trovas-cli PROJECT.dev COMMAND [SUBCOMMAND] [options]
namespace CommandLine {

// The commands in the order the help lists them.
QStringList commandNames();

// Throws UsageError.
Invocation parse(const QStringList &arguments);

} // namespace CommandLine
