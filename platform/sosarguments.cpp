// SPDX-License-Identifier: GPL-2.0-or-later
#include "sosarguments.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <algorithm>

namespace SosArguments {

namespace {

enum class Value
{
    None,
    Names,
    PluginOption,
    Text,
    Date,
    Compression,
    Folder,
    Number,
    Hosts,
    User
};

// Which sos command takes an option: report options that the collector passes on are both.
enum Scope
{
    Report = 1,
    Collect = 2,
    Both = Report | Collect
};

struct Rule
{
    QString option;
    Value value;
    qint64 least = 0;
    qint64 most = 0;
    int scope = Both;
};

// Each option as the window passes it, and the long or short spelling sos has for the same.
const QVector<Rule> &rules()
{
    static const QVector<Rule> list{
        {Batch, Value::None},
        {ListPlugins, Value::None, 0, 0, Report},
        {ListPluginsShort, Value::None, 0, 0, Report},
        {AllOptions, Value::None},
        {QStringLiteral("-a"), Value::None},
        {AllLogs, Value::None},
        {Clean, Value::None},
        {QStringLiteral("--mask"), Value::None},
        {NoEtc, Value::None, 0, 0, Report},
        {ForceBadPlugins, Value::None, 0, 0, Report},
        {OnlyPlugins, Value::Names},
        {QStringLiteral("--only-plugins"), Value::Names},
        {EnablePlugins, Value::Names},
        {QStringLiteral("--enable-plugins"), Value::Names},
        {SkipPlugins, Value::Names},
        {QStringLiteral("--skip-plugins"), Value::Names},
        {Profiles, Value::Names, 0, 0, Report},
        {QStringLiteral("--profile"), Value::Names, 0, 0, Report},
        {PluginOption, Value::PluginOption},
        {QStringLiteral("--plugin-option"), Value::PluginOption, 0, 0, Report},
        {CaseId, Value::Text},
        {Label, Value::Text},
        {Since, Value::Date},
        {CompressionType, Value::Compression},
        {QStringLiteral("-z"), Value::Compression},
        {TmpDir, Value::Folder},
        {Split, Value::Number, 1, 100000, Report},
        {Threads, Value::Number, 1, 256},
        {PluginTimeout, Value::Number, 1, 7 * 24 * 3600},
        {LogSize, Value::Number, 0, 1024 * 1024},
        {Nodes, Value::Hosts, 0, 0, Collect},
        {SshUser, Value::User, 0, 0, Collect},
        {SshPort, Value::Number, 1, 65535, Collect},
        {NoLocal, Value::None, 0, 0, Collect},
        {Password, Value::None, 0, 0, Collect},
        {NoPasswordSudo, Value::None, 0, 0, Collect},
        {Timeout, Value::Number, 1, 7 * 24 * 3600, Collect},
        {Verbose, Value::None, 0, 0, Collect},
    };
    return list;
}

const Rule *ruleFor(const QString &option)
{
    const auto &list = rules();
    const auto found = std::find_if(list.cbegin(), list.cend(),
                                    [&option](const Rule &rule) { return rule.option == option; });
    return found == list.cend() ? nullptr : &*found;
}

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
               c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
    });
}

bool isNameList(const QString &value)
{
    const QStringList names = value.split(QLatin1Char(','));
    return std::all_of(names.cbegin(), names.cend(), isPluginName);
}

// PLUGIN.OPTION=VALUE, the value a word, number or list of them: never a path or a command.
bool isPluginOption(const QString &value)
{
    static const QRegularExpression option(QRegularExpression::anchoredPattern(
        QStringLiteral("[A-Za-z0-9_-]{1,64}\\.[A-Za-z0-9_-]{1,64}=[A-Za-z0-9_.,:+-]{0,256}")));
    return option.match(value).hasMatch();
}

bool isText(const QString &value)
{
    return !value.isEmpty() && value.size() <= MaxTextLength && !hasControlCharacters(value);
}

// sos reads YYYYMMDD with an optional time, each missing digit of the time a zero.
bool isDate(const QString &value)
{
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{8,14}")));
    if (!digits.match(value).hasMatch())
        return false;
    const QString full = value + QString(14 - value.size(), QLatin1Char('0'));
    return QDateTime::fromString(full, QStringLiteral("yyyyMMddHHmmss")).isValid();
}

