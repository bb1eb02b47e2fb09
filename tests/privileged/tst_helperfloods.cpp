// SPDX-License-Identifier: GPL-2.0-or-later
// No local user silences the helper for the others: while one user floods it with large calls
// or leaves many password prompts open, another user's calls are still answered within
// AnswerLimitMs, and the flood is refused at once beyond the limits of its caller and user.
#include "helperprotocol.h"
#include "helpertesting.h"

#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>
#include <QProcess>
#include <unistd.h>

namespace {

// The claim itself: the other user is served within seconds, not after the flood.
const int AnswerLimitMs = 2000;
// Refused "at once", allowing for busy cores; a silenced helper fails the test here rather
// than when the whole run times out.
const int AtOnceLimitMs = 5 * AnswerLimitMs;

// The flood client run as a local user, with the lines it has printed so far.
class Flood
{
public:
    Flood(const LocalUser &user, int connections, int calls, int inputMiB)
    {
        user.start(
            process, KRO_HELPER_FLOOD,
            {QString::number(connections), QString::number(calls), QString::number(inputMiB)});
    }
    ~Flood()
    {
        process.kill();
        process.waitForFinished();
    }

    int count(const QString &line)
    {
        read();
        return lines.count(line);
    }
    int answers()
    {
        read();
        return lines.size() - lines.count(QStringLiteral("sent"));
    }

private:
    void read()
    {
        process.waitForReadyRead(0);
        while (process.canReadLine())
            lines << QString::fromUtf8(process.readLine()).trimmed();
    }

    QProcess process;
    QStringList lines;
};

} // namespace

class TestHelperFloods : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void largeCallsSilenceNoOne();
    void openPromptsSilenceNoOne();

private:
    // This test's user (root) calls the helper; false, with the test failed, when the answer
    // is wrong or late.
    bool answeredInTime();
};

void TestHelperFloods::init()
{
    if (geteuid() != 0)
        QSKIP("Playing another local user needs root.");
    standIn("SetAllowed", {QStringList{KRO_REPORT_ACTION, KRO_CONFIGURE_ACTION}});
}

void TestHelperFloods::cleanup()
{
    standIn("ReleaseHeld");
}

bool TestHelperFloods::answeredInTime()
{
    QElapsedTimer clock;
    clock.start();
    QDBusPendingCallWatcher call(QDBusConnection::systemBus().asyncCall(
        helperCall(HelperProtocol::ExecMethod, {"true", QStringList(), QByteArray()})));
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(call.isFinished(), AtOnceLimitMs);
        QVERIFY2(!call.isError(), qPrintable(call.error().message()));
        QCOMPARE(call.reply().arguments().value(0).toInt(), 0);
        QVERIFY2(clock.elapsed() < AnswerLimitMs,
                 qPrintable(QStringLiteral("answered after %1 ms").arg(clock.elapsed())));
    }();
    return !QTest::currentTestFailed();
}

// Each call is refused at once for its size, so none is kept and the bus connection keeps
// reading; polkit is not even asked.
void TestHelperFloods::largeCallsSilenceNoOne()
{
    LocalUser mallory("kro-test-mallory");
    standIn("SetAllowedForUser", {mallory.uid, QStringList()});
    QVERIFY(answeredInTime()); // the helper is up
    Flood flood(mallory, 1, 3, 24);
    QTRY_COMPARE_WITH_TIMEOUT(flood.count("sent"), 1, WaitLimitMs);
    QElapsedTimer flooding;
    flooding.start();
    do
        QVERIFY(answeredInTime());
    while (flood.answers() < 3 && flooding.elapsed() < WaitLimitMs);
    QTRY_COMPARE_WITH_TIMEOUT(flood.count(HelperProtocol::ArgumentsRefusedError), 3, AtOnceLimitMs);
    QVERIFY(answeredInTime());
}

// Prompts nobody answers: only a few per connection and per user reach polkit, the others are
// refused at once, and the bus never sees more answers awaited than it allows.
void TestHelperFloods::openPromptsSilenceNoOne()
{
    using HelperProtocol::ChecksPerUser;
    const int prompts = 140;
    LocalUser mallory("kro-test-mallory");
    standIn("SetAllowedForUser",
            {mallory.uid, QStringList{KRO_REPORT_ACTION, KRO_CONFIGURE_ACTION}});
    standIn("HoldUser", {mallory.uid});
    QVERIFY(answeredInTime());
    Flood flood(mallory, 2, prompts, 0);
    QTRY_COMPARE_WITH_TIMEOUT(flood.count(HelperProtocol::BusyError), prompts - ChecksPerUser,
                              AtOnceLimitMs);
    QCOMPARE(heldChecks(), uint(ChecksPerUser));
    for (int call = 0; call < 5; ++call)
        QVERIFY(answeredInTime());
    QCOMPARE(flood.answers(), prompts - ChecksPerUser);
    // Answered at last, the held checks let their calls run.
    standIn("ReleaseHeld");
    QTRY_COMPARE_WITH_TIMEOUT(flood.count("answered"), ChecksPerUser, WaitLimitMs);
    QVERIFY(answeredInTime());
}

KRO_TEST_MAIN(TestHelperFloods)
#include "tst_helperfloods.moc"
