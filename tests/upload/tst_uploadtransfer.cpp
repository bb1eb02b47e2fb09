// SPDX-License-Identifier: GPL-2.0-or-later
// Uploads with libcurl to real servers on 127.0.0.1: a 100 MiB report arriving whole, a Stop in
// the middle and the upload that goes on from the server's part, a wrong password, a certificate
// nobody trusts, a form posted to a web server, a server that dies while the report is on its
// way, and the rest of a file for a web server that kept a part. The file is made once, random in
// 1 MiB blocks, each block different.
#include "testenvironment.h"
#include "uploadservers.h"
#include "uploadtarget.h"
#include "uploadtransfer.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

namespace {

const qint64 MiB = 1 << 20;
const int ReportMiB = 100;
const QString ReportName = QStringLiteral("sosreport-host-2026-abcdef.tar.xz");
// Stopped or killed once this much is out: in the middle, far from both ends.
const qint64 MiddleBytes = 8 * MiB;

// Whether the server's copy holds exactly the first bytes of the report, all of them when
// whole is set.
bool serverHolds(const QString &report, const QString &copy, bool whole)
{
    QFile ours(report);
    QFile theirs(copy);
    if (!ours.open(QIODevice::ReadOnly) || !theirs.open(QIODevice::ReadOnly) ||
        (whole && ours.size() != theirs.size()) || theirs.size() > ours.size())
        return false;
    while (!theirs.atEnd()) {
        const QByteArray chunk = theirs.read(MiB);
        if (chunk != ours.read(chunk.size()))
            return false;
    }
    return true;
}

} // namespace

class TestUploadTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void targetsFollowTheUrlRules_data();
    void targetsFollowTheUrlRules();
    void wholeReportArrives_data();
    void wholeReportArrives();
    void wrongPasswordIsTold_data();
    void wrongPasswordIsTold();
    void untrustedCertificateSendsNothing();
    void formCarriesTheReport();
    void stopLeavesThePartAndResumeCompletesIt_data();
    void stopLeavesThePartAndResumeCompletesIt();
    void dyingServerIsTold();
    void webServerPartIsCompleted_data();
    void webServerPartIsCompleted();

private:
    UploadRequest request(UploadServers::Server server) const;
    // Runs the upload here; once stopAt bytes are out, calls atStop and then stops the upload
    // unless atStop is given.
    UploadResult upload(const UploadRequest &request, qint64 stopAt = -1,
                        const std::function<void()> &atStop = {});
    void startOrSkip(UploadServers::Server server);

    std::unique_ptr<UploadServers> servers;
    QString report;
    QByteArray reportSha256;
    QString knownHosts;
};

void TestUploadTransfer::initTestCase()
{
    report = KroTest::homePath() + '/' + ReportName;
    QFile file(report);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray block(int(MiB), Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()),
                                          block.size() / 4);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int i = 0; i < ReportMiB; ++i) {
        block.replace(0, sizeof i, reinterpret_cast<const char *>(&i), sizeof i);
        QCOMPARE(file.write(block), block.size());
        hash.addData(block);
    }
    reportSha256 = hash.result().toHex();
    knownHosts = KroTest::homePath() + QStringLiteral("/.ssh/known_hosts");
    servers = std::make_unique<UploadServers>();
}

void TestUploadTransfer::init()
{
    QFile::remove(servers->stored(ReportName));
}

void TestUploadTransfer::targetsFollowTheUrlRules_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("caseId");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("field");
    const QString name = QStringLiteral("sosreport-h-2026.tar.xz");
    QTest::newRow("https folder, case id led")
        << "https://s.example/in"
        << "42 a/b" << 1 << "https://s.example/in/42_a_b-" + name << "";
    QTest::newRow("case id already in the name")
        << "https://s.example/in/"
        << "h" << 1 << "https://s.example/in/" + name << "";
    QTest::newRow("form") << "https://user:pw@s.example/up?t=1#post"
                          << "" << 2 << "https://user@s.example/up?t=1"
                          << "file";
    QTest::newRow("form field") << "https://s.example/up#post=report"
                                << "" << 2 << "https://s.example/up"
                                << "report";
    QTest::newRow("sftp") << "sftp://s.example:2222/~/cases"
                          << "" << 3 << "sftp://s.example:2222/~/cases/" + name << "";
    QTest::newRow("ftps") << "ftps://s.example/"
                          << "" << 4 << "ftps://s.example/" + name << "";
    QTest::newRow("plain http") << "http://s.example/"
                                << "" << 0 << ""
                                << "";
    QTest::newRow("no host") << "sftp:///tmp"
                             << "" << 0 << ""
                             << "";
}

