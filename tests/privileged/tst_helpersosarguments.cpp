// SPDX-License-Identifier: GPL-2.0-or-later
// The sos options the helper passes under the report permission: everything the window sends
// passes, with the values users type; whatever could make sos run, read or send elsewhere, and
// anything unknown or malformed, is refused.
#include "helpertesting.h"
#include "sosarguments.h"
#include "testenvironment.h"

#include <QObject>

class TestHelperSosArguments : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
};

void TestHelperSosArguments::accepted_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("plugin listing") << QStringList{"--list-plugins"};
    QTest::newRow("plugin listing, short") << QStringList{"-l"};
    QTest::newRow("everything the window offers") << HelperTesting::offeredOptions("/var/tmp/");
    QTest::newRow("day only") << QStringList{"--since", "20261201"};
    QTest::newRow("names joined") << QStringList{"-o", "apt,kernel", "-n", "docker", "-e", "lvm2"};
    QTest::newRow("plugin option") << QStringList{"-k", "logs.log_days=3"};
    QTest::newRow("numbers") << QStringList{"--threads", "4",          "--plugin-timeout",
                                            "300",       "--log-size", "0"};
    QTest::newRow("label in other letters") << QStringList{"--label", QString::fromUtf8("отчёт 1")};
    QTest::newRow("short forms") << QStringList{"-a", "-z", "gzip", "--mask"};
}

void TestHelperSosArguments::accepted()
{
    QFETCH(QStringList, arguments);
    QCOMPARE(SosArguments::refusal(arguments), QString());
}

void TestHelperSosArguments::refused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("refusal");
    const QString unknown = QStringLiteral("sos does not get the option \"%1\" from this helper");
    const QString badValue = QStringLiteral("the value \"%1\" is refused for the option %2");
    for (const char *option : {"--sysroot", "-s", "--chroot", "--upload", "--upload-url",
                               "--upload-pass", "--config-file", "--debug", "--encrypt-pass",
                               "--encrypt-key", "--tmp", "--tmp-dir=/tmp", "report", "-ko"})
        QTest::newRow(option) << QStringList{"--batch", option, "/tmp/x"}
                              << unknown.arg(QString::fromLatin1(option));
    QTest::newRow("root and chroot after good options")
        << QStringList{"--batch", "-o", "date", "--sysroot", "/tmp/d", "--chroot", "always"}
        << unknown.arg("--sysroot");
    QTest::newRow("a value that is an option") << QStringList{"--case-id", "--sysroot=/tmp/d"}
                                               << badValue.arg("--sysroot=/tmp/d", "--case-id");
    QTest::newRow("missing value") << QStringList{"-o"} << "the option -o lacks its value";
    QTest::newRow("plugin with a line break")
        << QStringList{"-o", "x\n"} << badValue.arg("x?", "-o");
    QTest::newRow("plugin with a slash") << QStringList{"-o", "../x"} << badValue.arg("../x", "-o");
    QTest::newRow("empty plugin in a list")
        << QStringList{"-o", "a,,b"} << badValue.arg("a,,b", "-o");
    QTest::newRow("profile with a space") << QStringList{"-p", "a b"} << badValue.arg("a b", "-p");
    QTest::newRow("label with a line break")
        << QStringList{"--label", "a\nb"} << badValue.arg("a?b", "--label");
    QTest::newRow("long case id") << QStringList{"--case-id", QString(129, 'x')}
                                  << badValue.arg(QString(64, 'x') + "...", "--case-id");
    QTest::newRow("relative folder")
        << QStringList{"--tmp-dir", "tmp"} << badValue.arg("tmp", "--tmp-dir");
    QTest::newRow("folder climbing")
        << QStringList{"--tmp-dir", "/tmp/../etc"} << badValue.arg("/tmp/../etc", "--tmp-dir");
    QTest::newRow("no date") << QStringList{"--since", "20261301"}
                             << badValue.arg("20261301", "--since");
    QTest::newRow("date with words")
        << QStringList{"--since", "yesterday"} << badValue.arg("yesterday", "--since");
    QTest::newRow("unknown compression")
        << QStringList{"-z", "bzip2"} << badValue.arg("bzip2", "-z");
    QTest::newRow("no threads") << QStringList{"--threads", "0"} << badValue.arg("0", "--threads");
    QTest::newRow("negative size")
        << QStringList{"--log-size", "-1"} << badValue.arg("-1", "--log-size");
    QTest::newRow("plugin option with a path")
        << QStringList{"-k", "a.b=/bin/sh"} << badValue.arg("a.b=/bin/sh", "-k");
}

void TestHelperSosArguments::refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, refusal);
    QCOMPARE(SosArguments::refusal(arguments), refusal);
}

KRO_TEST_MAIN(TestHelperSosArguments)
#include "tst_helpersosarguments.moc"
