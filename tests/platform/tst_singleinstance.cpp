// SPDX-License-Identifier: GPL-2.0-or-later
// Runs the single-instance probe as real processes: a first copy, a second one that must give
// way, a first copy that crashed and one that hangs.
#include "testenvironment.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <signal.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondStartRaisesFirstWindow();
    void socketIsPrivate();
    void crashedFirstCopyDoesNotBlockStart();
    void hungFirstCopyDoesNotHoldUpSecondStart();

private:
    std::unique_ptr<QProcess> startProbe();
    std::unique_ptr<QProcess> startFirstCopy();
    int runSecondCopy();
    void verifySecondCopyRaises(QProcess *first);

    std::unique_ptr<QTemporaryDir> runtimeDir;
    std::vector<std::unique_ptr<QProcess>> probes;
};

void TestSingleInstance::init()
{
    // A runtime directory of our own keeps the test apart from a copy the user runs.
    runtimeDir = std::make_unique<QTemporaryDir>();
    QVERIFY(runtimeDir->isValid());
}

void TestSingleInstance::cleanup()
{
    for (const auto &probe : probes) {
        ::kill(pid_t(probe->processId()), SIGCONT);
        probe->kill();
        probe->waitForFinished();
    }
    probes.clear();
    runtimeDir.reset();
}

std::unique_ptr<QProcess> TestSingleInstance::startProbe()
{
    auto probe = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir->path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe->setProcessEnvironment(environment);
    probe->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe->start(QStringLiteral(KRO_PROBE), QStringList());
    return probe;
}

std::unique_ptr<QProcess> TestSingleInstance::startFirstCopy()
{
    auto probe = startProbe();
    QProcess *process = probe.get();
    const bool ready = QTest::qWaitFor(
        [process] { return process->readAllStandardOutput().contains("ready"); }, 30000);
    return ready ? std::move(probe) : nullptr;
}

// The second copy gives up on a first copy that does not answer after its own 5 s; the wait
// here only keeps a copy that never ends from holding up the whole run.
int TestSingleInstance::runSecondCopy()
{
    auto second = startProbe();
    if (!second->waitForFinished(60000))
        return -1000;
    return second->exitStatus() == QProcess::NormalExit ? second->exitCode() : -1001;
}

void TestSingleInstance::verifySecondCopyRaises(QProcess *first)
{
    QCOMPARE(runSecondCopy(), 255);
    QByteArray output;
    QVERIFY(QTest::qWaitFor(
        [&] {
            output += first->readAllStandardOutput();
            return output.contains("activated");
        },
        30000));
    QVERIFY(output.contains("message raise\n"));
    QVERIFY(output.contains("activated minimized=0\n"));
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleInstance::secondStartRaisesFirstWindow()
{
    probes.push_back(startFirstCopy());
    QVERIFY(probes.back());
    verifySecondCopyRaises(probes.back().get());
}

void TestSingleInstance::socketIsPrivate()
{
    probes.push_back(startFirstCopy());
    QVERIFY(probes.back());
    const QFileInfoList sockets = QDir(runtimeDir->path()).entryInfoList(QDir::System);
    QCOMPARE(sockets.size(), 1);
    QCOMPARE(sockets.first().permissions() &
                 ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser | QFile::ReadOwner |
                   QFile::WriteOwner | QFile::ExeOwner),
             QFile::Permissions());
}

void TestSingleInstance::crashedFirstCopyDoesNotBlockStart()
{
    std::unique_ptr<QProcess> crashed = startFirstCopy();
    QVERIFY(crashed);
    crashed->kill();
    QVERIFY(crashed->waitForFinished());
    QVERIFY(!QDir(runtimeDir->path()).entryList(QDir::System | QDir::Files).isEmpty());

    probes.push_back(startFirstCopy());
    QVERIFY2(probes.back(), "the start after a crash did not become the first copy");
    verifySecondCopyRaises(probes.back().get());
}

void TestSingleInstance::hungFirstCopyDoesNotHoldUpSecondStart()
{
    probes.push_back(startFirstCopy());
    QProcess *first = probes.back().get();
    QVERIFY(first);
    QCOMPARE(::kill(pid_t(first->processId()), SIGSTOP), 0);

    QCOMPARE(runSecondCopy(), 255);
}

KRO_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