void TestUploadTransfer::targetsFollowTheUrlRules()
{
    QFETCH(QString, server);
    QFETCH(QString, caseId);
    QFETCH(int, method);
    QFETCH(QString, destination);
    QFETCH(QString, field);
    const UploadTarget target = UploadTarget::fromServer(server);
    QCOMPARE(int(target.method()), method);
    if (!target.isValid())
        return;
    const QString name =
        UploadTarget::remoteName(QStringLiteral("sosreport-h-2026.tar.xz"), caseId);
    QCOMPARE(target.destination(name).toString(), destination);
    QCOMPARE(target.formField(), field);
}

UploadRequest TestUploadTransfer::request(UploadServers::Server server) const
{
    UploadRequest request;
    request.file = report;
    request.target = UploadTarget::fromServer(servers->folderUrl(server));
    request.remoteName = ReportName;
    request.user = servers->user();
    request.password = servers->password();
    request.caFile = servers->caFile();
    request.knownHostsFile = knownHosts;
    return request;
}

UploadResult TestUploadTransfer::upload(const UploadRequest &request, qint64 stopAt,
                                        const std::function<void()> &atStop)
{
    UploadTransfer transfer(request, 0);
    qint64 last = -1;
    bool stopped = false;
    const UploadResult result = transfer.run([&](qint64 sent, qint64 total, double) {
        last = sent;
        QCOMPARE(total, qint64(ReportMiB) * MiB);
        if (stopAt >= 0 && sent >= stopAt && !stopped) {
            stopped = true;
            if (atStop)
                atStop();
            else
                transfer.stop();
        }
    });
    if (result.outcome == UploadResult::Outcome::Done)
        [&] {
            QCOMPARE(last, result.size);
        }();
    return result;
}

void TestUploadTransfer::startOrSkip(UploadServers::Server server)
{
    const QString why = servers->start(server);
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    if (server == UploadServers::Sftp && !QFile::exists(knownHosts))
        QVERIFY(servers->trustSftpKey(knownHosts));
}

void TestUploadTransfer::wholeReportArrives_data()
{
    QTest::addColumn<int>("server");
    QTest::newRow("https PUT") << int(UploadServers::Https);
    QTest::newRow("sftp") << int(UploadServers::Sftp);
    QTest::newRow("ftp") << int(UploadServers::Ftp);
}

void TestUploadTransfer::wholeReportArrives()
{
    QFETCH(int, server);
    startOrSkip(UploadServers::Server(server));
    const UploadResult result = upload(request(UploadServers::Server(server)));
    QCOMPARE(int(result.outcome), int(UploadResult::Outcome::Done));
    QCOMPARE(result.size, qint64(ReportMiB) * MiB);
    QCOMPARE(result.resumedAt, qint64(0));
    QCOMPARE(result.sha256, reportSha256);
    QCOMPARE(result.destination, servers->folderUrl(UploadServers::Server(server)) + ReportName);
    QVERIFY(serverHolds(report, servers->stored(ReportName), true));
    if (server == UploadServers::Https)
        QVERIFY2(result.serverAnswer.contains(QStringLiteral("201")),
                 qPrintable(result.serverAnswer));
}

void TestUploadTransfer::wrongPasswordIsTold_data()
{
    wholeReportArrives_data();
}

void TestUploadTransfer::wrongPasswordIsTold()
{
    QFETCH(int, server);
    startOrSkip(UploadServers::Server(server));
    UploadRequest wrong = request(UploadServers::Server(server));
    wrong.password += QLatin1Char('x');
    const UploadResult result = upload(wrong);
    QCOMPARE(int(result.outcome), int(UploadResult::Outcome::WrongPassword));
    QVERIFY(!QFile::exists(servers->stored(ReportName)));
}

void TestUploadTransfer::untrustedCertificateSendsNothing()
{
    startOrSkip(UploadServers::Https);
    UploadRequest untrusted = request(UploadServers::Https);
    untrusted.caFile.clear();
    const UploadResult result = upload(untrusted);
    QCOMPARE(int(result.outcome), int(UploadResult::Outcome::CertificateUntrusted));
    QVERIFY(!QFile::exists(servers->stored(ReportName)));
}

