#pragma once

#include "project/Error.h"

#include <QStringList>

// A reply whose code the command did not allow: the message is the reply's text.
class FtpReplyError : public Error
{
public:
    FtpReplyError(int code, const QStringList &text) : Error(text.join(QLatin1Char('\n'))), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// The server would not go on at the requested byte (REST refused), so nothing was stored.
class FtpRestartRefused : public FtpReplyError
{
public:
    using FtpReplyError::FtpReplyError;
};
