#pragma once

#include <QString>

#include <optional>

// The TLS certificates the user chose to trust although the system does not, one SHA-256
// fingerprint per host and port, in a file of the settings folder that only the user may read.
// Lines: "host:port fingerprint".
class PinnedCertificates
{
public:
    explicit PinnedCertificates(QString path) : m_path(std::move(path)) {}

    std::optional<QString> find(const QString &host, quint16 port) const;
    // Replaces the host's pin, if any. Throws Error when the file cannot be written.
    void pin(const QString &host, quint16 port, const QString &fingerprint) const;

    const QString &path() const { return m_path; }
    // The file in the settings folder.
    static QString defaultPath();

private:
    QString m_path;
};
