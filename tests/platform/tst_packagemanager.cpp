// SPDX-License-Identifier: GPL-2.0-or-later
// The package query against the real dpkg database and against a stand-in dpkg-query that
// reports the states an interrupted or removed installation leaves behind.
#include "packagemanager.h"
#include "testenvironment.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
const QString InstalledPattern = QStringLiteral("ii\\s%1");
}

class TestPackageManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void realDatabase();
    void reportedState_data();
    void reportedState();
    void withoutDpkg();

private:
    void useFakeDpkg(const QByteArray &statusLine);

    QByteArray originalPath;
    QTemporaryDir fakeBin;
};

void TestPackageManager::initTestCase()
{
    originalPath = qgetenv("PATH");
    QVERIFY(fakeBin.isValid());
}

void TestPackageManager::cleanup()
{
    qputenv("PATH", originalPath);
}

void TestPackageManager::realDatabase()
{
    if (QStandardPaths::findExecutable("dpkg-query").isEmpty())
        QSKIP("no dpkg on this system");
    QVERIFY(KroAdmin::PackageManager::isPackageInstalled("dpkg", InstalledPattern));
    QVERIFY(KroAdmin::PackageManager::isPackageInstalled("coreutils", InstalledPattern));
    QVERIFY(!KroAdmin::PackageManager::isPackageInstalled("kro-no-such-package", InstalledPattern));
    // A wildcard must not turn the question into one about other packages.
    QVERIFY(!KroAdmin::PackageManager::isPackageInstalled("dpk*", InstalledPattern));
    QVERIFY(!KroAdmin::PackageManager::isPackageInstalled("--help", InstalledPattern));
}

// Prints the line it is given whatever it is asked, like dpkg-query for that one package.
void TestPackageManager::useFakeDpkg(const QByteArray &statusLine)
{
    const QString script = fakeBin.path() + QStringLiteral("/dpkg-query");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("#!/bin/sh\nprintf '%s\\n' '" + statusLine + "'\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", QFile::encodeName(fakeBin.path()));
}

void TestPackageManager::reportedState_data()
{
    QTest::addColumn<QByteArray>("statusLine");
    QTest::addColumn<QString>("package");
    QTest::addColumn<bool>("installed");
    QTest::newRow("installed") << QByteArray("ii sssd") << "sssd" << true;
    QTest::newRow("removed, configuration left") << QByteArray("rc sssd") << "sssd" << false;
    QTest::newRow("unpacked, not configured") << QByteArray("iU sssd") << "sssd" << false;
    QTest::newRow("half installed") << QByteArray("iH sssd") << "sssd" << false;
    QTest::newRow("reinstall required") << QByteArray("iiRsssd") << "sssd" << false;
    QTest::newRow("never installed") << QByteArray("un sssd") << "sssd" << false;
    QTest::newRow("name with regex characters")
        << QByteArray("ii libstdc++6") << "libstdc++6" << true;
    QTest::newRow("dot is no wildcard") << QByteArray("ii gtk2x0") << "gtk2.0" << false;
}

void TestPackageManager::reportedState()
{
    QFETCH(QByteArray, statusLine);
    QFETCH(QString, package);
    QFETCH(bool, installed);
    useFakeDpkg(statusLine);
    QCOMPARE(KroAdmin::PackageManager::isPackageInstalled(package, InstalledPattern), installed);
}

void TestPackageManager::withoutDpkg()
{
    qputenv("PATH", QFile::encodeName(fakeBin.path() + QStringLiteral("/empty")));
    QVERIFY(!KroAdmin::PackageManager::isPackageInstalled("dpkg", InstalledPattern));
}

KRO_TEST_MAIN(TestPackageManager)
#include "tst_packagemanager.moc"
