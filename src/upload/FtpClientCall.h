#pragma once

#include "project/Error.h"
#include "upload/FtpClient.h"

#include <QPointer>

// Marks one call of the client as running. Its waits service the event loop, so a slot may
// try to use the client again before the call is over, or destroy it.
class FtpClient::Call
{
public:
    explicit Call(FtpClient *client) : m_client(client)
    {
        if (client->m_busy)
            throw Error(QStringLiteral("The FTP client is still busy with another command."));
        client->m_busy = true;
    }
    ~Call()
    {
        if (m_client)
            m_client->m_busy = false;
    }
    Q_DISABLE_COPY_MOVE(Call)

private:
    QPointer<FtpClient> m_client;
};
