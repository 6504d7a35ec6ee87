#pragma once

#include <QString>

// The texts of the zip archive writer's failures, each naming the file and why.
namespace ZipErrors {

QString notFound(const QString &archive);
QString notAnArchive(const QString &archive);
QString notOpen();
QString cannotCreate(const QString &path, const QString &reason);
QString cannotOpen(const QString &path, const QString &reason);
QString cannotRead(const QString &path, const QString &reason);
QString cannotWrite(const QString &path, const QString &reason);
QString nameTooLong(const QString &archive, const QString &entry);
QString entryTooLarge(const QString &entry);

} // namespace ZipErrors
