// SPDX-License-Identifier: GPL-2.0-or-later
// The helper's log names what ran but never the keys given to ccrypt.
#include "programrunner.h"
#include "testenvironment.h"

class TestHelperLog : public QObject
{
    Q_OBJECT

private slots:
    void masksCcryptKeys_data();
    void masksCcryptKeys();
};

void TestHelperLog::masksCcryptKeys_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("logged");
    QTest::newRow("key file from input") << "/usr/bin/ccrypt" << QStringList{"-e", "-k", "-", "f"}
                                         << QStringList{"-e", "-k", "-", "f"};
    QTest::newRow("separate key") << "/usr/bin/ccrypt" << QStringList{"-e", "-K", "pw", "f"}
                                  << QStringList{"-e", "-K", "***", "f"};
    QTest::newRow("attached keys")
        << "/usr/bin/ccrypt" << QStringList{"-Kpw", "--key=pw", "-Hnew", "--key2=new", "f"}
        << QStringList{"***", "***", "***", "***", "f"};
    QTest::newRow("long keys") << "/usr/bin/ccrypt"
                               << QStringList{"-x", "--key", "a", "--key2", "b", "-H", "c"}
                               << QStringList{"-x", "--key", "***", "--key2", "***", "-H", "***"};
    QTest::newRow("other program")
        << "/usr/bin/chmod" << QStringList{"-K", "a+r", "f"} << QStringList{"-K", "a+r", "f"};
}

void TestHelperLog::masksCcryptKeys()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, logged);
    QCOMPARE(ProgramRunner::loggable(program, arguments), logged);
}

KRO_TEST_MAIN(TestHelperLog)
#include "tst_helperlog.moc"
