// SPDX-License-Identifier: GPL-2.0-or-later
#include "mimeapps.h"

#include "desktopexec.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>

namespace KroFM {

AppInfo::AppInfo(const QString &desktopId, const QString &name, const QString &exec)
    : id(desktopId), appName(name), command(exec)
{
}

void AppInfo::setEntry(const QString &entryPath, const QString &icon, bool terminal)
{
    path = entryPath;
    iconName = icon;
    inTerminal = terminal;
}

namespace {
using IniGroup = QHash<QString, QString>;
using IniFile = QHash<QString, IniGroup>;

const QString DesktopEntryGroup = QStringLiteral("Desktop Entry");
const QString DefaultGroup = QStringLiteral("Default Applications");
const QString AddedGroup = QStringLiteral("Added Associations");
const QString RemovedGroup = QStringLiteral("Removed Associations");
const QString CacheGroup = QStringLiteral("MIME Cache");
const QString MailtoType = QStringLiteral("x-scheme-handler/mailto");

QString unescapeValue(const QString &value)
{
    QString result;
    result.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) != QLatin1Char('\\') || i + 1 == value.size()) {
            result += value.at(i);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            result += QLatin1Char(' ');
            break;
        case 'n':
            result += QLatin1Char('\n');
            break;
        case 't':
            result += QLatin1Char('\t');
            break;
        case 'r':
            result += QLatin1Char('\r');
            break;
        case '\\':
            result += QLatin1Char('\\');
            break;
        default:
            result += QLatin1Char('\\') + next;
        }
    }
    return result;
}

// Desktop entries and mime-apps lists share one key file syntax; QSettings would mangle their
// keys ("Name[de]") and list separators, so they are read here.
IniFile readKeyFile(const QString &path)
{
    IniFile groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return groups;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    IniGroup *group = nullptr;
    QString line;
    while (in.readLineInto(&line)) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = &groups[line.mid(1, line.size() - 2)];
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (group && equals > 0) {
            const QString key = line.left(equals).trimmed();
            if (!group->contains(key))
                group->insert(key, unescapeValue(line.mid(equals + 1).trimmed()));
        }
    }
    return groups;
}

QStringList splitList(const QString &value)
{
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// "Name[xx]" keys to try, most specific first: lang_COUNTRY@MODIFIER, lang_COUNTRY,
// lang@MODIFIER, lang.
QStringList localeKeySuffixes()
{
    QString locale;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qEnvironmentVariable(variable);
        if (!locale.isEmpty())
            break;
    }
    if (locale.isEmpty())
        locale = QLocale().name();
    const QString modifier = locale.section(QLatin1Char('@'), 1);
    const QString langCountry =
        locale.section(QLatin1Char('@'), 0, 0).section(QLatin1Char('.'), 0, 0);
    const QString lang = langCountry.section(QLatin1Char('_'), 0, 0);
    QStringList suffixes;
    if (!modifier.isEmpty())
        suffixes << langCountry + QLatin1Char('@') + modifier;
    suffixes << langCountry;
    if (!modifier.isEmpty())
        suffixes << lang + QLatin1Char('@') + modifier;
    suffixes << lang;
    suffixes.removeDuplicates();
    return suffixes;
}

// The program of an Exec line: its first word, which may be quoted.
QString execProgram(const QString &exec)
{
    return DesktopExec::split(exec).value(0);
}

bool isProgramAvailable(const QString &program)
{
    if (program.isEmpty())
        return false;
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable();
    }
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// Default Applications first; without an installed one there, the most preferred association is
// the default. One look at the user's XDG directories: the lists and desktop entries as they are
// now, so that changes the user makes while the application runs count at the next question.
class Associations
{
public:
    Associations();

    AppInfo defaultApplication(const QString &mimeType) const;
    QList<AppInfo> applications(const QString &mimeType) const;

private:
    void indexDesktopEntries(const QString &applicationsDir);
    AppInfo load(const QString &desktopId) const;
    QStringList associatedIds(const QString &mimeType) const;
    QStringList declaredIds(const QString &applicationsDir, const QString &mimeType) const;

    QStringList applicationsDirs;
    QList<IniFile> lists;
    // Desktop id to file, the first applications directory that has the id winning.
    QHash<QString, QString> desktopEntries;
    // Desktop id to the applications directory it was found in.
    QHash<QString, QString> entryDirs;
};

Associations::Associations()
    : applicationsDirs(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
{
    applicationsDirs.removeDuplicates();
    QStringList desktops;
    const QStringList current =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &desktop : current)
        desktops << desktop.toLower() + QStringLiteral("-mimeapps.list");
    desktops << QStringLiteral("mimeapps.list");

    QStringList listDirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    listDirs += applicationsDirs;
    listDirs.removeDuplicates();
    for (const QString &dir : qAsConst(listDirs)) {
        for (const QString &name : qAsConst(desktops)) {
            const QString path = dir + QLatin1Char('/') + name;
            if (QFileInfo(path).isFile())
                lists << readKeyFile(path);
        }
    }
    for (const QString &dir : qAsConst(applicationsDirs))
        indexDesktopEntries(dir);
}

