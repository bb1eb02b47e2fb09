// SPDX-License-Identifier: GPL-2.0-or-later
// With no helper on the bus every call fails at once with "service unknown" and says so.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "testenvironment.h"

#include <QDBusError>
#include <QSignalSpy>

class TestHelperAbsent : public QObject
{
    Q_OBJECT

private slots:
    void everyCallReportsUnknownService();
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

KRO_TEST_MAIN(TestHelperAbsent)
#include "tst_helperabsent.moc"
