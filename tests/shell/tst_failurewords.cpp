// SPDX-License-Identifier: GPL-2.0-or-later
// A refused report run told in the user's words, with the bus's error behind "Show Details...":
// polkit's answer tells a dismissed prompt, a missing authentication agent and a refusal apart.
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <QTest>

class TestFailureWords : public QObject
{
    Q_OBJECT

private slots:
    void refusalsSayWhatHappened_data();
    void refusalsSayWhatHappened();
};

namespace {

QDBusMessage standIn(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.PolicyKit1"),
                                       QStringLiteral("/org/freedesktop/PolicyKit1/Authority"),
                                       QStringLiteral("org.freedesktop.DBus.Mock"), method);
    call.setArguments(arguments);
    return QDBusConnection::systemBus().call(call);
}

} // namespace

void TestFailureWords::refusalsSayWhatHappened_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("errorName");
    QTest::newRow("refused") << QString() << "Administrator authorisation was refused."
                             << "org.freedesktop.DBus.Error.AccessDenied";
    QTest::newRow("dismissed") << "dismissed"
                               << "Administrator authorisation was cancelled."
                               << "AuthorizationDismissed";
    QTest::newRow("no agent") << "no-agent"
                              << "No authentication agent is running in this session."
                              << "NoAuthenticationAgent";
}

void TestFailureWords::refusalsSayWhatHappened()
{
    QFETCH(QString, refusal);
    QFETCH(QString, sentence);
    QFETCH(QString, errorName);
    QCOMPARE(standIn(QStringLiteral("SetAllowed"), {QStringList()}).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(standIn(QStringLiteral("RefuseAs"), {refusal}).type(), QDBusMessage::ReplyMessage);
    QTemporaryDir dir;
    MainWindow window;
    window.show();
    QTRY_VERIFY(MainWindowAccess::isStarted(window));
    MainWindowAccess::useReportDirs(window, QStringList{dir.path()});

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok);
    QMetaObject::invokeMethod(&window, "collectReports");
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QVERIFY2(dialogs.last().text.startsWith(QStringLiteral("Unable to exec sosreport!\n") +
                                            sentence + QLatin1Char('\n')),
             qPrintable(dialogs.last().text));
    QVERIFY2(dialogs.last().detailedText.contains(errorName),
             qPrintable(dialogs.last().detailedText));
    QVERIFY(window.isEnabled());
    QCOMPARE(MainWindowAccess::reportPid(window), qint64(-1));
}

KRO_TEST_MAIN(TestFailureWords)
#include "tst_failurewords.moc"
