// SPDX-License-Identifier: GPL-2.0-or-later
// Splitting a report into the volumes of a split zip through the real helper: the volumes are
// listed as one report and hold the report; a link, a bad volume size and a taken name are
// refused, leaving everything as it was.
#include "backstage.h"
#include "dbusservice.h"
#include "helperprotocol.h"
#include "testenvironment.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

const QString Report = QStringLiteral("sosreport-host-2026.tar.xz");

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
}

} // namespace

class TestHelperSplit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void splitReportIsListedWithItsVolumes();
    void refusalsLeaveEverythingAsItWas_data();
    void refusalsLeaveEverythingAsItWas();

private:
    QStringList entries() const
    {
        return QDir(dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    KroAdmin::DbusService *service = nullptr;
    QSignalSpy *messages = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestHelperSplit::init()
{
    service = new KroAdmin::DbusService(this);
    messages = new QSignalSpy(service, &KroAdmin::DbusService::showMessage);
    dir = new QTemporaryDir(KroTest::homePath() + "/split-XXXXXX");
    QVERIFY(dir->isValid());
}

void TestHelperSplit::cleanup()
{
    delete dir;
    delete messages;
    delete service;
}

void TestHelperSplit::splitReportIsListedWithItsVolumes()
{
    const QByteArray contents = randomBytes(5 * 1024 * 1024 / 2);
    writeFile(dir->filePath(Report), contents);
    QVERIFY(service->splitReport(dir->filePath(Report), 1));
    const QString main = dir->filePath("sosreport-host-2026.zip");
    QCOMPARE(entries(), QStringList({"sosreport-host-2026.z01", "sosreport-host-2026.z02",
                                     "sosreport-host-2026.zip"}));
    QMultiMap<QString, QString> volumes;
    QCOMPARE(Backstage().reportFiles({dir->path()}, volumes), QStringList{main});
    QCOMPARE(volumes.values(main).size(), 2);
    QCOMPARE(QFileInfo(main).permissions(),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    // The volumes put together in order are one zip that holds the report under its own name.
    QFile joined(dir->filePath("joined.zip"));
    QVERIFY(joined.open(QIODevice::WriteOnly));
    for (const QString &name : entries()) {
        QFile volume(dir->filePath(name));
        QVERIFY(volume.open(QIODevice::ReadOnly));
        joined.write(volume.readAll());
    }
    joined.close();
    QProcess unzip;
    unzip.start("unzip", {"-p", joined.fileName(), Report});
    QVERIFY(unzip.waitForFinished());
    QVERIFY(unzip.readAllStandardOutput() == contents);
}

void TestHelperSplit::refusalsLeaveEverythingAsItWas_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("volumeMiB");
    QTest::addColumn<QString>("reason");
    QTest::newRow("link") << "link" << 1 << "the report is a symbolic link";
    QTest::newRow("no volume") << "" << 0 << "a volume must hold from 1 to 100 MiB";
    QTest::newRow("huge volume") << "" << 101 << "a volume must hold from 1 to 100 MiB";
    QTest::newRow("name taken") << "taken" << 1 << "sosreport-host-2026.zip exists already";
}

void TestHelperSplit::refusalsLeaveEverythingAsItWas()
{
    QFETCH(QString, kind);
    QFETCH(int, volumeMiB);
    QFETCH(QString, reason);
    writeFile(dir->filePath("real"), "root only");
    if (kind == "link")
        QVERIFY(QFile::link(dir->filePath("real"), dir->filePath(Report)));
    else
        writeFile(dir->filePath(Report), "report");
    if (kind == "taken")
        writeFile(dir->filePath("sosreport-host-2026.zip"), "older");
    const QStringList before = entries();
    QVERIFY(!service->splitReport(dir->filePath(Report), volumeMiB));
    QCOMPARE(messages->count(), 1);
    QVERIFY2(messages->at(0).at(1).toString().contains(reason),
             qPrintable(messages->at(0).at(1).toString()));
    QCOMPARE(entries(), before);
}

KRO_TEST_MAIN(TestHelperSplit)
#include "tst_helpersplit.moc"
