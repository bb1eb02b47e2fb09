// SPDX-License-Identifier: GPL-2.0-or-later
// With no helper on the bus every call fails at once with "service unknown" and says so: a
// blocking call to whoever listens, a call with a handler to that handler alone.
#include "dbusservice.h"
#include "helperfailure.h"
#include "helperprotocol.h"
#include "testenvironment.h"

#include <QDBusError>
#include <QSignalSpy>
#include <QTest>

class TestHelperAbsent : public QObject
{
    Q_OBJECT

private slots:
    void everyCallReportsUnknownService();
    void handlerAloneHearsItsFailure();
};

void TestHelperAbsent::everyCallReportsUnknownService()
{
    KroAdmin::DbusService service;
    QSignalSpy messages(&service, &KroAdmin::DbusService::showMessage);
    QSignalSpy outputs(&service, &KroAdmin::DbusService::processOutput);
    QVERIFY(service.execSmthWithArgs("sosreport", {"--list-plugins"}) != 0);
    QCOMPARE(service.getDbusErrorAsInt(), int(QDBusError::ServiceUnknown));
    QCOMPARE(service.execSmthDetachedWithArgs("sosreport", {"--batch"}),
             qint64(HelperProtocol::Failed));
    QCOMPARE(service.getDbusErrorAsInt(), int(QDBusError::ServiceUnknown));
    QVERIFY(!service.move("/tmp/kro-sosreport-need-reboot", "/run/kro-sosreport-need-reboot"));
    QCOMPARE(service.getDbusErrorAsInt(), int(QDBusError::ServiceUnknown));
    QCOMPARE(messages.count(), 3);
    QCOMPARE(messages.at(0).at(0).toString(), QString("Error"));
    QCOMPARE(outputs.count(), 0);
}

void TestHelperAbsent::handlerAloneHearsItsFailure()
{
    KroAdmin::DbusService service;
    QSignalSpy messages(&service, &KroAdmin::DbusService::showMessage);
    KroAdmin::HelperReply reply;
    bool answered = false;
    service.protectReport("/tmp/sosreport-x.tar.xz", "key", &service,
                          [&](const KroAdmin::HelperReply &answer) {
                              reply = answer;
                              answered = true;
                          });
    QTRY_VERIFY(answered);
    QVERIFY(!reply.succeeded());
    QCOMPARE(reply.busError, QDBusError::ServiceUnknown);
    QCOMPARE(reply.protocolError, HelperProtocol::Success);
    QVERIFY(KroAdmin::failureText(reply).startsWith(
        QStringLiteral("The system helper is not installed or could not start.\n")));
    QVERIFY(KroAdmin::failureDetails(reply).startsWith(QStringLiteral(
        "The called service is not known.\norg.freedesktop.DBus.Error.ServiceUnknown")));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(service.getDbusErrorAsInt(), 0);
}

KRO_TEST_MAIN(TestHelperAbsent)
#include "tst_helperabsent.moc"
