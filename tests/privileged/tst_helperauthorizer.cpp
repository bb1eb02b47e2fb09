// SPDX-License-Identifier: GPL-2.0-or-later
// The helper's polkit checks on a private bus with the polkit stand-in: a check nobody answers
// ends as a refusal when its time is up and frees its place, and a caller never has more than
// its share open.
#include "authorizer.h"
#include "helperprotocol.h"
#include "helpertesting.h"

#include <QDBusConnection>
#include <unistd.h>

class TestHelperAuthorizer : public QObject
{
    Q_OBJECT

private slots:
    void stuckChecksEndAndFreeTheirPlace();
};

void TestHelperAuthorizer::stuckChecksEndAndFreeTheirPlace()
{
    const int timeoutMs = 1000, share = HelperProtocol::ChecksPerCaller;
    Authorizer authorizer(nullptr, timeoutMs);
    const QString caller = QDBusConnection::systemBus().baseService();
    QList<bool> decisions;
    const auto decide = [&decisions](Authorizer::Verdict verdict) {
        decisions << (verdict == Authorizer::Verdict::Allowed);
    };
    standIn("HoldNext", {uint(share)});
    for (int check = 0; check < share; ++check)
        QVERIFY(authorizer.authorize(caller, geteuid(), KRO_REPORT_ACTION, decide));
    QTRY_COMPARE_WITH_TIMEOUT(heldChecks(), uint(share), WaitLimitMs);
    QVERIFY(!authorizer.authorize(caller, geteuid(), KRO_REPORT_ACTION, decide));
    QTRY_COMPARE_WITH_TIMEOUT(decisions.size(), share, WaitLimitMs);
    QVERIFY(!decisions.contains(true));
    // Their places are free again, and polkit, answering now, allows.
    QVERIFY(authorizer.authorize(caller, geteuid(), KRO_REPORT_ACTION, decide));
    QTRY_COMPARE_WITH_TIMEOUT(decisions.size(), share + 1, WaitLimitMs);
    QVERIFY(decisions.last());
    standIn("ReleaseHeld");
}

KRO_TEST_MAIN(TestHelperAuthorizer)
#include "tst_helperauthorizer.moc"
