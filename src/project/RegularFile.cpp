#include "project/RegularFile.h"

#include "project/FileNameBytes.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace RegularFile {

#ifdef Q_OS_UNIX

Opened openForReading(QFile &file, QString &reason)
{
    // Without O_NONBLOCK a pipe would block here; what was opened is then checked, not the
    // name beforehand, which another program may replace in between.
    const int fd = ::open(FileNameBytes::encode(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = qt_error_string(errno);
        return Opened::Failed;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Opened::NotRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        reason = file.errorString();
        return Opened::Failed;
    }
    return Opened::Yes;
}

#else

// Elsewhere the file system holds no pipes, and devices have names of their own.
Opened openForReading(QFile &file, QString &reason)
{
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile())
        return Opened::NotRegular;
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return Opened::Failed;
    }
    return Opened::Yes;
}

#endif

} // namespace RegularFile
