#include "upload/Keyring.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutex>
#include <QThread>
#include <qt6keychain/keychain.h>

#include <functional>
#include <memory>

namespace {

const QString kService = QStringLiteral("Trovas");
// A key nothing is ever kept under: reading it tells whether the keyring answers at all.
const QString kProbeKey = QStringLiteral("Trovas keyring check");

// The library runs one request at a time and starts the next from the thread it first served,
// so every request is made on one thread that does nothing else and always runs its event loop.
class KeyringThread
{
public:
    static QObject *context()
    {
        static KeyringThread *instance = [] {
            auto *created = new KeyringThread;
            qAddPostRoutine(&KeyringThread::stop);
            return created;
        }();
        return &instance->m_context;
    }

private:
    KeyringThread()
    {
        m_thread.setObjectName(QStringLiteral("Keyring"));
        m_context.moveToThread(&m_thread);
        m_thread.start();
    }

    // With the application, so the thread never outlives what it needs.
    static void stop()
    {
        auto *thread = static_cast<QThread *>(context()->thread());
        thread->quit();
        thread->wait();
    }

    QThread m_thread;
    QObject m_context;
};

// One request's answer: filled in on the keyring's thread, read by the caller.
struct Answer
{
    QMutex mutex;
    bool done = false;
    QKeychain::Error error = QKeychain::NoError;
    QString errorText;
    QString password;
};

using MakeJob = std::function<QKeychain::Job *()>;

std::shared_ptr<Answer> ask(MakeJob makeJob)
{
    auto answer = std::make_shared<Answer>();
    QEventLoop waiter;
    QMetaObject::invokeMethod(
        KeyringThread::context(),
        [answer, makeJob = std::move(makeJob), waiter = &waiter] {
            QKeychain::Job *job = makeJob();
            QObject::connect(job, &QKeychain::Job::finished, [answer, waiter](QKeychain::Job *finished) {
                const QMutexLocker lock(&answer->mutex);
                answer->error = finished->error();
                answer->errorText = finished->errorString();
                if (auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(finished))
                    answer->password = read->textData();
                answer->done = true;
                // The waiter lives until it has seen `done`.
                QMetaObject::invokeMethod(waiter, &QEventLoop::quit, Qt::QueuedConnection);
            });
            job->start();
        },
        Qt::QueuedConnection);
    const auto done = [&answer] {
        const QMutexLocker lock(&answer->mutex);
        return answer->done;
    };
    // The application quitting ends every loop of its thread; the answer is still awaited.
    while (!done())
        waiter.exec(QEventLoop::ExcludeUserInputEvents);
    return answer;
}

QMutex &writeFailureMutex()
{
    static QMutex mutex;
    return mutex;
}

QString &writeFailure()
{
    static QString why;
    return why;
}

KeyringError failure(const Answer &answer)
{
    if (answer.error == QKeychain::NoBackendAvailable)
        return KeyringError(QStringLiteral("No system keyring is running (%1).").arg(answer.errorText));
    if (answer.error == QKeychain::AccessDeniedByUser)
        return KeyringError(QStringLiteral("The system keyring stayed locked."));
    return KeyringError(QStringLiteral("The system keyring refused: %1").arg(answer.errorText));
}

std::shared_ptr<Answer> readAnswer(const QString &key)
{
    return ask([key] {
        auto *job = new QKeychain::ReadPasswordJob(kService);
        job->setKey(key);
        return job;
    });
}

} // namespace

namespace Keyring {

std::optional<QString> read(const QString &key)
{
    const std::shared_ptr<Answer> answer = readAnswer(key);
    if (answer->error == QKeychain::EntryNotFound)
        return std::nullopt;
    if (answer->error != QKeychain::NoError)
        throw failure(*answer);
    return answer->password;
}

void write(const QString &key, const QString &password)
{
    const std::shared_ptr<Answer> answer = ask([key, password] {
        auto *job = new QKeychain::WritePasswordJob(kService);
        job->setKey(key);
        job->setTextData(password);
        return job;
    });
    // Reading may pass where the keyring has nowhere to keep a new password; a write that
    // failed says so until one succeeds. Never probed by writing: that can make the desktop
    // ask for a new keyring's password.
    const QMutexLocker lock(&writeFailureMutex());
    if (answer->error != QKeychain::NoError) {
        const KeyringError error = failure(*answer);
        writeFailure() = error.message();
        throw error;
    }
    writeFailure().clear();
}

QString cannotStoreReason()
{
    if (QString unavailable = unavailableReason(); !unavailable.isEmpty())
        return unavailable;
    const QMutexLocker lock(&writeFailureMutex());
    return writeFailure();
}

QString unavailableReason()
{
    const std::shared_ptr<Answer> answer = readAnswer(kProbeKey);
    if (answer->error == QKeychain::NoError || answer->error == QKeychain::EntryNotFound)
        return {};
    return failure(*answer).message();
}

} // namespace Keyring
