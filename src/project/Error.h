#pragma once

#include <QString>
#include <exception>

// The one exception type of the core: a message for the user that names what failed and why.
// Commands throw it; the UI's command wrapper shows it in a message box.
class Error : public std::exception
{
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
