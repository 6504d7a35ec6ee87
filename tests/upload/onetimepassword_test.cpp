#include "upload/OneTimePassword.h"

#include "project/Error.h"

#include <QtTest>

// The one-time passwords of RFC 2289 against the standard's own test vectors.
class OneTimePasswordTest : public QObject
{
    Q_OBJECT

private slots:
    void key_matchesStandardVectors_data();
    void key_matchesStandardVectors();
    void findChallenge_readsServerPrompts_data();
    void findChallenge_readsServerPrompts();
    void findChallenge_refusesHugeCounts_data();
    void findChallenge_refusesHugeCounts();
};

void OneTimePasswordTest::key_matchesStandardVectors_data()
{
    QTest::addColumn<QCryptographicHash::Algorithm>("hash");
    QTest::addColumn<QString>("passPhrase");
    QTest::addColumn<QString>("seed");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint64>("key");
    QTest::addColumn<QString>("words");
    QTest::newRow("md4 TeSt 0") << QCryptographicHash::Md4 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 0 << Q_UINT64_C(0xD1854218EBBB0B51) << QStringLiteral("ROME MUG FRED SCAN LIVE LACE");
    QTest::newRow("md4 TeSt 1") << QCryptographicHash::Md4 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 1 << Q_UINT64_C(0x63473EF01CD0B444) << QStringLiteral("CARD SAD MINI RYE COL KIN");
    QTest::newRow("md4 TeSt 99") << QCryptographicHash::Md4 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 99 << Q_UINT64_C(0xC5E612776E6C237A) << QStringLiteral("NOTE OUT IBIS SINK NAVE MODE");
    QTest::newRow("md4 alpha1 0") << QCryptographicHash::Md4 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 0 << Q_UINT64_C(0x50076F47EB1ADE4E) << QStringLiteral("AWAY SEN ROOK SALT LICE MAP");
    QTest::newRow("md4 alpha1 1") << QCryptographicHash::Md4 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 1 << Q_UINT64_C(0x65D20D1949B5F7AB) << QStringLiteral("CHEW GRIM WU HANG BUCK SAID");
    QTest::newRow("md4 alpha1 99") << QCryptographicHash::Md4 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 99 << Q_UINT64_C(0xD150C82CCE6F62D1) << QStringLiteral("ROIL FREE COG HUNK WAIT COCA");
    QTest::newRow("md4 correct 0") << QCryptographicHash::Md4 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 0 << Q_UINT64_C(0x849C79D4F6F55388) << QStringLiteral("FOOL STEM DONE TOOL BECK NILE");
    QTest::newRow("md4 correct 1") << QCryptographicHash::Md4 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 1 << Q_UINT64_C(0x8C0992FB250847B1) << QStringLiteral("GIST AMOS MOOT AIDS FOOD SEEM");
    QTest::newRow("md4 correct 99") << QCryptographicHash::Md4 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 99 << Q_UINT64_C(0x3F3BF4B4145FD74B) << QStringLiteral("TAG SLOW NOV MIN WOOL KENO");
    QTest::newRow("md5 TeSt 0") << QCryptographicHash::Md5 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 0 << Q_UINT64_C(0x9E876134D90499DD) << QStringLiteral("INCH SEA ANNE LONG AHEM TOUR");
    QTest::newRow("md5 TeSt 1") << QCryptographicHash::Md5 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 1 << Q_UINT64_C(0x7965E05436F5029F) << QStringLiteral("EASE OIL FUM CURE AWRY AVIS");
    QTest::newRow("md5 TeSt 99") << QCryptographicHash::Md5 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 99 << Q_UINT64_C(0x50FE1962C4965880) << QStringLiteral("BAIL TUFT BITS GANG CHEF THY");
    QTest::newRow("md5 alpha1 0") << QCryptographicHash::Md5 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 0 << Q_UINT64_C(0x87066DD9644BF206) << QStringLiteral("FULL PEW DOWN ONCE MORT ARC");
    QTest::newRow("md5 alpha1 1") << QCryptographicHash::Md5 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 1 << Q_UINT64_C(0x7CD34C1040ADD14B) << QStringLiteral("FACT HOOF AT FIST SITE KENT");
    QTest::newRow("md5 alpha1 99") << QCryptographicHash::Md5 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 99 << Q_UINT64_C(0x5AA37A81F212146C) << QStringLiteral("BODE HOP JAKE STOW JUT RAP");
    QTest::newRow("md5 correct 0") << QCryptographicHash::Md5 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 0 << Q_UINT64_C(0xF205753943DE4CF9) << QStringLiteral("ULAN NEW ARMY FUSE SUIT EYED");
    QTest::newRow("md5 correct 1") << QCryptographicHash::Md5 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 1 << Q_UINT64_C(0xDDCDAC956F234937) << QStringLiteral("SKIM CULT LOB SLAM POE HOWL");
    QTest::newRow("md5 correct 99") << QCryptographicHash::Md5 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 99 << Q_UINT64_C(0xB203E28FA525BE47) << QStringLiteral("LONG IVY JULY AJAR BOND LEE");
    QTest::newRow("sha1 TeSt 0") << QCryptographicHash::Sha1 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 0 << Q_UINT64_C(0xBB9E6AE1979D8FF4) << QStringLiteral("MILT VARY MAST OK SEES WENT");
    QTest::newRow("sha1 TeSt 1") << QCryptographicHash::Sha1 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 1 << Q_UINT64_C(0x63D936639734385B) << QStringLiteral("CART OTTO HIVE ODE VAT NUT");
    QTest::newRow("sha1 TeSt 99") << QCryptographicHash::Sha1 << QStringLiteral("This is a test.") << QStringLiteral("TeSt") << 99 << Q_UINT64_C(0x87FEC7768B73CCF9) << QStringLiteral("GAFF WAIT SKID GIG SKY EYED");
    QTest::newRow("sha1 alpha1 0") << QCryptographicHash::Sha1 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 0 << Q_UINT64_C(0xAD85F658EBE383C9) << QStringLiteral("LEST OR HEEL SCOT ROB SUIT");
    QTest::newRow("sha1 alpha1 1") << QCryptographicHash::Sha1 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 1 << Q_UINT64_C(0xD07CE229B5CF119B) << QStringLiteral("RITE TAKE GELD COST TUNE RECK");
    QTest::newRow("sha1 alpha1 99") << QCryptographicHash::Sha1 << QStringLiteral("AbCdEfGhIjK") << QStringLiteral("alpha1") << 99 << Q_UINT64_C(0x27BC71035AAF3DC6) << QStringLiteral("MAY STAR TIN LYON VEDA STAN");
    QTest::newRow("sha1 correct 0") << QCryptographicHash::Sha1 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 0 << Q_UINT64_C(0xD51F3E99BF8E6F0B) << QStringLiteral("RUST WELT KICK FELL TAIL FRAU");
    QTest::newRow("sha1 correct 1") << QCryptographicHash::Sha1 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 1 << Q_UINT64_C(0x82AEB52D943774E4) << QStringLiteral("FLIT DOSE ALSO MEW DRUM DEFY");
    QTest::newRow("sha1 correct 99") << QCryptographicHash::Sha1 << QStringLiteral("OTP's are good") << QStringLiteral("correct") << 99 << Q_UINT64_C(0x4F296A74FE1567EC) << QStringLiteral("AURA ALOE HURL WING BERG WAIT");
}

