// What a folder deploy uploads, skips and removes, decided from the local tree, the server's
// state and its listing, without a server.
#include "upload/MirrorPlan.h"
#include "upload/SyncState.h"

#include <QtTest>

namespace {

// "path:size:hash" items separated by blanks; the hash is a short stand-in for a SHA-256.
QList<MirrorFile> filesOf(const QString &spec)
{
    QList<MirrorFile> files;
    for (const QString &item : spec.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(':'));
        files.append({parts.at(0), parts.at(1).toLongLong(), parts.value(2).toLatin1()});
    }
    return files;
}

QList<RemoteFile> listingOf(const QString &spec)
{
    QList<RemoteFile> files;
    for (const MirrorFile &file : filesOf(spec))
        files.append({file.path, file.size});
    return files;
}

// "upload a, skip b, remove c"
QString describe(const MirrorPlan &plan)
{
    static const char *const verbs[] = {"upload", "skip", "remove"};
    QStringList steps;
    for (const MirrorStep &step : plan.steps)
        steps.append(QStringLiteral("%1 %2").arg(QLatin1String(verbs[int(step.action)]), step.path));
    return steps.join(QLatin1String(", "));
}

} // namespace

class MirrorPlanTest : public QObject
{
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void sizes_countWhatMoves();
    void state_roundTrips();
    void damagedState_isNotTrusted_data();
    void damagedState_isNotTrusted();
    void stateAfterRun_keepsWhatTheServerHolds();
};

void MirrorPlanTest::plan_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("state"); // "none" for a server without one
    QTest::addColumn<QString>("listing");
    QTest::addColumn<bool>("removeStale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first run, empty server") << "b:2:y a:1:x" << "none" << "" << false << "upload a, upload b";
    QTest::newRow("state: unchanged skipped, changed and new uploaded")
        << "a:1:x b:2:y2 c:3:z" << "a:1:x b:2:y" << "" << false << "skip a, upload b, upload c";
    QTest::newRow("state: same size, other content") << "a:1:q" << "a:1:x" << "a:1" << false << "upload a";
    QTest::newRow("state wins over the listing") << "a:1:x" << "a:1:x" << "a:7" << false << "skip a";
    QTest::newRow("no state: listing decides by size")
        << "a:1:x b:2:y c:3:z" << "none" << "a:1 b:5 other:9" << false << "skip a, upload b, upload c";
    QTest::newRow("deleted here, kept without the option") << "a:1:x" << "a:1:x gone:4:g" << "" << false << "skip a";
    QTest::newRow("deleted here, removed with the option") << "a:1:x" << "a:1:x gone:4:g" << "" << true << "skip a, remove gone";
    QTest::newRow("a file the state does not list stays")
        << "a:1:x" << "a:1:x" << "a:1 theirs:5" << true << "skip a";
    QTest::newRow("no state removes nothing") << "a:1:x" << "none" << "a:1 old:3" << true << "skip a";
    QTest::newRow("empty state is a state") << "a:1:x" << "" << "a:1" << true << "upload a";
    QTest::newRow("everything gone here") << "" << "d/a:1:x d/b:2:y" << "" << true << "remove d/a, remove d/b";
    QTest::newRow("paths in folders, in order")
        << "z:1:x d/e/f:2:y d/a:3:z" << "none" << "" << false << "upload d/a, upload d/e/f, upload z";
}

void MirrorPlanTest::plan()
{
    QFETCH(QString, local);
    QFETCH(QString, state);
    QFETCH(QString, listing);
    QFETCH(bool, removeStale);
    QFETCH(QString, expected);

    const std::optional<QList<MirrorFile>> held = state == QLatin1String("none") ? std::nullopt : std::optional(filesOf(state));
    QCOMPARE(describe(planMirror(filesOf(local), held, listingOf(listing), removeStale)), expected);
}

void MirrorPlanTest::sizes_countWhatMoves()
{
    const MirrorPlan plan = planMirror(filesOf("a:10:x b:200:y c:3000:z"), filesOf("a:10:x c:5:old gone:7:g"), {}, true);
    QCOMPARE(plan.bytesOf(MirrorAction::Upload), 3200);
    QCOMPARE(plan.bytesOf(MirrorAction::Skip), 10);
    QCOMPARE(plan.bytesOf(MirrorAction::Remove), 7);
    QCOMPARE(plan.stepsOf(MirrorAction::Remove), (QList<MirrorStep>{{MirrorAction::Remove, "gone", 7}}));
}

void MirrorPlanTest::state_roundTrips()
{
    const QList<MirrorFile> files = {{"a b/ä.html", 12, QByteArray(32, 'x')}, {"empty", 0, QByteArray(32, 'y')}};
    QCOMPARE(SyncState::fromJson(SyncState::toJson(files)), std::optional(files));
}

void MirrorPlanTest::damagedState_isNotTrusted_data()
{
    QTest::addColumn<QByteArray>("json");
    const QByteArray hash = QByteArray(32, 'h').toHex();
    const auto withPath = [&](const char *path) {
        return R"({"version":1,"files":[{"path":")" + QByteArray(path) + R"(","size":1,"sha256":")" + hash + R"("}]})";
    };
    QTest::newRow("not JSON") << QByteArray("{\"version\":1,\"files\":[");
    QTest::newRow("cut off") << withPath("a").left(40);
    QTest::newRow("other version") << QByteArray(R"({"version":2,"files":[]})");
    QTest::newRow("no files") << QByteArray(R"({"version":1})");
    QTest::newRow("short hash") << QByteArray(R"({"version":1,"files":[{"path":"a","size":1,"sha256":"abcd"}]})");
    QTest::newRow("negative size") << withPath("a").replace("\"size\":1", "\"size\":-1");
    QTest::newRow("parent folder") << withPath("../outside");
    QTest::newRow("deep parent folder") << withPath("a/../../outside");
    QTest::newRow("absolute") << withPath("/etc/passwd");
    QTest::newRow("empty part") << withPath("a//b");
    QTest::newRow("backslash") << withPath("a\\\\..\\\\b");
}

void MirrorPlanTest::damagedState_isNotTrusted()
{
    QFETCH(QByteArray, json);
    QCOMPARE(SyncState::fromJson(json), std::nullopt);
}

void MirrorPlanTest::stateAfterRun_keepsWhatTheServerHolds()
{
    const QList<MirrorFile> before = filesOf("changed:1:old failed:2:old gone:3:g kept:4:k");
    const QList<MirrorFile> local = filesOf("changed:5:new failed:6:new fresh:7:f kept:4:k");
    const QList<MirrorFile> after = SyncState::afterRun(before, local, {"changed", "fresh", "kept"}, {"gone"});
    QCOMPARE(after, filesOf("changed:5:new failed:2:old fresh:7:f kept:4:k"));
}

QTEST_GUILESS_MAIN(MirrorPlanTest)
#include "mirrorplan_test.moc"
