#include "chores/ChoreRunner.h"
#include "project/Error.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

class ChoreRunnerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportsProgressFailuresAndLogOnTheOwnersThread();
    void errorEndsTheChoreAndComesBackInTheReport();
    void cancelStopsAtTheNextItem();
    void freshStartForgetsTheStaleChore();
    void destroyingTheRunnerEndsItsWorker();
};

void ChoreRunnerTest::reportsProgressFailuresAndLogOnTheOwnersThread()
{
    ChoreRunner runner;
    QSignalSpy logged(&runner, &ChoreRunner::logged);
    QSignalSpy progressed(&runner, &ChoreRunner::progressed);
    QThread *worker = nullptr;
    const ChoreReport report = runner.run(QStringLiteral("Copying"), [&worker](ChoreProgress &progress) {
        worker = QThread::currentThread();
        progress.setTotal(3);
        for (int i = 0; i < 3; ++i) {
            progress.setStatus(QStringLiteral("file %1").arg(i));
            progress.log(QStringLiteral("line %1").arg(i));
            progress.addDone();
        }
        progress.addFailure(QStringLiteral("/x"), QStringLiteral("Permission denied"));
    });
    QVERIFY(worker != QThread::currentThread());
    QCOMPARE(report.description, QStringLiteral("Copying"));
    QVERIFY(!report.cancelled);
    QVERIFY(!report.error);
    QCOMPARE(report.failures, (QList<ChoreFailure>{{QStringLiteral("/x"), QStringLiteral("Permission denied")}}));
    QVERIFY(!report.succeeded());
    QCOMPARE(logged.count(), 3);
    QCOMPARE(logged.at(0).at(0).toString(), QStringLiteral("line 0"));
    QVERIFY(!progressed.isEmpty());
    const auto last = progressed.last().at(0).value<ChoreProgress::Snapshot>();
    QCOMPARE(last.done, 3);
    QCOMPARE(last.total, 3);
    QCOMPARE(last.status, QStringLiteral("file 2"));
    QVERIFY(!runner.isRunning());
}

void ChoreRunnerTest::errorEndsTheChoreAndComesBackInTheReport()
{
    ChoreRunner runner;
    const ChoreReport report = runner.run(QString(), [](ChoreProgress &) { throw Error(QStringLiteral("disk full")); });
    QVERIFY(report.error);
    QVERIFY(!report.succeeded());
    try {
        report.rethrowError();
        QFAIL("no error");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("disk full"));
    }
}

void ChoreRunnerTest::cancelStopsAtTheNextItem()
{
    ChoreRunner runner;
    QSemaphore begun;
    std::atomic<int> items = 0;
    QSignalSpy finished(&runner, &ChoreRunner::finished);
    runner.start(QString(), [&](ChoreProgress &progress) {
        begun.release();
        for (;;) {
            progress.checkCancelled();
            ++items;
            QThread::msleep(1);
        }
    });
    begun.acquire();
    runner.cancel();
    QVERIFY(finished.wait(5000));
    const auto report = finished.at(0).at(0).value<ChoreReport>();
    QVERIFY(report.cancelled);
    QVERIFY(!report.error);
}

void ChoreRunnerTest::freshStartForgetsTheStaleChore()
{
    ChoreRunner runner;
    QSemaphore begun;
    QStringList ended;
    runner.start(QStringLiteral("stale"), [&begun](ChoreProgress &progress) {
        begun.release();
        while (!progress.isCancelled())
            QThread::msleep(1);
    }, [&ended](const ChoreReport &report) { ended << report.description; });
    begun.acquire();
    const ChoreReport report = runner.run(QStringLiteral("fresh"), [](ChoreProgress &) {});
    QCOMPARE(report.description, QStringLiteral("fresh"));
    QTest::qWait(50);
    QCOMPARE(ended, QStringList());
}

void ChoreRunnerTest::destroyingTheRunnerEndsItsWorker()
{
    std::atomic<bool> stopped = false;
    QSemaphore begun;
    {
        ChoreRunner runner;
        runner.start(QString(), [&](ChoreProgress &progress) {
            begun.release();
            while (!progress.isCancelled())
                QThread::msleep(1);
            stopped = true;
        });
        begun.acquire();
    }
    QVERIFY(stopped);
}

QTEST_GUILESS_MAIN(ChoreRunnerTest)
#include "chore_runner_test.moc"