// A multipart form with the report in the field the URL names, under its name on the server.
void TestUploadTransfer::formCarriesTheReport()
{
    startOrSkip(UploadServers::Https);
    if (servers->formUrl().isEmpty())
        QSKIP("nginx's echo module (libnginx-mod-http-echo) is not installed.");
    UploadRequest post = request(UploadServers::Https);
    post.file = KroTest::homePath() + QStringLiteral("/sosreport-form.tar.xz");
    const QByteArray content =
        QByteArray::number(QRandomGenerator::global()->generate64()) + QByteArray(1 << 16, 'r');
    QFile file(post.file);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    post.target = UploadTarget::fromServer(servers->formUrl());
    post.remoteName = QStringLiteral("case-sosreport-form.tar.xz");
    const UploadResult result = UploadTransfer(post).run([](qint64, qint64, double) {});
    QCOMPARE(int(result.outcome), int(UploadResult::Outcome::Done));
    QVERIFY2(result.serverAnswer.startsWith(QStringLiteral("HTTP/1.1 200")) &&
                 result.serverAnswer.endsWith(QStringLiteral("stored")),
             qPrintable(result.serverAnswer));
    const QStringList bodies = servers->posted();
    QCOMPARE(bodies.size(), 1);
    QFile body(bodies.first());
    QVERIFY(body.open(QIODevice::ReadOnly));
    const QByteArray form = body.readAll();
    QVERIFY(form.contains("Content-Disposition: form-data; name=\"report\"; "
                          "filename=\"case-sosreport-form.tar.xz\"\r\n"));
    QVERIFY(form.contains("\r\n\r\n" + content + "\r\n--"));
}

void TestUploadTransfer::stopLeavesThePartAndResumeCompletesIt_data()
{
    wholeReportArrives_data();
}

// SFTP and FTP keep what arrived and append the rest; an HTTP server keeps nothing of a PUT
// that broke off, so the next upload starts from the beginning.
void TestUploadTransfer::stopLeavesThePartAndResumeCompletesIt()
{
    QFETCH(int, server);
    startOrSkip(UploadServers::Server(server));
    UploadRequest first = request(UploadServers::Server(server));
    const UploadResult stopped = upload(first, MiddleBytes);
    QCOMPARE(int(stopped.outcome), int(UploadResult::Outcome::Stopped));
    const QString copy = servers->stored(ReportName);
    // What the server received before the connection closed is in its copy only once the
    // server's side of the connection has ended.
    QVERIFY(servers->waitForSessionsToEnd());
    const qint64 part = QFileInfo(copy).size();
    if (first.target.canResume()) {
        QVERIFY2(part < stopped.size, qPrintable(QString::number(part)));
        QVERIFY(serverHolds(report, copy, false));
    } else {
        // nginx stores a PUT only once the whole body is in.
        QTRY_VERIFY(!QFile::exists(copy));
    }

    first.resume = true;
    const UploadResult resumed = upload(first);
    QCOMPARE(int(resumed.outcome), int(UploadResult::Outcome::Done));
    QCOMPARE(resumed.resumedAt, first.target.canResume() ? part : 0);
    QCOMPARE(resumed.sha256, reportSha256);
    QVERIFY(serverHolds(report, copy, true));
}

// nginx runs as one process here: killed, it takes the connection with it.
void TestUploadTransfer::dyingServerIsTold()
{
    startOrSkip(UploadServers::Https);
    const UploadResult result = upload(request(UploadServers::Https), MiddleBytes,
                                       [this] { servers->kill(UploadServers::Https); });
    QCOMPARE(int(result.outcome), int(UploadResult::Outcome::ConnectionLost));
    QVERIFY(!QFile::exists(servers->stored(ReportName)));
}

void TestUploadTransfer::webServerPartIsCompleted_data()
{
    QTest::addColumn<int>("server");
    QTest::addColumn<bool>("takesTheRest");
    QTest::newRow("nginx") << int(UploadServers::Https) << false;
    QTest::newRow("apache mod_dav") << int(UploadServers::HttpsRanges) << true;
}

// Neither server keeps anything of a PUT that broke off (above); were its copy a part, Apache's
// mod_dav takes the rest with Content-Range, nginx refuses it (501) and gets the whole report.
void TestUploadTransfer::webServerPartIsCompleted()
{
    QFETCH(int, server);
    QFETCH(bool, takesTheRest);
    startOrSkip(UploadServers::Server(server));
    QFile ours(report);
    QFile part(servers->stored(ReportName));
    QVERIFY(ours.open(QIODevice::ReadOnly) && part.open(QIODevice::WriteOnly));
    QCOMPARE(part.write(ours.read(MiddleBytes)), MiddleBytes);
    part.close();
    QVERIFY(QProcess::execute(QStringLiteral("chown"), {servers->user(), part.fileName()}) == 0);
    UploadRequest again = request(UploadServers::Server(server));
    again.resume = true;
    const UploadResult result = upload(again);
    QCOMPARE(int(result.outcome), int(UploadResult::Outcome::Done));
    QCOMPARE(result.restarted, !takesTheRest);
    QCOMPARE(result.resumedAt, takesTheRest ? MiddleBytes : 0);
    QCOMPARE(result.sha256, reportSha256);
    QVERIFY(serverHolds(report, servers->stored(ReportName), true));
}

KRO_TEST_MAIN(TestUploadTransfer)

#include "tst_uploadtransfer.moc"