// A desktop id is the entry's path below the applications directory with '/' turned into '-'.
void Associations::indexDesktopEntries(const QString &applicationsDir)
{
    QDirIterator it(applicationsDir, {QStringLiteral("*.desktop")}, QDir::Files,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        const QString path = it.next();
        QString id = path.mid(applicationsDir.size() + 1);
        id.replace(QLatin1Char('/'), QLatin1Char('-'));
        if (!desktopEntries.contains(id)) {
            desktopEntries.insert(id, path);
            entryDirs.insert(id, applicationsDir);
        }
    }
}

// An entry counts only when it could be started: a hidden entry or a missing program is treated
// as not installed, as the desktop's own openers do.
AppInfo Associations::load(const QString &desktopId) const
{
    const QString path = desktopEntries.value(desktopId);
    if (path.isEmpty())
        return AppInfo();
    const IniGroup entry = readKeyFile(path).value(DesktopEntryGroup);
    const QString exec = entry.value(QStringLiteral("Exec"));
    const QString tryExec = entry.value(QStringLiteral("TryExec"));
    if (entry.value(QStringLiteral("Type")) != QLatin1String("Application") ||
        entry.value(QStringLiteral("Hidden")) == QLatin1String("true") ||
        !isProgramAvailable(execProgram(exec)) ||
        (!tryExec.isEmpty() && !isProgramAvailable(tryExec)))
        return AppInfo();
    QString name = entry.value(QStringLiteral("Name"));
    const QStringList suffixes = localeKeySuffixes();
    for (const QString &suffix : suffixes) {
        const QString key = QStringLiteral("Name[%1]").arg(suffix);
        if (entry.contains(key)) {
            name = entry.value(key);
            break;
        }
    }
    AppInfo app(desktopId, name, exec);
    app.setEntry(path, entry.value(QStringLiteral("Icon")),
                 entry.value(QStringLiteral("Terminal")) == QLatin1String("true"));
    return app;
}

AppInfo Associations::defaultApplication(const QString &mimeType) const
{
    for (const IniFile &list : lists) {
        const QStringList ids = splitList(list.value(DefaultGroup).value(mimeType));
        for (const QString &id : ids) {
            const AppInfo app = load(id);
            if (app.isValid())
                return app;
        }
    }
    return AppInfo();
}

// Added associations of every list in precedence order, then what the applications directories
// declare; a removal hides an association of the same or any lower-precedence source.
QStringList Associations::associatedIds(const QString &mimeType) const
{
    QStringList ids;
    QSet<QString> removed;
    const auto take = [&ids, &removed](const QStringList &candidates) {
        for (const QString &id : candidates) {
            if (!removed.contains(id) && !ids.contains(id))
                ids << id;
        }
    };
    for (const IniFile &list : lists) {
        take(splitList(list.value(AddedGroup).value(mimeType)));
        const QStringList gone = splitList(list.value(RemovedGroup).value(mimeType));
        removed.unite(QSet<QString>(gone.cbegin(), gone.cend()));
    }
    for (const QString &dir : applicationsDirs)
        take(declaredIds(dir, mimeType));
    return ids;
}

// The directory's mimeinfo.cache, or, when it has none, the MimeType lines of its entries.
QStringList Associations::declaredIds(const QString &applicationsDir, const QString &mimeType) const
{
    const QString cache = applicationsDir + QStringLiteral("/mimeinfo.cache");
    if (QFileInfo(cache).isFile())
        return splitList(readKeyFile(cache).value(CacheGroup).value(mimeType));
    QStringList ids;
    for (auto it = entryDirs.cbegin(); it != entryDirs.cend(); ++it) {
        if (it.value() != applicationsDir)
            continue;
        const IniGroup entry = readKeyFile(desktopEntries.value(it.key())).value(DesktopEntryGroup);
        if (splitList(entry.value(QStringLiteral("MimeType"))).contains(mimeType))
            ids << it.key();
    }
    ids.sort();
    return ids;
}

QList<AppInfo> Associations::applications(const QString &mimeType) const
{
    QList<AppInfo> apps;
    const AppInfo preferred = defaultApplication(mimeType);
    if (preferred.isValid())
        apps << preferred;
    const QStringList ids = associatedIds(mimeType);
    for (const QString &id : ids) {
        const AppInfo app = load(id);
        if (app.isValid() && app.desktopId() != preferred.desktopId())
            apps << app;
    }
    return apps;
}
} // namespace

MimeApps *MimeApps::ptr()
{
    static MimeApps instance;
    return &instance;
}

QString MimeApps::defaultMailSenderExec() const
{
    return Associations().applications(MailtoType).value(0).exec();
}

QList<AppInfo> MimeApps::mimeTypeApplications(const QString &mimeType) const
{
    return Associations().applications(mimeType);
}

} // namespace KroFM
