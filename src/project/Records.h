#pragma once

#include "project/CompactText.h"

#include <QList>
#include <QString>
#include <QStringList>

// The records of the project's lists. Every field is one line of the project file.
// `uid` is not stored: it identifies a record while the program runs, so an edit dialog
// keeps editing its own record however the list is sorted or shrunk meanwhile.

struct DeveloperEntry
{
    QString name, email, note, im, phone, address;
    quint64 uid = 0;

    QStringList fields() const { return {name, email, note, im, phone, address}; }
    static DeveloperEntry fromFields(const QStringList &f) { return {f[0], f[1], f[2], f[3], f[4], f[5]}; }
    static constexpr int kFieldCount = 6;
    bool operator==(const DeveloperEntry &) const = default;
};

struct CopyEntry
{
    QString source, target;
    quint64 uid = 0;

    QStringList fields() const { return {source, target}; }
    static CopyEntry fromFields(const QStringList &f) { return {f[0], f[1]}; }
    static constexpr int kFieldCount = 2;
    bool operator==(const CopyEntry &) const = default;
};

struct UploadEntry
{
    QString source, target, user, password, port;
    quint64 uid = 0;

    QStringList fields() const { return {source, target, user, password, port}; }
    static UploadEntry fromFields(const QStringList &f) { return {f[0], f[1], f[2], f[3], f[4]}; }
    static constexpr int kFieldCount = 5;
    bool operator==(const UploadEntry &) const = default;
};

struct TodoItem
{
    // Codes double as indices into the to-do icon list.
    int status = 11;
    int priority = 5;
    int kind = 0;
    int official = -1;
    // Many items share one version text; the other texts are each item's own.
    QString version;
    CompactText title, description, note;
    quint64 uid = 0;

    static constexpr int kFieldCount = 8;
    bool operator==(const TodoItem &) const = default;
};