bool isFolder(const QString &value)
{
    if (value.isEmpty() || value.size() > 4096 || !value.startsWith(QLatin1Char('/')) ||
        hasControlCharacters(value))
        return false;
    const QString clean = QDir::cleanPath(value);
    return value == clean || value == clean + QLatin1Char('/');
}

// A login name as useradd takes it.
bool isUserName(const QString &value)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z_][A-Za-z0-9_.-]{0,31}")));
    return pattern.match(value).hasMatch();
}

bool isHostList(const QString &value)
{
    const QStringList hosts = value.split(QLatin1Char(','));
    return std::all_of(hosts.cbegin(), hosts.cend(), isHostName);
}

bool isNumberWithin(const QString &value, qint64 least, qint64 most)
{
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{1,9}")));
    if (!digits.match(value).hasMatch())
        return false;
    const qint64 number = value.toLongLong();
    return number >= least && number <= most;
}

bool fits(const Rule &rule, const QString &value)
{
    // A value that looks like an option would be read as one.
    if (value.startsWith(QLatin1Char('-')))
        return false;
    switch (rule.value) {
    case Value::Names:
        return isNameList(value);
    case Value::PluginOption:
        return isPluginOption(value);
    case Value::Text:
        return isText(value);
    case Value::Date:
        return isDate(value);
    case Value::Compression:
        return value == QLatin1String("auto") || value == QLatin1String("gzip") ||
               value == QLatin1String("xz");
    case Value::Folder:
        return isFolder(value);
    case Value::Number:
        return isNumberWithin(value, rule.least, rule.most);
    case Value::Hosts:
        return isHostList(value);
    case Value::User:
        return isUserName(value);
    case Value::None:
        break;
    }
    return false;
}

// Shown in a reply: long or odd values are cut and made visible.
QString shown(const QString &argument)
{
    QString text = argument.left(64);
    for (QChar &c : text)
        if (!c.isPrint())
            c = QLatin1Char('?');
    return text.size() < argument.size() ? text + QStringLiteral("...") : text;
}

} // namespace

bool isSwitch(const QString &option)
{
    const Rule *rule = ruleFor(option);
    return rule && rule->value == Value::None;
}

bool takesNames(const QString &option)
{
    const Rule *rule = ruleFor(option);
    return rule && rule->value == Value::Names;
}

bool isPluginName(const QString &name)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_][A-Za-z0-9_-]{0,63}")));
    return pattern.match(name).hasMatch();
}

namespace {

QString refusalIn(const QStringList &arguments, Scope scope)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        const Rule *rule = ruleFor(option);
        if (!rule || !(rule->scope & scope))
            return QStringLiteral("sos does not get the option \"%1\" from this helper")
                .arg(shown(option));
        if (rule->value == Value::None)
            continue;
        if (++i == arguments.size())
            return QStringLiteral("the option %1 lacks its value").arg(option);
        if (!fits(*rule, arguments.at(i)))
            return QStringLiteral("the value \"%1\" is refused for the option %2")
                .arg(shown(arguments.at(i)), option);
    }
    return {};
}

} // namespace

QString refusal(const QStringList &arguments)
{
    return refusalIn(arguments, Report);
}

QString collectRefusal(const QStringList &arguments)
{
    return refusalIn(arguments, Collect);
}

bool isHostName(const QString &name)
{
    // Letters, digits, '.', '-', '_' and the ':' of an IPv6 address; sos builds shell lines with
    // it.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_:][A-Za-z0-9_.:-]{0,252}")));
    return pattern.match(name).hasMatch();
}

QStringList fromSettings(const QVariantMap &settings)
{
    QStringList arguments;
    for (auto entry = settings.cbegin(); entry != settings.cend(); ++entry) {
        const QString &key = entry.key();
        if (isSwitch(key)) {
            arguments << key;
        } else if (takesNames(key)) {
            // Every name gets its own option: sosreport reads "-o a -o b".
            for (const QString &name : entry.value().toStringList())
                arguments << key << name;
        } else if (key.startsWith(QLatin1Char('-'))) {
            arguments << key << entry.value().toString();
        }
    }
    return arguments;
}

} // namespace SosArguments
