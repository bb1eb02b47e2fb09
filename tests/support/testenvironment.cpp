// SPDX-License-Identifier: GPL-2.0-or-later
#include "testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

namespace KroTest {

namespace {
QTemporaryDir *home = nullptr;

void setVariable(const char *name, const QString &value)
{
    QDir().mkpath(value);
    qputenv(name, QFile::encodeName(value));
}
} // namespace

QString isolateEnvironment()
{
    if (!home) {
        home = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/kro-test-home-XXXXXX"));
        qAddPostRoutine([] {
            delete home;
            home = nullptr;
        });
    }
    const QString path = home->path();
    setVariable("HOME", path);
    setVariable("XDG_CONFIG_HOME", path + QStringLiteral("/.config"));
    setVariable("XDG_DATA_HOME", path + QStringLiteral("/.local/share"));
    setVariable("XDG_CACHE_HOME", path + QStringLiteral("/.cache"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    return path;
}

void useDesktopTree(const QString &root)
{
    QDir().mkpath(root + QStringLiteral("/bin"));
    QDir().mkpath(root + QStringLiteral("/data/applications"));
    setVariable("XDG_DATA_HOME", root + QStringLiteral("/data"));
    setVariable("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
    setVariable("XDG_DATA_DIRS", root + QStringLiteral("/sysdata"));
    setVariable("XDG_CONFIG_DIRS", root + QStringLiteral("/sysconfig"));
}

void seedSettings()
{
    const QString modules = homePath() + QStringLiteral("/debugmodules");
    QDir().mkpath(modules);
    QSettings().setValue(QStringLiteral("debugjson"), QStringList{modules});
}

bool useSosReportFolder(const QString &folder)
{
    QFile config(qEnvironmentVariable("KRO_SOS_CONFIG"));
    return config.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           config.write(QStringLiteral("[global]\ntmp-dir = %1\n").arg(folder).toUtf8()) > 0;
}

QString homePath()
{
    return home ? home->path() : QString();
}

} // namespace KroTest
