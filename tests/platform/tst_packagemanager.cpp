// SPDX-License-Identifier: GPL-2.0-or-later
// The package question against the real dpkg database and against a database of its own with
// the states an interrupted or removed installation leaves behind.
#include "packagemanager.h"
#include "testenvironment.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
const QString InstalledPattern = QStringLiteral("ii\\s%1");
}

class TestPackageManager : public QObject
{
    Q_OBJECT

private slots:
    void realDatabase();
    void recordedState_data();
    void recordedState();
};

void TestPackageManager::realDatabase()
{
    using KroAdmin::PackageManager;
    if (!QFile::exists(PackageManager::StatusDatabase))
        QSKIP("no dpkg on this system");
    QVERIFY(PackageManager::isPackageInstalled("dpkg", InstalledPattern));
    QVERIFY(PackageManager::isPackageInstalled("coreutils", InstalledPattern));
    QVERIFY(!PackageManager::isPackageInstalled("kro-no-such-package", InstalledPattern));
    QVERIFY(!PackageManager::isPackageInstalled("dpk*", InstalledPattern));
    QVERIFY(!PackageManager::isPackageInstalled("dpkg", InstalledPattern, "/nonexistent/status"));
}

void TestPackageManager::recordedState_data()
{
    QTest::addColumn<QByteArray>("listed");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QString>("package");
    QTest::addColumn<bool>("installed");
    QTest::newRow("installed") << QByteArray("sssd") << QByteArray("install ok installed") << "sssd"
                               << true;
    QTest::newRow("removed, configuration left")
        << QByteArray("sssd") << QByteArray("deinstall ok config-files") << "sssd" << false;
    QTest::newRow("unpacked, not configured")
        << QByteArray("sssd") << QByteArray("install ok unpacked") << "sssd" << false;
    QTest::newRow("half installed")
        << QByteArray("sssd") << QByteArray("install ok half-installed") << "sssd" << false;
    QTest::newRow("reinstall required")
        << QByteArray("sssd") << QByteArray("install reinstreq installed") << "sssd" << false;
    QTest::newRow("only another package installed")
        << QByteArray("sssd-tools") << QByteArray("install ok installed") << "sssd" << false;
    QTest::newRow("name with regex characters")
        << QByteArray("libstdc++6") << QByteArray("install ok installed") << "libstdc++6" << true;
    QTest::newRow("dot is no wildcard")
        << QByteArray("gtk2x0") << QByteArray("install ok installed") << "gtk2.0" << false;
}

void TestPackageManager::recordedState()
{
    QFETCH(QByteArray, listed);
    QFETCH(QByteArray, status);
    QFETCH(QString, package);
    QFETCH(bool, installed);
    QTemporaryDir dir;
    QFile database(dir.filePath(QStringLiteral("status")));
    QVERIFY(database.open(QIODevice::WriteOnly));
    database.write("Package: sssd-common\nStatus: install ok installed\nDescription: x\n"
                   " Package: sssd\n\nPackage: " +
                   listed + "\nStatus: " + status + "\nArchitecture: amd64\n\n");
    database.close();
    QCOMPARE(KroAdmin::PackageManager::isPackageInstalled(package, InstalledPattern,
                                                          database.fileName()),
             installed);
}

KRO_TEST_MAIN(TestPackageManager)
#include "tst_packagemanager.moc"