void OneTimePasswordTest::key_matchesStandardVectors()
{
    QFETCH(QCryptographicHash::Algorithm, hash);
    QFETCH(QString, passPhrase);
    QFETCH(QString, seed);
    QFETCH(int, count);
    QFETCH(quint64, key);
    QFETCH(QString, words);

    const quint64 computed = OneTimePassword::key(hash, passPhrase, seed, count);
    QCOMPARE(QString::number(computed, 16).toUpper(), QString::number(key, 16).toUpper());
    QCOMPARE(OneTimePassword::sixWords(computed), words);
}

void OneTimePasswordTest::findChallenge_readsServerPrompts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QCryptographicHash::Algorithm>("hash");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("seed");

    QTest::newRow("md5 in a sentence") << QStringLiteral("Response to otp-md5 499 ke1234 required for skey.") << true
                                       << QCryptographicHash::Md5 << 499 << QStringLiteral("ke1234");
    QTest::newRow("md4") << QStringLiteral("otp-md4 17 AbC") << true << QCryptographicHash::Md4 << 17 << QStringLiteral("AbC");
    QTest::newRow("sha1 with extensions") << QStringLiteral("otp-sha1 0 seed42 ext") << true << QCryptographicHash::Sha1 << 0
                                          << QStringLiteral("seed42");
    QTest::newRow("plain password prompt") << QStringLiteral("Password required for bob.") << false
                                           << QCryptographicHash::Md5 << 0 << QString();
    QTest::newRow("unknown hash") << QStringLiteral("otp-sha256 5 seed") << false << QCryptographicHash::Md5 << 0 << QString();
    QTest::newRow("no seed") << QStringLiteral("otp-md5 5") << false << QCryptographicHash::Md5 << 0 << QString();
}

void OneTimePasswordTest::findChallenge_readsServerPrompts()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(QCryptographicHash::Algorithm, hash);
    QFETCH(int, count);
    QFETCH(QString, seed);

    const auto challenge = OneTimePassword::findChallenge(text);
    QCOMPARE(challenge.has_value(), found);
    if (!found)
        return;
    QCOMPARE(challenge->hash, hash);
    QCOMPARE(challenge->count, count);
    QCOMPARE(challenge->seed, seed);
}

void OneTimePasswordTest::findChallenge_refusesHugeCounts_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("refused");

    QTest::newRow("largest taken") << "100000" << false;
    QTest::newRow("minutes of hashing") << "2147483647" << true;
    QTest::newRow("beyond int") << "99999999999" << true;
}

void OneTimePasswordTest::findChallenge_refusesHugeCounts()
{
    QFETCH(QString, count);
    QFETCH(bool, refused);

    try {
        const auto challenge = OneTimePassword::findChallenge(QStringLiteral("otp-md5 %1 seed").arg(count));
        QVERIFY2(!refused, "a huge sequence number was taken");
        QCOMPARE(QString::number(challenge->count), count);
    } catch (const Error &e) {
        QVERIFY2(refused, qPrintable(e.message()));
        QVERIFY2(e.message().contains(count), qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(OneTimePasswordTest)
#include "onetimepassword_test.moc"
