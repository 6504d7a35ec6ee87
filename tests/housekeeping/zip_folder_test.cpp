#include "zip/BigFiles.h"

#include "chores/ChoreProgress.h"
#include "housekeeping/FileCopier.h"
#include "housekeeping/ZipFolder.h"
#include "support/TestSupport.h"

#include <QtTest>

#include <atomic>
#include <thread>

class ZipFolderTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &relative) const { return m_dir.filePath(relative); }

private Q_SLOTS:
    // Cancelled while one large file is compressed, the chore ends inside that file: the
    // progress, which counts bytes, stops short of the total, the previous archive is as it
    // was and no temporary archive is left.
    void cancelInsideALargeFile_endsThereAndKeepsThePreviousArchive()
    {
        const qint64 size = qint64(256) << 20;
        writeFile(path("big/small.txt"), "before the large file");
        QVERIFY(writeRandomFile(path("big/large.bin"), size));
        const QByteArray previous = "the previous archive";
        writeFile(path("big.zip"), previous);

        ChoreProgress progress;
        std::atomic<bool> ended = false;
        bool cancelled = false;
        std::thread worker([&] {
            try {
                zipFolder(path("big"), true, progress);
            } catch (const ChoreCancelled &) {
                cancelled = true;
            }
            ended = true;
        });
        while (progress.snapshot().done == 0 && !ended)
            std::this_thread::yield();
        progress.cancel();
        worker.join();

        QVERIFY(cancelled);
        const ChoreProgress::Snapshot left = progress.snapshot();
        QCOMPARE(left.total, size + 21);
        QVERIFY2(left.done < left.total / 2, qPrintable(QString::number(left.done)));
        QCOMPARE(readFile(path("big.zip")), previous);
        QVERIFY(!QFile::exists(temporaryNameFor(path("big.zip"))));
    }
};

QTEST_GUILESS_MAIN(ZipFolderTest)
#include "zip_folder_test.moc"
