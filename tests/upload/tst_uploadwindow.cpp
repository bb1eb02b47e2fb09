// SPDX-License-Identifier: GPL-2.0-or-later
#include "mainwindow.h"
#include "testenvironment.h"

#include <QTest>
class TestUploadWindow : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};
KRO_TEST_MAIN(TestUploadWindow)
#include "tst_uploadwindow.moc"
