// SPDX-License-Identifier: GPL-2.0-or-later
// Reading the collector's output: a real run of sos collect 4.0 (two nodes collected, one down,
// one refusing the key, one without sos) fed as a terminal gives it, in small pieces; the
// questions it asks; the hosts taken from SSH's files; and the options the collector may get.
#include "collectoutput.h"
#include "sosarguments.h"
#include "sshhosts.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using State = CollectOutput::State;
using Failure = CollectOutput::Failure;
Q_DECLARE_METATYPE(CollectOutput::Prompt)

class TestCollectOutput : public QObject
{
    Q_OBJECT

private slots:
    void realRunWithFailures();
    void hostNamesLeadToTheirNodes();
    void questions();
    void sshHosts();
    void collectorOptions();
};

namespace {

// A terminal ends lines with CR LF; the pieces cut lines anywhere.
void feedAsTerminal(CollectOutput &output, QByteArray text, int piece)
{
    text.replace("\n", "\r\n");
    for (int at = 0; at < text.size(); at += piece)
        output.feed(text.mid(at, piece));
}

} // namespace

void TestCollectOutput::realRunWithFailures()
{
    QFile file(QStringLiteral(KRO_COLLECT_DATA "/collect-failures.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    CollectOutput output({"node-a", "node-b", "node-c", "node-d", "node-e"});
    feedAsTerminal(output, file.readAll(), 7);
    output.finish();
    const auto &nodes = output.nodes();
    QCOMPARE(nodes.at(0).state, State::Done);
    QCOMPARE(nodes.at(1).state, State::Done);
    QCOMPARE(nodes.at(2).state, State::Failed);
    QCOMPARE(nodes.at(2).failure, Failure::Unreachable);
    QVERIFY(nodes.at(2).lastLines.join('\n').contains("Connection refused"));
    QCOMPARE(nodes.at(3).failure, Failure::AuthenticationRefused);
    QCOMPARE(nodes.at(4).failure, Failure::SosMissing);
    QCOMPARE(output.archive(),
             QStringLiteral("/tmp/kro-exp/staging/sos-collector-123-2026-12-09-ozskx.tar.xz"));
}

// Given addresses, the collector soon names the nodes by their host names.
void TestCollectOutput::hostNamesLeadToTheirNodes()
{
    CollectOutput output({"10.0.0.7", "web1.example.org"});
    output.feed("Connecting to nodes...\n"
                "[10.0.0.7:_create_ssh_session] Opening SSH session to create control socket\n"
                "[web1.example.org:_create_ssh_session] Opening SSH session to create control "
                "socket\n"
                "[web1:get_hostname] Hostname set to web1\n"
                "[db:get_hostname] Hostname set to db\n"
                "db    : Generating sosreport...\n"
                "web1  : Retrieving sosreport...\n");
    QCOMPARE(output.nodes().at(0).hostName, QStringLiteral("db"));
    QCOMPARE(output.nodes().at(0).state, State::Collecting);
    QCOMPARE(output.nodes().at(1).state, State::Copying);
    output.feed("[db:execute_sos_command] Timeout exceeded\n");
    output.finish();
    QCOMPARE(output.nodes().at(0).failure, Failure::Timeout);
    QCOMPARE(output.nodes().at(1).failure, Failure::Other);
}

void TestCollectOutput::questions()
{
    qRegisterMetaType<CollectOutput::Prompt>();
    CollectOutput output({"a"});
    QSignalSpy asked(&output, &CollectOutput::prompted);
    output.feed("\r\nPress ENTER to continue, or CTRL-C to quit\r\n");
    output.feed("A non-root user has been provided. Provide sudo ");
    output.feed("password for kro on remote nodes: ");
    // More output on the same line asks nothing again.
    output.feed(" ");
    output.feed("\r\nProvide the SSH password for user kro: ");
    QCOMPARE(asked.size(), 3);
    QCOMPARE(asked.at(0).at(0).value<CollectOutput::Prompt>(), CollectOutput::Prompt::Continue);
    QCOMPARE(asked.at(1).at(0).value<CollectOutput::Prompt>(), CollectOutput::Prompt::SudoPassword);
    QCOMPARE(asked.at(2).at(0).value<CollectOutput::Prompt>(), CollectOutput::Prompt::SshPassword);
}

void TestCollectOutput::sshHosts()
{
    QCOMPARE(SshHosts::fromConfig("Host *\n  Port 2222\nHost web1 web2\nhost db !bad* ?x\n"
                                  "  HostName 10.0.0.1\nMatch host x\n"),
             QStringList({"web1", "web2", "db"}));
    QCOMPARE(SshHosts::fromKnownHosts(
                 "web1,10.0.0.2 ssh-ed25519 AAAA\n"
                 "|1|c2FsdA==|aGFzaA== ssh-ed25519 AAAA\n"
                 "[db]:2222 ssh-rsa AAAA\n@cert-authority *.example.org ssh-rsa AAAA\n"
                 "# comment\n-oProxyCommand=x ssh-rsa AAAA\n"),
             QStringList({"web1", "10.0.0.2", "db"}));
}

// -p names profiles to sos report but the SSH port to the collector; neither takes the other's.
void TestCollectOutput::collectorOptions()
{
    using namespace SosArguments;
    QCOMPARE(collectRefusal({Nodes, "web1,10.0.0.2", SshUser, "kro", NoLocal, OnlyPlugins, "date",
                             Since, "20261209", Clean, Verbose, Timeout, "600"}),
             QString());
    QVERIFY(!collectRefusal({Profiles, "network"}).isEmpty());
    QVERIFY(!collectRefusal({Nodes, "web1,-oProxyCommand=x"}).isEmpty());
    QVERIFY(!collectRefusal({Nodes, "a;reboot"}).isEmpty());
    QVERIFY(!collectRefusal({SshUser, "-F"}).isEmpty());
    QVERIFY(!refusal({Nodes, "web1"}).isEmpty());
    QVERIFY(!refusal({NoLocal}).isEmpty());
}

QTEST_GUILESS_MAIN(TestCollectOutput)

#include "tst_collectoutput.moc"
