#include "cli/Output.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace Output {

void write(const QString &text)
{
    writeBytes(text.toUtf8());
}

void writeBytes(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void line(const QString &text)
{
    write(text + QLatin1Char('\n'));
}

void json(const QJsonObject &object)
{
    writeBytes(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

void error(const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

bool errorIsTerminal()
{
    return isatty(fileno(stderr));
}

void overwriteErrorLine(const QString &text)
{
    // Carriage return, the text, then clear whatever a longer line left behind.
    const QByteArray bytes = "\r" + text.toUtf8() + "\x1b[K";
    std::fwrite(bytes.constData(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

} // namespace Output
