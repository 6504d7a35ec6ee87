#include "app/StartOptions.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

// The options Qt's window system reads from the command line, left for it.
const char *const kWindowSystemOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                                     "qwindowgeometry", "qwindowtitle", "qwindowicon", "display",
                                                     "geometry", "style", "stylesheet", "session"};
const char *const kWindowSystemFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void addHidden(QCommandLineParser &parser, const char *name, bool withValue)
{
    QCommandLineOption option(QString::fromLatin1(name));
    if (withValue)
        option.setValueName(QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
}

} // namespace

StartOptions StartOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform xcb", as Qt's own options are written.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Keeps the housekeeping of one software project in one project file and does its chores."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file (.dev) to open."),
                                 QStringLiteral("[PROJECT.dev]"));
    for (const char *name : kWindowSystemOptionsWithValue)
        addHidden(parser, name, true);
    for (const char *name : kWindowSystemFlags)
        addHidden(parser, name, false);

    StartOptions options;
    if (!parser.parse(arguments)) {
        options.action = Action::UsageError;
        options.text = parser.errorText();
    } else if (parser.isSet(help)) {
        options.action = Action::ShowHelp;
        options.text = parser.helpText();
    } else if (parser.isSet(version)) {
        options.action = Action::ShowVersion;
    } else if (const QStringList projects = parser.positionalArguments(); projects.size() > 1) {
        options.action = Action::UsageError;
        options.text = QStringLiteral("One project file at a time; given: %1").arg(projects.join(QLatin1String(", ")));
    } else if (!projects.isEmpty()) {
        options.project = QDir::toNativeSeparators(QFileInfo(projects.first()).absoluteFilePath());
    }
    return options;
}
