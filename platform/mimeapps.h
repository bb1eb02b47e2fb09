// SPDX-License-Identifier: GPL-2.0-or-later
// The user's application associations, resolved by the freedesktop mime-apps rules.
#pragma once

#include <QList>
#include <QString>

namespace KroFM {

// One desktop entry: its id ("thunderbird.desktop"), localised name, command line, and what
// starting it needs besides (its file, icon, and whether it runs in a terminal).
class AppInfo
{
public:
    AppInfo() = default;
    AppInfo(const QString &desktopId, const QString &name, const QString &exec);

    QString desktopId() const { return id; }
    QString name() const { return appName; }
    QString exec() const { return command; }
    bool isValid() const { return !id.isEmpty(); }
    QString entryPath() const { return path; }
    QString icon() const { return iconName; }
    bool terminal() const { return inTerminal; }
    void setEntry(const QString &entryPath, const QString &icon, bool terminal);

private:
    QString id;
    QString appName;
    QString command;
    QString path;
    QString iconName;
    bool inTerminal = false;
};

class MimeApps
{
public:
    static MimeApps *ptr();

    // Command line (Exec) of the default handler of mail links, empty when there is none.
    QString defaultMailSenderExec() const;
    // Applications registered for the type, the default first.
    QList<AppInfo> mimeTypeApplications(const QString &mimeType) const;

private:
    MimeApps() = default;
};

} // namespace KroFM
