// SPDX-License-Identifier: GPL-2.0-or-later
// Gives every test process a private HOME and XDG tree before Qt reads any of them, so tests
// never see or change the settings and files of whoever runs them.
#pragma once

#include <QApplication>
#include <QString>
#include <QTest>

namespace KroTest {

// Creates the temporary home and points HOME and the XDG variables at it. Returns its path.
QString isolateEnvironment();

// Points the stored debug module folders at an empty private folder, so that a window built by
// a test finds no modules and warns about no missing folder. Call after clearing the settings.
void seedSettings();

// Makes the desktop's applications and their associations those of the folder root: entries in
// root/data/applications, lists in root/config, and a root/bin for the programs they start.
void useDesktopTree(const QString &root);

// The private home made by isolateEnvironment().
QString homePath();

// Makes folder the one where the helper of a bus test has sos write reports that no --tmp-dir
// places elsewhere: the tmp-dir of the sos.conf the helper reads (named by KRO_SOS_CONFIG).
bool useSosReportFolder(const QString &folder);

// How long a test waits for a condition that comes soon on an idle machine: long enough to hold
// on two cores busy with builds and other tests, as a limit rather than a sleep.
constexpr int WaitLimitMs = 60000;

} // namespace KroTest

// Like QTEST_MAIN, with the environment isolated before the application object exists.
#define KRO_TEST_MAIN(TestObject)                                                                  \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        KroTest::isolateEnvironment();                                                             \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        KroTest::seedSettings();                                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
