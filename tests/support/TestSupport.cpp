#include "support/TestSupport.h"

#include "project/Error.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#endif

std::optional<QString> ScriptedPrompts::next()
{
    if (answers.empty())
        return std::nullopt;
    const bool answered = answers.front().has_value();
    const QString text = answers.front().value_or(QString());
    answers.pop_front();
    return answered ? std::optional(text) : std::nullopt;
}

SaveChoice ScriptedPrompts::saveChanges(const QString &text)
{
    questions.append(text);
    const QString answer = next().value_or(QString());
    return answer == QLatin1String("save")      ? SaveChoice::Save
           : answer == QLatin1String("discard") ? SaveChoice::Discard
                                                : SaveChoice::Cancel;
}

std::optional<QColor> ScriptedPrompts::pickColour()
{
    const std::optional<QString> name = next();
    return name ? std::optional(QColor(*name)) : std::nullopt;
}

void RecordingLauncher::open(const QString &target)
{
    if (unopenable.contains(target))
        throw Error(QStringLiteral("Cannot open %1: no program is set up to open it.").arg(target));
    opened.append(target);
}

bool waitForListing(TempFiles &tempFiles)
{
    return QTest::qWaitFor([&tempFiles] { return !tempFiles.isListing(); }, 10'000);
}

IsolatedHome::IsolatedHome()
{
    qputenv("HOME", m_dir.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
    // Where the trash is.
    qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toLocal8Bit());
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

bool writeAllocatedFile(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
#ifdef Q_OS_UNIX
    return ::posix_fallocate(file.handle(), 0, off_t(size)) == 0;
#else
    return file.resize(size);
#endif
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString errorOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const Error &error) {
        return error.message();
    }
    return {};
}
